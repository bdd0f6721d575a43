#include "publish_fixture.h"

#include <windows.h>

#include <algorithm>
#include <sstream>

#include "codec_io.h"
#include "flac_codec.h"
#include "publish_command.h"
#include "support/updater_process.h"
#include "utils/unique_handle.h"
#include "zstd_codec.h"

namespace PublishTest {

void PublishFixture::SetUp() {
    ASSERT_FALSE(TestSupport::GetBuildFolder().empty()) << "PROJECT_BUILD_DIR is not set";
    CreateDirectoryA(tools.c_str(), nullptr);
    for (const char* name : {"unkelz", "unkelw"}) {
        const std::string built =
            TestSupport::GetBuildFolder() + "\\tools\\" + name + "\\" + name + ".exe";
        ASSERT_TRUE(CopyFileA(built.c_str(), (tools + "\\" + name + ".exe").c_str(), FALSE))
            << built;
    }
    AddProductFile("bin\\App.exe", "MZ" + std::string(3000, 'a'));
    WriteSettings();
}

void PublishFixture::AddProductFile(const std::string& clientPath, const std::string& content) {
    ASSERT_TRUE(TestSupport::WriteFile(product + "\\" + clientPath, content)) << clientPath;
}

void PublishFixture::WriteSettings(const std::string& extra) {
    ASSERT_TRUE(TestSupport::WriteFile(settings,
                                       "# test release\n"
                                       "product-exe = bin\\App.exe\n"
                                       "files-server = files.test.invalid\n"
                                       "download-id = stable\n"
                                       "download-id = beta-1\n"
                                       "tools = tools\n" +
                                           extra));
}

RunResult PublishFixture::Release(const std::string& out, const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"release", "--settings", settings, "--files",
                                     product,   "--out",      out};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
}

RunResult PublishFixture::Run(const std::vector<std::string>& args) {
    std::ostringstream outText, errText;
    RunResult result;
    result.exitCode = Publish::RunPublish(args, outText, errText);
    result.out = outText.str();
    result.err = errText.str();
    return result;
}

bool PublishFixture::LoadDocument(const std::string& out, const std::string& id,
                                  UpdateDocument& document) {
    return document.Load(out + "\\documents\\" + id) == UpdateDocument::LoadStatus::Loaded;
}

std::map<std::string, UpdateFileEntry> PublishFixture::EntriesOf(const UpdateDocument& document) {
    std::map<std::string, UpdateFileEntry> entries;
    for (const UpdateFileEntry& entry : document.GetFileEntries())
        entries[entry.clientRelativePath] = entry;
    return entries;
}

std::string PublishFixture::ServedPath(const std::string& out,
                                       const std::string& serverPath) const {
    // What a static server does with the request path: decode %XX, map / to folders.
    std::string path = out;
    for (std::size_t i = 0; i < serverPath.size(); ++i) {
        const char c = serverPath[i];
        if (c == '%' && i + 2 < serverPath.size()) {
            path += static_cast<char>(std::stoi(serverPath.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += c == '/' ? '\\' : c;
        }
    }
    return path;
}

std::vector<std::string> PublishFixture::ScratchNames() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    Utils::UniqueFindHandle find(FindFirstFileA((root + "\\*").c_str(), &entry));
    if (!find) return names;
    do {
        const std::string name = entry.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

void PublishFixture::StartOver(const std::string& name) {
    root = scratch / name;
    CreateDirectoryA(root.c_str(), nullptr);
    product = root + "\\product";
    tools = root + "\\tools";
    settings = root + "\\release.conf";
    SetUp();
}

std::string UnpackKelz(const std::string& packed, const std::string& scratchFile) {
    try {
        Kelz::DecompressFile(packed, scratchFile);
    } catch (const CodecIo::CodecError&) {
        return "";
    }
    return TestSupport::ReadFile(scratchFile);
}

std::string UnpackKelw(const std::string& packed, const std::string& scratchFile) {
    try {
        Kelw::DecodeToWav(packed, scratchFile);
    } catch (const CodecIo::CodecError&) {
        return "";
    }
    return TestSupport::ReadFile(scratchFile);
}

}  // namespace PublishTest
