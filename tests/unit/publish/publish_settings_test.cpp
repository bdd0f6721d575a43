// The settings file: what it accepts and how it names a refused line.
#include <gtest/gtest.h>

#include "publish_error.h"
#include "release_settings.h"

namespace {

using Publish::ParseSettings;
using Publish::PublishError;

const char kComplete[] =
    "# release settings\r\n"
    "product-exe = bin/App.exe\r\n"
    "files-server = files.example.invalid:8080\r\n"
    "\r\n"
    "  download-id = 3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3  \r\n"
    "download-id = beta_2.1\r\n"
    "skin-url = https://skin.example.invalid/?a=b\r\n"
    "uninstall-icon = icons\\remove.ico\r\n"
    "resource-update = tools\\ResUpdate.exe\r\n"
    "registry = Settings\\Colors | Background |  dark blue | true\r\n"
    "registry = | | default text | false\r\n"
    "updater = Nimbra.exe\r\n"
    "tools = decompressors\r\n";

TEST(PublishSettings, ReadsEveryKey) {
    const Publish::ReleaseSettings s = ParseSettings(kComplete, "r.conf");
    EXPECT_EQ(s.productExePath.text, "bin\\App.exe");  // "/" becomes "\"
    EXPECT_EQ(s.productExePath.line, 2);
    EXPECT_EQ(s.filesServer.text, "files.example.invalid:8080");
    ASSERT_EQ(s.downloadIds.size(), 2u);
    EXPECT_EQ(s.downloadIds[0].text, "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3");
    EXPECT_EQ(s.downloadIds[1].text, "beta_2.1");
    EXPECT_EQ(s.skinUrl.text, "https://skin.example.invalid/?a=b");
    EXPECT_EQ(s.uninstallIconPath.text, "icons\\remove.ico");
    EXPECT_EQ(s.updateResourceExePath.text, "tools\\ResUpdate.exe");
    ASSERT_EQ(s.registry.size(), 2u);
    EXPECT_EQ(s.registry[0].path, "Settings\\Colors");
    EXPECT_EQ(s.registry[0].key, "Background");
    EXPECT_EQ(s.registry[0].value, "dark blue");
    EXPECT_TRUE(s.registry[0].override);
    EXPECT_EQ(s.registry[1].path, "");
    EXPECT_EQ(s.registry[1].key, "");
    EXPECT_FALSE(s.registry[1].override);
    EXPECT_EQ(s.updaterExe.text, "Nimbra.exe");
    EXPECT_EQ(s.toolsFolder.text, "decompressors");
}

TEST(PublishSettings, ReadsAFileThatStartsWithAByteOrderMark) {
    const Publish::ReleaseSettings s = ParseSettings(
        std::string("\xEF\xBB\xBFproduct-exe = App.exe\n") + (kComplete + 47), "r.conf");
    EXPECT_EQ(s.productExePath.text, "App.exe");
    EXPECT_EQ(s.filesServer.line, 2);
}

TEST(PublishSettings, RefusesWithFileAndLine) {
    const std::string base =
        "product-exe = App.exe\nfiles-server = files.invalid\ndownload-id = a\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {base + "colour = blue\n", "r.conf:4: unknown key 'colour'"},
        {base + "just words\n", "r.conf:4: expected 'key = value'"},
        {base + " = value\n", "r.conf:4: no key before '='"},
        {base + "product-exe = Other.exe\n", "r.conf:4: product-exe given twice (first on line 1)"},
        {base + "download-id = a\n", "r.conf:4: download-id a given twice"},
        {base + "download-id = a/b\n", "r.conf:4: download-id may hold only"},
        {base + "download-id = .hidden\n", "r.conf:4: download-id may not start with '.'"},
        {base + "download-id = A\n", "r.conf:4: download-id A given twice (first on line 3)"},
        {base + "download-id = beta.\n", "r.conf:4: download-id may not end with '.' or hold"},
        {base + "download-id = b..2\n", "r.conf:4: download-id may not end with '.' or hold"},
        {base + "registry = A | B | C\n", "r.conf:4: registry needs four fields"},
        {base + "registry = A | B | C | TRUE\n", "r.conf:4: registry override must be true or"},
        {base + "registry = \\A | B | C | true\n", "r.conf:4: registry path has an empty key"},
        {base + "registry = A | B | " + std::string(1025, 'v') + " | true\n",
         "r.conf:4: registry value is longer"},
        {base + "skin-url = caf\xe9\n", "r.conf:4: skin-url has a character outside printable"},
        {base + "uninstall-icon = C:\\icon.ico\n", "r.conf:4: uninstall-icon would make the"},
        {base + "resource-update = a\\\\b.exe\n", "r.conf:4: resource-update has an empty folder"},
        {base + "updater =\n", "r.conf:4: updater needs a path"},
        // Written as on a Windows command line, or with a comment after the value.
        {base + "tools = \"D:\\My Tools\"\n", "r.conf:4: tools holds a double quote"},
        {base + "uninstall-icon = \"app.ico\"\n", "r.conf:4: uninstall-icon holds a double"},
        {base + "skin-url = \"https://skin.invalid/\"\n", "r.conf:4: skin-url holds a double"},
        {base + "skin-url = https://skin.invalid/  # new\n", "r.conf:4: skin-url holds a blank"},
        {base + "resource-update = .\\bin\\Res.exe\n",
         "r.conf:4: resource-update has a '.' folder"},
        {std::string("\xFF\xFEp\0r\0", 6), "r.conf: is saved as UTF-16"},
        {"files-server = http://files.invalid\n", "r.conf:1: files-server must be a host name"},
        {"files-server = files.invalid:http\n", "r.conf:1: files-server has a port"},
        {"files-server = files.invalid:65536\n", "r.conf:1: files-server has a port"},
        {"files-server = f\ndownload-id = a\n", "r.conf: missing product-exe"},
        {"product-exe = a.exe\ndownload-id = a\n", "r.conf: missing files-server"},
        {"product-exe = a.exe\nfiles-server = f\n", "r.conf: missing download-id"},
    };
    for (const auto& c : cases) {
        try {
            ParseSettings(c.text, "r.conf");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const PublishError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.message, 0), 0u) << e.what();
        }
    }
}

}  // namespace
