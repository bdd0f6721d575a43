// Telling a fetched updater from a page answered in its place.
#include <gtest/gtest.h>

#include "engine/program_image.h"
#include "support/scratch.h"
#include "utils/file/file_utils.h"

namespace {

TEST(ProgramImage, OnlyAPeImageCounts) {
    TestSupport::ScratchFolder folder;
    const std::string peAt64 = std::string("MZ") + std::string(58, '\0') + "\x40" +
                               std::string(3, '\0') + std::string("PE\0\0", 4);
    const struct {
        const char* name;
        std::string content;
        bool program;
    } cases[] = {
        {"image.exe", peAt64, true},
        {"page.exe", "<!DOCTYPE html><html><body>Please log in</body></html>", false},
        {"empty.exe", "", false},
        {"dos.exe", "MZ" + std::string(100, '\0'), false},  // no header offset
        {"cut.exe", peAt64.substr(0, 66), false},           // signature cut short
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(TestSupport::WriteFile(folder / c.name, c.content));
        EXPECT_EQ(Engine::IsProgramImageFile(folder / c.name), c.program) << c.name;
    }
    EXPECT_TRUE(Engine::IsProgramImageFile(Utils::File::GetModulePath(false, false, false)));
    EXPECT_FALSE(Engine::IsProgramImageFile(folder / "missing.exe"));
}

}  // namespace
