#pragma once
// The multipart form that FileDownloader uploads a file with.
#include <string>

namespace Utils {
namespace HTTP {

// 27 "-" followed by three pseudo-random 16-bit numbers as "%04X%04X%04X".
// The random numbers come from rand(), seeded once per thread.
std::string MakeMultipartBoundary();

// A boundary that does not occur in content (so the content cannot end the
// form part early); gives up after a number of tries and returns the last one.
std::string MakeBoundaryFor(const std::string& content);

// The form body: one part named "MyFile" announcing fileName, holding content.
std::string BuildMultipartBody(const std::string& boundary, const std::string& fileName,
                               const std::string& content);

// Reads a whole existing file (opened without sharing). False when it can't be read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace HTTP
}  // namespace Utils
