#include "uninstall/layout_obstacles.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using Uninstall::EntryKind;

struct ObstacleCase {
    const char* clientPath;
    const char* expected;
};

TEST(LayoutObstaclesTest, FindsTheEntryOfTheOtherKindOnTheWay) {
    // What an earlier release left below the data folder.
    const std::map<std::string, EntryKind> disk = {
        {"data", EntryKind::File},  {"docs", EntryKind::Folder}, {"docs\\a.txt", EntryKind::File},
        {"a", EntryKind::Folder},   {"a\\b", EntryKind::File},   {"a\\c", EntryKind::Folder},
        {"x.txt", EntryKind::File}, {"linked", EntryKind::Link}, {"linked\\b", EntryKind::File},
    };
    const ObstacleCase cases[] = {
        {"data\\x.txt", "data"},     // a file became a folder
        {"data/sub/x.txt", "data"},  // "/" is a separator too
        {"docs", "docs"},            // a folder became a file
        {"a\\b\\c\\d.txt", "a\\b"},  // deeper down
        {"a//b\\d.txt", "a\\b"},     // empty components are skipped
        {"a\\c", "a\\c"},
        {"a\\c\\new.txt", ""},  // a folder stays a folder
        {"docs\\a.txt", ""},    // a file replaces a file
        {"x.txt", ""},
        {"new\\deep\\y.txt", ""},  // nothing there yet
        {"linked\\b\\y.txt", ""},  // nothing behind a link is looked at
        {"linked", ""},
        {"", ""},
    };
    std::vector<std::string> asked;
    const auto kindAt = [&](const std::string& path) {
        asked.push_back(path);
        const auto found = disk.find(path);
        return found == disk.end() ? EntryKind::None : found->second;
    };
    for (const ObstacleCase& c : cases)
        EXPECT_EQ(Uninstall::FindLayoutObstacle(c.clientPath, kindAt), c.expected) << c.clientPath;
    // Below a missing folder nothing more is looked at.
    asked.clear();
    Uninstall::FindLayoutObstacle("new\\deep\\y.txt", kindAt);
    EXPECT_EQ(asked, std::vector<std::string>{"new"});
}

}  // namespace
