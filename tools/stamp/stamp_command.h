#pragma once
// The stamping tool's command line and its one run.
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace Stamp {

// A command line the tool does not understand.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct StampOptions {
    std::string input;
    std::string output;                    // empty: stamp the input in place
    std::optional<std::string> values[6];  // indexed by slot; [0] is never set
    bool print = false;
    bool asGiven = false;  // --raw: no hex-encoding of id and host
    // --public-key: a PEM file of the document key, or "none" to clear it
    std::optional<std::string> publicKey;
    // --release-floor: the lowest release number the updater accepts
    std::optional<std::string> releaseFloor;
};

extern const char kUsage[];

// Parses the arguments after the program name. Throws UsageError.
StampOptions ParseArguments(const std::vector<std::string>& args);

// Runs the tool: 0 on success, 1 when the file is refused or cannot be
// written (the file is then unchanged), 2 for a bad command line.
int RunStamp(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace Stamp
