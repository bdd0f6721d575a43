#include "key_files.h"

#ifdef _WIN32
#include <windows.h>

#include "utils/unique_handle.h"
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "publish_error.h"
#include "signing_key.h"

namespace Publish {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void RefuseExisting(const std::string& path) {
    throw PublishError(path + " exists; a key file is never overwritten");
}

#ifdef _WIN32
// Returns false only when the file exists. A new file takes its folder's
// access list: a user's own folders already keep other users out.
bool CreateWithContent(const std::string& path, const std::string& content, bool) {
    Utils::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
        if (error == ERROR_PATH_NOT_FOUND)
            throw PublishError("cannot create " + path + ": its folder does not exist");
        throw PublishError("cannot create " + path + " (error " + std::to_string(error) + ")");
    }
    DWORD written = 0;
    if (!::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                     nullptr) ||
        written != content.size()) {
        file.Reset();
        ::DeleteFileA(path.c_str());
        throw PublishError("cannot write " + path);
    }
    return true;
}
#else
// Returns false only when the file exists.
bool CreateWithContent(const std::string& path, const std::string& content, bool ownerOnly) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0644);
    if (fd < 0) {
        if (errno == EEXIST) return false;
        throw PublishError("cannot create " + path + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t wrote = ::write(fd, content.data() + done, content.size() - done);
        if (wrote <= 0) break;
        done += static_cast<std::size_t>(wrote);
    }
    if (::close(fd) != 0 || done != content.size()) {
        ::unlink(path.c_str());
        throw PublishError("cannot write " + path);
    }
    return true;
}
#endif

}  // namespace

KeyPairPaths KeyPairPathsFor(const std::string& base) { return {base + ".key", base + ".pub.pem"}; }

std::string ReadKeyFile(const std::string& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) throw PublishError("cannot read the key file " + path);
    return text.str();
}

void WriteNewFile(const std::string& path, const std::string& content, bool ownerOnly) {
    if (!CreateWithContent(path, content, ownerOnly)) RefuseExisting(path);
}

KeyPairPaths WriteKeyPair(const std::string& base) {
    const KeyPairPaths paths = KeyPairPathsFor(base);
    std::error_code ec;
    for (const std::string* path : {&paths.privateKey, &paths.publicKey})
        if (fs::exists(fs::path(*path), ec)) RefuseExisting(*path);
    const KeyPairPem pair = GenerateKeyPair();
    WriteNewFile(paths.privateKey, pair.privateKey, true);
    try {
        WriteNewFile(paths.publicKey, pair.publicKey, false);
    } catch (const PublishError&) {
        fs::remove(fs::path(paths.privateKey), ec);
        throw;
    }
    return paths;
}

}  // namespace Publish
