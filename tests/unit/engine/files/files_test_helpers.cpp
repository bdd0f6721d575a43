#include "files_test_helpers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "utils/unique_handle.h"

namespace FilesTest {
namespace {

std::string FromBuildPath(const char* unixPath) {
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutChunk(std::string& out, const char* id, const std::string& body) {
    out += id;
    PutLe(out, static_cast<std::uint32_t>(body.size()), 4);
    out += body;
    if (body.size() % 2) out += '\0';
}

}  // namespace

std::string GeneralToolExe() { return FromBuildPath(UNKELZ_EXE); }
std::string SoundToolExe() { return FromBuildPath(UNKELW_EXE); }

ToolNames InstallTools(const std::string& folder) {
    CreateDirectoryA((folder + "\\tools").c_str(), nullptr);
    CopyFileA(GeneralToolExe().c_str(), (folder + "\\tools\\unkelz.exe").c_str(), FALSE);
    CopyFileA(SoundToolExe().c_str(), (folder + "\\tools\\unkelw.exe").c_str(), FALSE);
    return {"tools\\unkelz", "tools\\unkelw"};
}

ProgramResult RunProgram(const std::string& commandLine, const std::string& workFolder) {
    std::string outputPath = workFolder + "\\" + TestSupport::UniqueName("output") + ".txt";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    ProgramResult result{~0u, ""};
    {
        Utils::UniqueFileHandle output(CreateFileA(outputPath.c_str(), GENERIC_WRITE,
                                                   FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.Get();
        PROCESS_INFORMATION process{};
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            workFolder.c_str(), &startup, &process))
            return result;
        Utils::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
        WaitForSingleObject(processHandle.Get(), INFINITE);
        GetExitCodeProcess(processHandle.Get(), &result.exitCode);
    }
    result.output = TestSupport::ReadFile(outputPath);
    DeleteFileA(outputPath.c_str());
    return result;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    Utils::UniqueFindHandle find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

std::string MakeWav(unsigned frames, unsigned bitsPerSample, unsigned channels, bool extraChunks) {
    const unsigned bytes = bitsPerSample / 8, rate = 44100;
    std::string format;
    PutLe(format, 1, 2);  // integer PCM
    PutLe(format, channels, 2);
    PutLe(format, rate, 4);
    PutLe(format, rate * channels * bytes, 4);
    PutLe(format, channels * bytes, 2);
    PutLe(format, bitsPerSample, 2);
    std::string samples;
    const double peak = (1u << (bitsPerSample - 1)) * 0.7;
    for (unsigned i = 0; i < frames; ++i)
        for (unsigned ch = 0; ch < channels; ++ch) {
            auto value =
                static_cast<std::int32_t>(std::lround(peak * std::sin(i * 0.03 * (ch + 1))));
            value += static_cast<std::int32_t>((i * 7919u + ch) % 61) - 30;  // a little noise
            PutLe(samples, static_cast<std::uint32_t>(bytes == 1 ? value + 128 : value), bytes);
        }
    std::string body = "WAVE";
    PutChunk(body, "fmt ", format);
    if (extraChunks) PutChunk(body, "LIST", std::string("INFOISFT\x05\0\0\0test\0", 17));
    PutChunk(body, "data", samples);
    if (extraChunks) PutChunk(body, "note", "odd");
    std::string wav = "RIFF";
    PutLe(wav, static_cast<std::uint32_t>(body.size()), 4);
    return wav + body;
}

CurrentFolderScope::CurrentFolderScope(const std::string& folder) {
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    m_previous = previous;
    SetCurrentDirectoryA(folder.c_str());
}

CurrentFolderScope::~CurrentFolderScope() { SetCurrentDirectoryA(m_previous.c_str()); }

ProductKeyScope::ProductKeyScope()
    : m_manager(true, m_key.Name()), m_previous(Utils::g_productKeyManager) {
    Utils::g_productKeyManager = &m_manager;
}

ProductKeyScope::~ProductKeyScope() { Utils::g_productKeyManager = m_previous; }

}  // namespace FilesTest
