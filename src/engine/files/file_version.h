#pragma once
// The version of the product's executable, recorded in the product key.
#include <windows.h>

#include <string>

namespace Engine {

constexpr char kFileVersionValue[] = "FileVersion";
constexpr char kFileVersionFailed[] = "FAILED";

// "major.minor.build.revision" from the two halves of a fixed file version.
std::string FormatFileVersion(DWORD mostSignificant, DWORD leastSignificant);

// The fixed file version of an executable as text; "" when it has no version
// resource or it can't be read.
std::string ReadFileVersion(const std::string& path);

// Writes the executable's version to the product key's "FileVersion". False
// when the file has no readable version resource. A failed registry write is
// reported to the main dialog as fatal. Safe on any thread.
bool RecordFileVersion(const std::string& path);

// Writes a version text read earlier to "FileVersion"; a failed registry
// write is reported as fatal. Safe on any thread.
void RecordFileVersionText(const std::string& version);

// Writes "FAILED" to "FileVersion", for an executable whose version check
// failed. False when the write fails.
bool RecordFileVersionFailure();

}  // namespace Engine
