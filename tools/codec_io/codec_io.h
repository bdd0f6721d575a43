#pragma once
// File access for the decompressor programs and the release tool. Every
// failure throws CodecError with a one-line message; the programs print it and
// exit with a failure code. Windows builds use Win32 files (codec_io_win32.cpp);
// the release tool's build for the build machine uses standard streams
// (codec_io_std.cpp).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include "utils/unique_handle.h"
#else
#include <fstream>
#endif

namespace CodecIo {

class CodecError : public std::runtime_error {
public:
    explicit CodecError(const std::string& message) : std::runtime_error(message) {}
};

constexpr int kFailureExit = 1;
constexpr int kUsageExit = 2;

// Runs a program's body and returns its exit code; a CodecError or exhausted
// memory becomes one line "<program>: <reason>" on stderr and kFailureExit.
int RunReportingFailures(const char* program, const std::function<int()>& body);

#ifdef _WIN32
// The text of a Win32 error code, on one line.
std::string DescribeError(DWORD code);
#endif

class InputFile {
public:
    // Throws when the file is missing or can't be opened.
    explicit InputFile(const std::string& path);

    // Reads up to size bytes; 0 only at the end of the file.
    std::size_t Read(void* buffer, std::size_t size);
    // Reads exactly size bytes or throws (a truncated file).
    void ReadExact(void* buffer, std::size_t size, const char* what);
    std::int64_t Size() const;
    void Seek(std::uint64_t position);
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
#ifdef _WIN32
    Utils::UniqueFileHandle m_file;
#else
    std::ifstream m_file;
    std::int64_t m_size = 0;
#endif
};

// Writes to a temporary file next to the target; Commit() moves it over the
// target. Without a successful Commit() the temporary file is removed, so a
// failed run never leaves a partial output behind.
class OutputFile {
public:
    explicit OutputFile(const std::string& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void Write(const void* data, std::size_t size);
    void Seek(std::uint64_t position);
    std::uint64_t Tell() const;
    void Commit();

private:
    std::string m_target;
    std::string m_temporary;
#ifdef _WIN32
    Utils::UniqueFileHandle m_file;
#else
    mutable std::ofstream m_file;  // Tell() reads the position, which tellp does not promise const
#endif
    bool m_committed = false;
};

}  // namespace CodecIo
