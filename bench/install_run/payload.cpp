#include "payload.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "support/updater_process.h"
#include "utils/unique_handle.h"

namespace InstallBench {
namespace {

constexpr std::size_t kBlockBytes = 1 << 20;

// Text-like bytes, so that the compressor has something to do; built once
// and shared by every file, which differ in their first line.
const std::string& SharedBlock() {
    static const std::string block = [] {
        std::string text(kBlockBytes, ' ');
        unsigned state = 7;
        for (char& c : text) {
            state = state * 1103515245u + 12345u;
            c = static_cast<char>('a' + (state >> 16) % 20);
        }
        return text;
    }();
    return block;
}

bool WriteContent(const std::string& path, long long size, int seed) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string head = "payload file " + std::to_string(seed) + "\n";
    head.resize(static_cast<std::size_t>(std::min<long long>(size, head.size())));
    DWORD written = 0;
    if (!::WriteFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &written, nullptr))
        return false;
    const std::string& block = SharedBlock();
    for (long long left = size - static_cast<long long>(head.size()); left > 0;) {
        const DWORD part = static_cast<DWORD>(std::min<long long>(left, block.size()));
        if (!::WriteFile(file.Get(), block.data(), part, &written, nullptr) || written != part)
            return false;
        left -= part;
    }
    return true;
}

std::string ClientFolder(int index) {
    return "payload\\d" + std::to_string(index / kFilesPerFolder);
}

}  // namespace

std::string FakeCheckSum(int seed) {
    char text[40] = {};
    const unsigned mixed = static_cast<unsigned>(seed) * 2654435761u;
    std::snprintf(text, sizeof(text), "%08X%08X%08X%08X", mixed, ~mixed, mixed ^ 0x5A5A5A5Au,
                  static_cast<unsigned>(seed));
    return text;
}

long long FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CreateFolders(const std::string& folder) {
    for (std::size_t at = folder.find('\\', 3);; at = folder.find('\\', at + 1)) {
        const std::string part = folder.substr(0, at);
        ::CreateDirectoryA(part.c_str(), nullptr);
        if (at == std::string::npos) break;
    }
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteInstalledFile(const PayloadFile& file, const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    if (slash != std::string::npos && !CreateFolders(path.substr(0, slash))) return false;
    if (!file.compressed) return ::CopyFileA(file.servedFile.c_str(), path.c_str(), FALSE) != FALSE;
    return WriteContent(path, file.installedBytes, file.seed);
}

PayloadFile ExistingFile(const std::string& file, const std::string& clientPath, int seed) {
    PayloadFile entry;
    entry.servedFile = file;
    entry.clientPath = clientPath;
    entry.urlPath = "/files/" + clientPath;
    std::replace(entry.urlPath.begin(), entry.urlPath.end(), '\\', '/');
    entry.checkSum = FakeCheckSum(seed);
    entry.servedBytes = entry.installedBytes = FileBytes(file);
    entry.seed = seed;
    return entry;
}

std::vector<PayloadFile> WritePayload(const PayloadPlan& plan, const std::string& sourceFolder,
                                      const std::string& compressor) {
    std::vector<PayloadFile> files;
    const int count = plan.files + (plan.bigBytes > 0 ? 1 : 0);
    for (int i = 0; i < count; ++i) {
        const bool big = i == plan.files;
        PayloadFile file;
        file.seed = i;
        file.compressed = !big && plan.packEvery > 0 && i % plan.packEvery == 0;
        file.installedBytes = big ? plan.bigBytes : plan.fileBytes;
        const std::string name = big ? "big.bin" : "f" + std::to_string(i) + ".dat";
        const std::string folder = big ? "payload" : ClientFolder(i);
        file.clientPath = folder + "\\" + name;
        file.checkSum = FakeCheckSum(i);
        const std::string plain = sourceFolder + "\\" + file.clientPath;
        const std::size_t slash = plain.rfind('\\');
        if (!CreateFolders(plain.substr(0, slash)) || !WriteContent(plain, file.installedBytes, i))
            return {};
        file.servedFile = plain;
        if (file.compressed) {
            file.servedFile = plain + ".Kelz";
            if (!TestSupport::RunToSuccess("\"" + compressor + "\" c \"" + plain + "\" \"" +
                                           file.servedFile + "\""))
                return {};
            ::DeleteFileA(plain.c_str());
        }
        std::string url = "/files/" + file.clientPath + (file.compressed ? ".Kelz" : "");
        std::replace(url.begin(), url.end(), '\\', '/');
        file.urlPath = url;
        file.servedBytes = FileBytes(file.servedFile);
        files.push_back(file);
    }
    return files;
}

}  // namespace InstallBench
