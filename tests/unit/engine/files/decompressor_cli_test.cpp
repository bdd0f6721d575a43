#include <gtest/gtest.h>

#include "files_test_helpers.h"
#include "support/scratch.h"

namespace {

using FilesTest::ListFolder;
using FilesTest::RunProgram;
using TestSupport::WriteFile;

// A failure message is one line, naming the program.
void ExpectOneLineFailure(const FilesTest::ProgramResult& result, const std::string& program,
                          const std::string& call) {
    EXPECT_NE(result.exitCode, 0u) << call;
    ASSERT_FALSE(result.output.empty()) << call;
    EXPECT_EQ(result.output.rfind(program + ": ", 0), 0u) << call << ": " << result.output;
    std::string text = result.output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    EXPECT_EQ(text.find('\n'), std::string::npos) << call << ": " << result.output;
}

class DecompressorCli : public ::testing::Test {
protected:
    void SetUp() override {
        FilesTest::InstallTools(folder.Path());
        ASSERT_TRUE(WriteFile(folder / "plain.txt", std::string(5000, 'p')));
        ASSERT_TRUE(WriteFile(folder / "sound.wav", FilesTest::MakeWav(2000)));
        ASSERT_EQ(Run("tools\\unkelz c plain.txt good.Kelz").exitCode, 0u);
        ASSERT_EQ(Run("tools\\unkelw --encode sound.wav good.Kelw").exitCode, 0u);
        std::string packed = TestSupport::ReadFile(folder / "good.Kelz");
        ASSERT_TRUE(WriteFile(folder / "cut.Kelz", packed.substr(0, packed.size() - 7)));
        std::string sound = TestSupport::ReadFile(folder / "good.Kelw");
        sound[sound.size() - 100] ^= 0x10;
        ASSERT_TRUE(WriteFile(folder / "flipped.Kelw", sound));
        // The LIST chunk travels in metadata, outside the samples' signature.
        sound = TestSupport::ReadFile(folder / "good.Kelw");
        std::size_t text = sound.find("ISFT");
        ASSERT_NE(text, std::string::npos);
        sound[text + 9] ^= 0x20;
        ASSERT_TRUE(WriteFile(folder / "retitled.Kelw", sound));
        ASSERT_TRUE(WriteFile(folder / "empty.Kelz", ""));
        before = ListFolder(folder.Path());
    }
    FilesTest::ProgramResult Run(const std::string& line) {
        return RunProgram(line, folder.Path());
    }

    TestSupport::ScratchFolder folder;
    FilesTest::CurrentFolderScope current{folder.Path()};  // relative program paths
    std::vector<std::string> before;
};

TEST_F(DecompressorCli, RefusesBadCallsWithoutWritingAnything) {
    const struct {
        const char* program;
        const char* line;
    } calls[] = {
        {"unkelz", "tools\\unkelz"},
        {"unkelz", "tools\\unkelz d good.Kelz"},
        {"unkelz", "tools\\unkelz x good.Kelz out.txt"},
        {"unkelz", "tools\\unkelz c -99 plain.txt out.Kelz"},
        {"unkelz", "tools\\unkelz  d missing.Kelz out.txt"},
        {"unkelz", "tools\\unkelz  d cut.Kelz out.txt"},
        {"unkelz", "tools\\unkelz  d empty.Kelz out.txt"},
        {"unkelz", "tools\\unkelz  d plain.txt out.txt"},
        {"unkelz", "tools\\unkelz  d good.Kelz nofolder\\out.txt"},
        {"unkelw", "tools\\unkelw"},
        {"unkelw", "tools\\unkelw -o out.wav"},
        {"unkelw", "tools\\unkelw -x out.wav good.Kelw"},
        {"unkelw", "tools\\unkelw  -o out.wav missing.Kelw"},
        {"unkelw", "tools\\unkelw  -o out.wav flipped.Kelw"},
        {"unkelw", "tools\\unkelw  -o out.wav retitled.Kelw"},
        {"unkelw", "tools\\unkelw  -o out.wav good.Kelz"},
        {"unkelw", "tools\\unkelw -c plain.txt out.Kelw"},
    };
    for (const auto& call : calls) {
        ExpectOneLineFailure(Run(call.line), call.program, call.line);
        EXPECT_EQ(ListFolder(folder.Path()), before) << call.line << " left output behind";
    }
}

TEST_F(DecompressorCli, SoundFormatsSurviveTheRoundTrip) {
    const struct {
        unsigned bits, channels, frames;
        bool extraChunks;
    } cases[] = {
        {8, 1, 1001, true},    // unsigned samples, odd data size with a pad byte
        {24, 1, 1001, false},  // plain 44-byte header
        {16, 6, 4000, true},
        {32, 2, 500, true},
    };
    for (const auto& c : cases) {
        std::string original = FilesTest::MakeWav(c.frames, c.bits, c.channels, c.extraChunks);
        ASSERT_TRUE(WriteFile(folder / "f.wav", original));
        ASSERT_EQ(Run("tools\\unkelw -c f.wav f.Kelw").exitCode, 0u) << c.bits;
        ASSERT_EQ(Run("tools\\unkelw  -o f.out f.Kelw").exitCode, 0u) << c.bits;
        EXPECT_EQ(TestSupport::ReadFile(folder / "f.out"), original) << c.bits << " bits";
    }
}

}  // namespace
