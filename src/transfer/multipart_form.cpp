#include "transfer/multipart_form.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "utils/unique_handle.h"

namespace Utils {
namespace HTTP {

namespace {
constexpr int kBoundaryTries = 16;

void SeedRandomOncePerThread() {
    // The C runtime keeps rand()'s state per thread, starting every thread at the same seed.
    static thread_local bool seeded = false;
    if (seeded) return;
    seeded = true;
    std::srand(static_cast<unsigned>(std::time(nullptr)) ^ (::GetCurrentThreadId() << 16) ^
               ::GetTickCount() ^ ::GetCurrentProcessId());
}
}  // namespace

std::string MakeMultipartBoundary() {
    SeedRandomOncePerThread();
    char numbers[16];
    int first = std::rand() & 0xFFFF;
    int second = std::rand() & 0xFFFF;
    int third = std::rand() & 0xFFFF;
    std::snprintf(numbers, sizeof(numbers), "%04X%04X%04X", first, second, third);
    return std::string(27, '-') + numbers;
}

std::string MakeBoundaryFor(const std::string& content) {
    std::string boundary = MakeMultipartBoundary();
    for (int tries = 1; tries < kBoundaryTries && content.find(boundary) != std::string::npos;
         ++tries)
        boundary = MakeMultipartBoundary();
    return boundary;
}

std::string BuildMultipartBody(const std::string& boundary, const std::string& fileName,
                               const std::string& content) {
    std::string body;
    body.reserve(content.size() + 2 * boundary.size() + fileName.size() + 160);
    body += "--" + boundary + "\r\n";
    body += "Content-Disposition: form-data; name=\"MyFile\"; filename=\"" + fileName + "\"\r\n";
    body += "Content-Type: application/octet-stream\r\n";
    body += "\r\n";
    body += content;
    body += "\r\n";
    body += "--" + boundary + "--\r\n";
    return body;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    content.clear();
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    content.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!content.empty() &&
        (!::ReadFile(file.Get(), &content[0], static_cast<DWORD>(content.size()), &read, nullptr) ||
         read != content.size())) {
        content.clear();
        return false;
    }
    return true;
}

}  // namespace HTTP
}  // namespace Utils
