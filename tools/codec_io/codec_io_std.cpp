// The codec files on standard streams, for builds without Win32 (the release
// tool built for the build machine). Same contract as the Win32 version.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

#include "codec_io.h"

namespace CodecIo {
namespace fs = std::filesystem;

namespace {

std::string Reason() { return errno ? std::strerror(errno) : "input/output error"; }

}  // namespace

InputFile::InputFile(const std::string& path) : m_path(path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(path), ec))
        throw CodecError("cannot open " + path + ": not an existing file");
    m_size = static_cast<std::int64_t>(fs::file_size(fs::path(path), ec));
    errno = 0;
    m_file.open(path, std::ios::binary);
    if (ec || !m_file) throw CodecError("cannot open " + path + ": " + Reason());
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    if (m_file.eof()) return 0;
    m_file.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    if (m_file.bad()) throw CodecError("cannot read " + m_path + ": " + Reason());
    return static_cast<std::size_t>(m_file.gcount());
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

std::int64_t InputFile::Size() const { return m_size; }

void InputFile::Seek(std::uint64_t position) {
    m_file.clear();
    m_file.seekg(static_cast<std::streamoff>(position));
    if (!m_file) throw CodecError("cannot seek in " + m_path);
}

OutputFile::OutputFile(const std::string& target)
    : m_target(target), m_temporary(target + ".~" + std::to_string(::getpid()) + ".tmp") {
    errno = 0;
    m_file.open(m_temporary, std::ios::binary | std::ios::trunc);
    if (!m_file) throw CodecError("cannot create " + m_temporary + ": " + Reason());
}

OutputFile::~OutputFile() {
    if (m_committed) return;
    m_file.close();
    std::remove(m_temporary.c_str());
}

void OutputFile::Write(const void* data, std::size_t size) {
    m_file.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!m_file) throw CodecError("cannot write " + m_temporary + ": " + Reason());
}

void OutputFile::Seek(std::uint64_t position) {
    m_file.seekp(static_cast<std::streamoff>(position));
    if (!m_file) throw CodecError("cannot seek in " + m_temporary);
}

std::uint64_t OutputFile::Tell() const {
    std::streamoff position = m_file.tellp();
    if (position < 0) throw CodecError("cannot seek in " + m_temporary);
    return static_cast<std::uint64_t>(position);
}

void OutputFile::Commit() {
    // Closing flushes: a full disk shows here rather than in a later reader.
    m_file.close();
    if (m_file.fail()) throw CodecError("cannot write " + m_temporary + ": " + Reason());
    std::error_code ec;
    fs::rename(fs::path(m_temporary), fs::path(m_target), ec);
    if (ec) throw CodecError("cannot replace " + m_target + ": " + ec.message());
    m_committed = true;
}

}  // namespace CodecIo
