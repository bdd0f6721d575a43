#pragma once
// Refusing an older signed update document than one already accepted: a
// validly signed document stays valid forever, so without this anyone on the
// network path could replay an old release (with its old, flawed files).
//
// The highest release number accepted for a download id is kept in the
// product key, subkey "Releases", as a string value named by the decoded
// download id holding the decimal number.
#include <cstdint>
#include <string>

namespace Utils {
class RegManager;
}

namespace Engine {

enum class ReleaseCheck {
    Accepted,     // equal to or above the recorded number, which now holds it
    Older,        // below the recorded number: nothing was written
    WriteFailed,  // newer, but the number could not be recorded
};

// The highest accepted number for the download id; 0 when none is recorded
// or the recorded text is not a number.
uint64_t RecordedRelease(const Utils::RegManager& productKey, const std::string& downloadId);

// Compares release with the recorded number, and with the floor that the
// updater image carries, and records it when it is lower than neither. Equal
// numbers are accepted, so that a run can be repeated. Worker thread.
ReleaseCheck AcceptRelease(const Utils::RegManager& productKey, const std::string& downloadId,
                           uint64_t release, uint64_t stampedFloor = 0);

}  // namespace Engine
