#include <gtest/gtest.h>
#include <windows.h>

#include "engine/files/decompress.h"
#include "engine/files/install_folders.h"
#include "files_test_helpers.h"
#include "support/scratch.h"

namespace {

using FilesTest::ListFolder;
using TestSupport::FileExists;
using TestSupport::ReadFile;
using TestSupport::WriteFile;

TEST(DecompressCommandLine, ExactFormsAndRefusals) {
    const std::string longName(16400, 'n');
    const struct {
        const char* name;
        std::string compressed, unpacked, general, sound, line;
    } cases[] = {
        {"general", "a.bin.Kelz", "a.bin", "tools\\unp", "tools\\wavunp",
         "\"tools\\unp\"  d a.bin.Kelz a.bin"},
        {"sound", "a.wav.Kelw", "a.wav", "tools\\unp", "tools\\wavunp",
         "\"tools\\wavunp\"  -o a.wav a.wav.Kelw"},
        {"explicit side name", "a.bin.Kelz", "a.bin.new", "u", "w",
         "\"u\"  d a.bin.Kelz a.bin.new"},
        {"blanks are quoted", "my song.wav.Kelw", "my song.wav", "u", "my tools\\w",
         "\"my tools\\w\"  -o \"my song.wav\" \"my song.wav.Kelw\""},
        {"extension matched exactly", "a.bin.kelz", "a.bin", "u", "w", ""},
        {"other extension", "a.bin.zip", "a.bin", "u", "w", ""},
        {"no general tool", "a.bin.Kelz", "a.bin", "", "w", ""},
        {"no sound tool", "a.wav.Kelw", "a.wav", "u", "", ""},
        {"quote in a path", "a\".Kelz", "a\"", "u", "w", ""},
        {"longer than the system takes", longName + ".Kelz", longName, "u", "w", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Engine::BuildDecompressCommandLine(c.compressed, c.unpacked, c.general, c.sound),
                  c.line)
            << c.name;
    // "\"u\"  d " + name + ".Kelz" + " " + name is 2 * name + 13 characters long.
    const std::string fits(16376, 'f'), tooLong(16377, 't');
    EXPECT_EQ(Engine::BuildDecompressCommandLine(fits + ".Kelz", fits, "u", "w").size(), 32765u);
    EXPECT_EQ(Engine::BuildDecompressCommandLine(tooLong + ".Kelz", tooLong, "u", "w"), "");
}

class Decompress : public ::testing::Test {
protected:
    void SetUp() override { tools = FilesTest::InstallTools(folder.Path()); }

    // Packs content into name with the matching compressor mode.
    void Pack(const std::string& source, const std::string& packed) {
        Engine::CreateFolderTree(packed);
        bool sound = packed.size() > 5 && packed.substr(packed.size() - 5) == ".Kelw";
        std::string line = sound ? "tools\\unkelw.exe -c " + source + " " + packed
                                 : "tools\\unkelz.exe c " + source + " " + packed;
        FilesTest::ProgramResult result = FilesTest::RunProgram(line, folder.Path());
        ASSERT_EQ(result.exitCode, 0u) << result.output;
    }

    TestSupport::ScratchFolder folder;
    FilesTest::CurrentFolderScope current{folder.Path()};
    FilesTest::ToolNames tools;
};

TEST_F(Decompress, GeneralFileUnpacksNextToTheCompressedOne) {
    std::string content;
    for (int i = 0; i < 20000; ++i) content += "glyph " + std::to_string(i * 31 % 977) + "\n";
    ASSERT_TRUE(WriteFile(folder / "src.ttf", content));
    Pack("src.ttf", "fonts\\a.ttf.Kelz");

    EXPECT_TRUE(Engine::Decompress("fonts\\a.ttf.Kelz", tools.general, tools.sound));
    EXPECT_EQ(ReadFile(folder / "fonts\\a.ttf"), content);
    EXPECT_TRUE(FileExists(folder / "fonts\\a.ttf.Kelz"))
        << "the caller deletes the compressed file";
    EXPECT_EQ(ListFolder(folder / "fonts"), (std::vector<std::string>{"a.ttf", "a.ttf.Kelz"}));
}

// A product with deep folders: the command line, with the tool's full path
// and both names, is far longer than the names alone.
TEST_F(Decompress, FileInADeepFolderUnpacks) {
    const std::string deep = std::string(50, 'd') + "\\" + std::string(50, 'e') + "\\" +
                             std::string(50, 'f') + "\\a.txt";
    ASSERT_TRUE(WriteFile(folder / "src.txt", "deep content"));
    Pack("src.txt", deep + ".Kelz");
    const std::string tool = folder / tools.general;
    ASSERT_GT(Engine::BuildDecompressCommandLine(deep + ".Kelz", deep, tool, "").size(), 300u);
    EXPECT_TRUE(Engine::Decompress(deep + ".Kelz", tool, tools.sound));
    EXPECT_EQ(ReadFile(folder / deep), "deep content");
}

TEST_F(Decompress, SoundFileRestoresTheWavByteForByte) {
    const std::string wav = FilesTest::MakeWav(30001);
    ASSERT_TRUE(WriteFile(folder / "orig.wav", wav));
    Pack("orig.wav", "snd\\a.wav.Kelw");
    EXPECT_LT(ReadFile(folder / "snd\\a.wav.Kelw").size(), wav.size());

    EXPECT_TRUE(Engine::Decompress("snd\\a.wav.Kelw", tools.general, tools.sound));
    EXPECT_EQ(ReadFile(folder / "snd\\a.wav"), wav);
}

TEST_F(Decompress, CorruptInputFailsAndLeavesTheInstalledCopy) {
    ASSERT_TRUE(WriteFile(folder / "src.bin", std::string(100000, 'z') + "tail"));
    Pack("src.bin", "a.bin.Kelz");
    std::string packed = ReadFile(folder / "a.bin.Kelz");
    packed[packed.size() / 2] ^= 0x55;
    ASSERT_TRUE(WriteFile(folder / "a.bin.Kelz", packed));
    ASSERT_TRUE(WriteFile(folder / "a.bin", "installed copy"));

    EXPECT_FALSE(Engine::Decompress("a.bin.Kelz", tools.general, tools.sound));
    EXPECT_EQ(ReadFile(folder / "a.bin"), "installed copy");
    EXPECT_EQ(ListFolder(folder.Path()),
              (std::vector<std::string>{"a.bin", "a.bin.Kelz", "src.bin", "tools"}));
}

TEST_F(Decompress, ReadOnlyTargetIsReplaced) {
    ASSERT_TRUE(WriteFile(folder / "src.txt", "new content"));
    Pack("src.txt", "a.txt.Kelz");
    ASSERT_TRUE(WriteFile(folder / "a.txt", "old"));
    ASSERT_TRUE(SetFileAttributesA((folder / "a.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(Engine::Decompress("a.txt.Kelz", tools.general, tools.sound));
    EXPECT_EQ(ReadFile(folder / "a.txt"), "new content");
}

TEST_F(Decompress, UnwritableTargetFails) {
    ASSERT_TRUE(WriteFile(folder / "src.txt", "content"));
    Pack("src.txt", "a.txt.Kelz");
    ASSERT_TRUE(CreateDirectoryA((folder / "a.txt").c_str(), nullptr));  // a folder in the way

    EXPECT_FALSE(Engine::Decompress("a.txt.Kelz", tools.general, tools.sound));
    EXPECT_EQ(ListFolder(folder.Path()),
              (std::vector<std::string>{"a.txt", "a.txt.Kelz", "src.txt", "tools"}));
}

TEST_F(Decompress, UnpacksToAnExplicitSideName) {
    ASSERT_TRUE(WriteFile(folder / "src.txt", "fresh"));
    Pack("src.txt", "a.txt.Kelz");
    ASSERT_TRUE(WriteFile(folder / "a.txt", "installed"));

    EXPECT_TRUE(Engine::DecompressTo("a.txt.Kelz", "a.txt.new", tools.general, tools.sound));
    EXPECT_EQ(ReadFile(folder / "a.txt.new"), "fresh");
    EXPECT_EQ(ReadFile(folder / "a.txt"), "installed");
}

TEST_F(Decompress, MissingToolOrUnknownKindFails) {
    ASSERT_TRUE(WriteFile(folder / "a.bin.Kelz", "whatever"));
    ASSERT_TRUE(WriteFile(folder / "a.bin.zip", "whatever"));
    EXPECT_FALSE(Engine::Decompress("a.bin.Kelz", "tools\\nothing_here", tools.sound));
    EXPECT_FALSE(Engine::Decompress("a.bin.Kelz", "", tools.sound));
    EXPECT_FALSE(Engine::Decompress("a.bin.zip", tools.general, tools.sound));
    EXPECT_FALSE(Engine::Decompress("noextension", tools.general, tools.sound));
    EXPECT_FALSE(FileExists(folder / "a.bin"));
}

}  // namespace
