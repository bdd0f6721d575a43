#include <gtest/gtest.h>
#include <windows.h>

#include "engine/files/file_kinds.h"
#include "support/scratch.h"

namespace {

TEST(FileKinds, FontExtensionsAreMatchedInOneCaseOnly) {
    const struct {
        const char* path;
        bool font;
    } cases[] = {
        {"x.TTF", true},   {"x.otf", true},          {"fonts\\a.fon", true}, {"a.FNT", true},
        {"a.ttc", true},   {"a.FOT", true},          {"x.Ttf", false},       {"x.ttf.Kelz", false},
        {"README", false}, {"dir.ttf\\file", false}, {"x.ttf ", false},      {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(Engine::IsFontFile(c.path), c.font) << c.path;
}

TEST(FileKinds, IconFilesGetTheFixedDisplayName) {
    const struct {
        const char* label;
        const char* shown;
    } cases[] = {
        {"icons\\app.ico", "Zeviv_3E_Zuzor_Ovavav.VOV"},
        {"a.icon.txt", "Zeviv_3E_Zuzor_Ovavav.VOV"},
        {"a.png", "a.png"},
        {"APP.ICO", "APP.ICO"},
    };
    for (const auto& c : cases) EXPECT_EQ(Engine::GetDisplayLabel(c.label), c.shown) << c.label;
}

TEST(FileKinds, StatusLineForFetchedFiles) {
    const struct {
        const char* label;
        int index;
        const char* line;
    } cases[] = {
        {"data\\logo.ico", 3, "Getting file: Zeviv_3E_Zuzor_Ovavav.VOV"},
        {"bin\\app.exe", 0, "Getting file: bin\\app.exe"},
        {" Checking for software updates", -1, " Checking for software updates"},
        {" a.ico", 2, "Zeviv_3E_Zuzor_Ovavav.VOV"},
        {"abc", 0, ""},
        {"abcd", 0, "Getting file: abcd"},
        {"", 0, ""},
        {"updater.exe", -10, ""},
        {"tools\\unp.exe", 10000, "Getting file: tools\\unp.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::GetStatusLine(c.label, c.index), c.line) << c.label << " " << c.index;
}

TEST(FileKinds, InstallFontRegistersOnlyFontNames) {
    const char* source = "Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf";
    if (!TestSupport::FileExists(source)) GTEST_SKIP() << "no TrueType font on this machine";
    TestSupport::ScratchFolder folder;
    std::string font = folder / "a.ttf", mixedCase = folder / "b.Ttf";
    ASSERT_TRUE(CopyFileA(source, font.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(source, mixedCase.c_str(), FALSE));

    ASSERT_TRUE(TestSupport::WriteFile(folder / "broken.ttf", "not a font"));

    EXPECT_TRUE(Engine::InstallFont(font));
    RemoveFontResourceA(font.c_str());
    EXPECT_FALSE(Engine::InstallFont(mixedCase)) << "not a font name: must not be registered";
    EXPECT_FALSE(Engine::InstallFont(folder / "broken.ttf"));
    EXPECT_FALSE(Engine::InstallFont(""));
}

}  // namespace
