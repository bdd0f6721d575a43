// The stamping tool's runs on real files: what it writes, what it refuses,
// and that a refused run leaves the file byte-for-byte as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "stamp_command.h"
#include "stamp_image.h"
#include "stamp_test_image.h"
#include "support/scratch.h"

namespace {

using StampTest::kSlot;

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

RunResult RunTool(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = Stamp::RunStamp(args, out, err);
    return {code, out.str(), err.str()};
}

std::size_t FileCount(const std::string& folder) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++count;
    }
    return count;
}

class StampCommand : public ::testing::Test {
protected:
    TestSupport::ScratchFolder m_folder;
    std::string m_exe = m_folder / "updater.exe";
    std::string m_image = StampTest::Image();
    void SetUp() override { ASSERT_TRUE(TestSupport::WriteFile(m_exe, m_image)); }
};

TEST_F(StampCommand, WritesEachGivenValueAndPrintsThem) {
    const RunResult r =
        RunTool({m_exe, "--download-id", "0b5c2d1e-aaaa-4bbb-8ccc-123456789abc", "--host",
                 "127.0.0.5", "--brand", std::string(511, 'N'), "--print"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "download-id=0b5c2d1e-aaaa-4bbb-8ccc-123456789abc\nhost=127.0.0.5\n"
              "service-path=value3\nbrand=" +
                  std::string(511, 'N') + "\nchecksum=value5\n");
    const std::string image = TestSupport::ReadFile(m_exe);
    EXPECT_EQ(image.size(), m_image.size());
    const std::size_t block = Stamp::FindBlock(image);
    EXPECT_EQ(Stamp::ReadSlotText(image, block, 2), "127.0.0.5");
    EXPECT_EQ(image.substr(block + 3 * kSlot, kSlot), m_image.substr(block + 3 * kSlot, kSlot));
    EXPECT_EQ(FileCount(m_folder.Path()), 1u) << "no temporary file left behind";
}

TEST_F(StampCommand, OutputCopyLeavesInputUntouched) {
    const std::string copy = m_folder / "copy.exe";
    ASSERT_EQ(
        RunTool({m_exe, "--output", copy, "--checksum", "00112233445566778899AABBCCDDEEFF"}).code,
        0);
    EXPECT_TRUE(TestSupport::ReadFile(m_exe) == m_image);
    const RunResult printed = RunTool({copy, "--print"});
    EXPECT_NE(printed.out.find("checksum=00112233445566778899AABBCCDDEEFF\n"), std::string::npos);
}

TEST_F(StampCommand, RefusedRunsLeaveFileUnchanged) {
    const std::vector<std::vector<std::string>> runs = {
        {m_exe, "--brand", std::string(512, 'b')},
        {m_exe, "--host", "ok.example", "--service-path", std::string(600, '/')},
        {m_exe, "--raw", "--download-id", "abcde"},
        {m_exe, "--host", std::string(256, 'a')},
    };
    for (const auto& args : runs) {
        const RunResult r = RunTool(args);
        EXPECT_EQ(r.code, 1) << args[1];
        EXPECT_NE(r.err.find("stamp: "), std::string::npos);
        EXPECT_TRUE(TestSupport::ReadFile(m_exe) == m_image) << args[1];
    }
    EXPECT_EQ(FileCount(m_folder.Path()), 1u);
}

TEST_F(StampCommand, RefusesFilesWithoutExactlyOneBlock) {
    const std::string none = m_folder / "none.exe";
    const std::string two = m_folder / "two.exe";
    const std::string noneImage = StampTest::Filler(5000, 'k');
    const std::string twoImage = m_image + m_image;
    ASSERT_TRUE(TestSupport::WriteFile(none, noneImage));
    ASSERT_TRUE(TestSupport::WriteFile(two, twoImage));

    EXPECT_EQ(RunTool({none, "--brand", "X"}).code, 1);
    EXPECT_EQ(RunTool({two, "--brand", "X"}).code, 1);
    EXPECT_EQ(RunTool({m_folder / "missing.exe", "--brand", "X"}).code, 1);
    EXPECT_TRUE(TestSupport::ReadFile(none) == noneImage);
    EXPECT_TRUE(TestSupport::ReadFile(two) == twoImage);
    EXPECT_FALSE(TestSupport::FileExists(m_folder / "missing.exe"));
}

TEST(StampArguments, BadCommandLinesAreUsageErrors) {
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"a.exe"},
        {"a.exe", "--brand"},
        {"a.exe", "--brand", "x", "--brand", "y"},
        {"a.exe", "--bogus", "x"},
        {"a.exe", "b.exe", "--print"},
        {"a.exe", "--output", "b.exe"},
        {"--print"},
        // Brands the updater would refuse to run with.
        {"a.exe", "--brand", ""},
        {"a.exe", "--brand", ".."},
        {"a.exe", "--brand", "Acme\\Tools"},
        {"a.exe", "--brand", "Acme: Tools"},
        {"a.exe", "--brand", "Tab\tName"},
        // Hosts the updater cannot reach, and a checksum the release tool refuses.
        {"a.exe", "--host", "http://updates.example.com/"},
        {"a.exe", "--host", "updates.example.com:70000"},
        {"a.exe", "--checksum", "B2F1CB5D8BCD76BFEA8A5F320BA70B6"},
    };
    for (const auto& line : lines) {
        const RunResult r = RunTool(line);
        EXPECT_EQ(r.code, 2) << (line.empty() ? "(none)" : line.back());
        EXPECT_NE(r.err.find("usage: stamp"), std::string::npos);
    }
}

TEST(StampArguments, NameTheQuoteThatSwallowedTheArgumentsAfterIt) {
    // cmd hands --output "D:\out dir\" --brand X over as one argument.
    const RunResult r = RunTool({"a.exe", "--output", "D:\\out dir\" --brand X"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("holds a double quote"), std::string::npos) << r.err;
}

}  // namespace
