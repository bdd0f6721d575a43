#pragma once
// Whole-file reading and replacing for the stamping tool.
#include <string>

namespace Stamp {

// The file's bytes. Throws StampError when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Writes content to a temporary file beside `path`, gives it the permissions
// of `permissionsFrom`, and renames it over `path`. On any failure the
// temporary file is removed, `path` is left as it was, and StampError is thrown.
void ReplaceFile(const std::string& path, const std::string& content,
                 const std::string& permissionsFrom);

}  // namespace Stamp
