#include "codec_io.h"

#include <windows.h>

#include <cstdio>
#include <new>

namespace CodecIo {

std::string DescribeError(DWORD code) {
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof(text), nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    for (char& c : message)
        if (c == '\r' || c == '\n') c = ' ';
    if (message.empty()) message = "system error";
    return message + " (" + std::to_string(code) + ")";
}

InputFile::InputFile(const std::string& path) : m_path(path) {
    m_file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!m_file) throw CodecError("cannot open " + path + ": " + DescribeError(GetLastError()));
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    DWORD request = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(m_file.Get(), buffer, request, &got, nullptr))
        throw CodecError("cannot read " + m_path + ": " + DescribeError(GetLastError()));
    return got;
}

void InputFile::ReadExact(void* buffer, std::size_t size, const char* what) {
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        std::size_t got = Read(bytes, size);
        if (got == 0) throw CodecError(m_path + ": unexpected end of file in " + what);
        bytes += got;
        size -= got;
    }
}

std::int64_t InputFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_file.Get(), &size))
        throw CodecError("cannot get the size of " + m_path + ": " + DescribeError(GetLastError()));
    return size.QuadPart;
}

void InputFile::Seek(std::uint64_t position) {
    LARGE_INTEGER target{};
    target.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(m_file.Get(), target, nullptr, FILE_BEGIN))
        throw CodecError("cannot seek in " + m_path + ": " + DescribeError(GetLastError()));
}

OutputFile::OutputFile(const std::string& target)
    : m_target(target),
      m_temporary(target + ".~" + std::to_string(GetCurrentProcessId()) + ".tmp") {
    m_file.Reset(CreateFileA(m_temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file)
        throw CodecError("cannot create " + m_temporary + ": " + DescribeError(GetLastError()));
}

OutputFile::~OutputFile() {
    if (m_committed) return;
    m_file.Reset();
    DeleteFileA(m_temporary.c_str());
}

void OutputFile::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(m_file.Get(), bytes, chunk, &written, nullptr) || written == 0)
            throw CodecError("cannot write " + m_temporary + ": " + DescribeError(GetLastError()));
        bytes += written;
        size -= written;
    }
}

void OutputFile::Seek(std::uint64_t position) {
    LARGE_INTEGER target{};
    target.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(m_file.Get(), target, nullptr, FILE_BEGIN))
        throw CodecError("cannot seek in " + m_temporary + ": " + DescribeError(GetLastError()));
}

std::uint64_t OutputFile::Tell() const {
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(m_file.Get(), zero, &position, FILE_CURRENT))
        throw CodecError("cannot seek in " + m_temporary + ": " + DescribeError(GetLastError()));
    return static_cast<std::uint64_t>(position.QuadPart);
}

void OutputFile::Commit() {
    // Flushing surfaces a full disk that buffered writes may have hidden.
    if (!FlushFileBuffers(m_file.Get()))
        throw CodecError("cannot write " + m_temporary + ": " + DescribeError(GetLastError()));
    HANDLE file = m_file.Release();
    if (!CloseHandle(file))
        throw CodecError("cannot close " + m_temporary + ": " + DescribeError(GetLastError()));
    if (!MoveFileExA(m_temporary.c_str(), m_target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw CodecError("cannot replace " + m_target + ": " + DescribeError(GetLastError()));
    m_committed = true;
}

}  // namespace CodecIo
