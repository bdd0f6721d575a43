#include "payloads.h"

#include <cstdint>
#include <cstdio>

#include "support/scratch.h"
#include "support/updater_process.h"

namespace InstallE2E {
namespace {

bool IsWav(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".wav") == 0;
}

std::uint64_t Fnv1a(const std::string& bytes, std::uint64_t seed) {
    std::uint64_t hash = 14695981039346656037ull ^ seed;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

std::string ProductFile::ServerPath() const {
    std::string path = "/files/" + clientPath;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (compressed) path += IsWav(clientPath) ? ".Kelw" : ".Kelz";
    return path;
}

std::string ProductFile::CheckSum() const {
    char text[33] = {};
    std::snprintf(text, sizeof(text), "%016llX%016llX",
                  static_cast<unsigned long long>(Fnv1a(content, 1)),
                  static_cast<unsigned long long>(Fnv1a(content, 2)));
    return text;
}

ProductFile PlainFile(const std::string& clientPath, const std::string& content) {
    return {clientPath, content, "", false};
}

std::string BuiltProgram(const char* linuxPath) { return TestSupport::ToWindowsPath(linuxPath); }

ProductFile PackedFile(const std::string& clientPath, const std::string& content,
                       const std::string& workFolder) {
    const bool sound = IsWav(clientPath);
    const std::string plain = workFolder + "\\" + TestSupport::UniqueName("plain");
    const std::string packed = plain + ".packed";
    const std::string command = sound ? BuiltProgram(UNKELW_EXE) + " -c " + plain + " " + packed
                                      : BuiltProgram(UNKELZ_EXE) + " c " + plain + " " + packed;
    ProductFile file{clientPath, content, "", true};
    if (TestSupport::WriteFile(plain, content) && TestSupport::RunToSuccess(command))
        file.served = TestSupport::ReadFile(packed);
    return file;
}

}  // namespace InstallE2E
