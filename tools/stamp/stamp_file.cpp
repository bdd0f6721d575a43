#include "stamp_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "stamp_image.h"

namespace Stamp {
namespace fs = std::filesystem;

std::string ReadWholeFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(path), ec)) {
        throw StampError("cannot read " + path + ": not an existing file");
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    std::string content(size > 0 ? static_cast<std::size_t>(size) : 0, '\0');
    in.seekg(0);
    if (size < 0 || !in.read(&content[0], size)) {
        throw StampError("cannot read " + path);
    }
    return content;
}

namespace {

bool WriteAll(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

}  // namespace

void ReplaceFile(const std::string& path, const std::string& content,
                 const std::string& permissionsFrom) {
    const std::string temporary = path + ".stamp-tmp";
    if (!WriteAll(temporary, content)) {
        std::error_code ignored;
        fs::remove(fs::path(temporary), ignored);
        throw StampError("cannot write " + temporary);
    }
    std::error_code ec;
    const fs::perms perms = fs::status(fs::path(permissionsFrom), ec).permissions();
    if (!ec) {
        fs::permissions(fs::path(temporary), perms, ec);
    }
    fs::rename(fs::path(temporary), fs::path(path), ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(fs::path(temporary), ignored);
        throw StampError("cannot replace " + path + ": " + ec.message());
    }
}

}  // namespace Stamp
