#pragma once
// File access for the decompressor programs. Every failure throws CodecError
// with a one-line message; the programs print it and exit with a failure code.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "utils/unique_handle.h"

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

// The text of a Win32 error code, on one line.
std::string DescribeError(DWORD code);

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
    Utils::UniqueFileHandle m_file;
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
    Utils::UniqueFileHandle m_file;
    bool m_committed = false;
};

}  // namespace CodecIo
