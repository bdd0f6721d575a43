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
        ASSERT_TRUE(WriteFile(folder / "empty.Kelz", ""));
        before = ListFolder(folder.Path());
    }
    FilesTest::ProgramResult Run(const std::string& line) { return RunProgram(line, folder.Path()); }

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
        {"unkelw", "tools\\unkelw  -o out.wav good.Kelz"},
        {"unkelw", "tools\\unkelw -c plain.txt out.Kelw"},
    };
    for (const auto& call : calls) {
        ExpectOneLineFailure(Run(call.line), call.program, call.line);
        EXPECT_EQ(ListFolder(folder.Path()), before) << call.line << " left output behind";
    }
}

TEST_F(DecompressorCli, RoundTripsThroughTheCommandLines) {
    EXPECT_EQ(Run("tools\\unkelz  d good.Kelz plain.out").exitCode, 0u);
    EXPECT_EQ(TestSupport::ReadFile(folder / "plain.out"), TestSupport::ReadFile(folder / "plain.txt"));
    EXPECT_EQ(Run("tools\\unkelw  -o sound.out good.Kelw").exitCode, 0u);
    EXPECT_EQ(TestSupport::ReadFile(folder / "sound.out"), TestSupport::ReadFile(folder / "sound.wav"));
}

TEST_F(DecompressorCli, SoundFormatsSurviveTheRoundTrip) {
    // 8-bit (unsigned, odd length with a pad byte) and 24-bit mono files.
    auto wav = [](unsigned bits, unsigned frames) {
        unsigned bytes = bits / 8;
        std::string data;
        for (unsigned i = 0; i < frames * bytes; ++i) data += static_cast<char>((i * 37 + i / 5) & 0xFF);
        std::string fmt = std::string("\x01\0\x01\0\x40\x1f\0\0", 8);
        unsigned rate = 8000 * bytes;
        for (int k = 0; k < 4; ++k) fmt += static_cast<char>((rate >> (8 * k)) & 0xFF);
        fmt += static_cast<char>(bytes);
        fmt += '\0';
        fmt += static_cast<char>(bits);
        fmt += '\0';
        std::string body = "WAVEfmt " + std::string("\x10\0\0\0", 4) + fmt + "data";
        for (int k = 0; k < 4; ++k) body += static_cast<char>((data.size() >> (8 * k)) & 0xFF);
        body += data;
        if (data.size() % 2) body += '\0';
        std::string out = "RIFF";
        for (int k = 0; k < 4; ++k) out += static_cast<char>((body.size() >> (8 * k)) & 0xFF);
        return out + body;
    };
    for (unsigned bits : {8u, 24u}) {
        std::string original = wav(bits, 1001);
        ASSERT_TRUE(WriteFile(folder / "f.wav", original));
        ASSERT_EQ(Run("tools\\unkelw -c f.wav f.Kelw").exitCode, 0u) << bits;
        ASSERT_EQ(Run("tools\\unkelw  -o f.out f.Kelw").exitCode, 0u) << bits;
        EXPECT_EQ(TestSupport::ReadFile(folder / "f.out"), original) << bits << " bits";
    }
}

}  // namespace
