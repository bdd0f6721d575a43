#include "uninstall/uninstall_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Uninstall::FormatUninstallQuestion;

TEST(UninstallRulesTest, QuestionFitsItsTextWhateverTheBrand) {
    EXPECT_EQ(FormatUninstallQuestion("Acme"), "Are you sure you want to uninstall Acme?");
    const std::string longest(163, 'b');  // the longest brand shown whole
    EXPECT_EQ(FormatUninstallQuestion(longest),
              "Are you sure you want to uninstall " + longest + "?");
    for (std::size_t length : {164u, 400u, 5000u}) {
        const std::string question = FormatUninstallQuestion(std::string(length, 'b'));
        EXPECT_EQ(question.size(), Uninstall::kQuestionBufferSize - 1) << length;
        EXPECT_EQ(question.substr(question.size() - 4), "...?") << length;
    }
}

TEST(UninstallRulesTest, ProductPathsComeFromTheRecordsOfItsName) {
    const std::vector<std::string> folders = {"C:\\Program Files\\Acme", ""};
    const std::vector<std::string> records = {"bin\\app.exe", "app.exe.config", "tools\\APP.EXE",
                                              "readme.txt"};
    EXPECT_EQ(Uninstall::ProductImagePaths("App.exe", folders, records),
              (std::vector<std::string>{"C:\\Program Files\\Acme\\bin\\app.exe",
                                        "C:\\Program Files\\Acme\\tools\\APP.EXE"}));
    EXPECT_TRUE(Uninstall::ProductImagePaths("", folders, records).empty());
    EXPECT_TRUE(Uninstall::ProductImagePaths("other.exe", folders, records).empty());
}

TEST(UninstallRulesTest, OnlyTheInstalledProductOfAnotherProcessCounts) {
    const std::map<DWORD, std::string> images = {
        {10, "C:\\Program Files\\Acme\\bin\\App.exe"},
        {11, "C:\\Users\\me\\Downloads\\app.exe"},  // same name, elsewhere
        {12, ""},                                   // image unreadable
    };
    const auto imageOf = [&](DWORD id) { return images.at(id); };
    const std::vector<std::string> product = {"c:\\program files\\acme\\bin\\app.exe"};
    EXPECT_TRUE(Uninstall::IsProductRunning({11, 12, 10}, 99, product, imageOf));
    EXPECT_FALSE(Uninstall::IsProductRunning({11, 12}, 99, product, imageOf));
    EXPECT_FALSE(
        Uninstall::IsProductRunning({10}, 10, product, imageOf));  // the uninstaller itself
    EXPECT_FALSE(Uninstall::IsProductRunning({10, 11}, 99, {}, imageOf));
}

}  // namespace
