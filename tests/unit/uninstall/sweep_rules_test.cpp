#include "uninstall/sweep_rules.h"

#include <gtest/gtest.h>

namespace {

using Uninstall::SweepAction;

constexpr DWORD kFile = FILE_ATTRIBUTE_ARCHIVE;
constexpr DWORD kFolder = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kLinkedFolder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

struct EntryCase {
    DWORD attributes;
    const char* relativePath;  // below C:\p\Acme unless base says otherwise
    SweepAction expected;
    const char* base = "C:\\p\\Acme";
};

TEST(SweepRulesTest, ClassifiesEntries) {
    const Uninstall::KeptPathSet kept = Uninstall::BuildKeptPathSet(
        {"app.dll", "\\top.dat", "Sub/B.dll", ".\\cfg\\x.ini", "name. ", "data.part"});
    const EntryCase cases[] = {
        // listed paths, compared as the file system compares them
        {kFile, "app.dll", SweepAction::Leave},
        {kFile, "APP.DLL", SweepAction::Leave},
        {kFile, "top.dat", SweepAction::Leave},
        {kFile, "sub\\b.dll", SweepAction::Leave},
        {kFile, "cfg\\x.ini", SweepAction::Leave},
        {kFile, "name", SweepAction::Leave},
        {kFile, "data.part", SweepAction::Leave},
        {kFile, "other\\app.dll", SweepAction::DeleteAndRecord},
        // protected names and paths
        {kFile, "setup.log.bak", SweepAction::Leave},
        {kFile, "sub\\data.xml.old", SweepAction::Leave},
        {kFile, "RUN.LOG", SweepAction::Leave},
        {kFile, "Data.Xml", SweepAction::DeleteAndRecord},
        {kFile, "Acme.exe", SweepAction::Leave},
        {kFile, "Acme.exe.d\\lib.dll", SweepAction::Leave},
        {kFile, "old.dll", SweepAction::Leave, "C:\\p\\acme"},
        {kFile, "old.dll", SweepAction::DeleteAndRecord},
        // transfer side files
        {kFile, "app.dll.part", SweepAction::DeleteSideFile},
        {kFile, "sub\\b.dll.part12", SweepAction::DeleteSideFile},
        {kFile, "a.bin.part2.Kelz", SweepAction::DeleteSideFile},
        {kFile, "config.xml.part.Kelw", SweepAction::DeleteSideFile},
        {kFile, "Acme.exe.part", SweepAction::Leave},
        {kFile, "x.part1", SweepAction::DeleteAndRecord},
        {kFile, "x.part02", SweepAction::DeleteAndRecord},
        {kFile, "x.part2.zip", SweepAction::DeleteAndRecord},
        {kFile, "x.log.part2.Kelz.Kelw", SweepAction::Leave},
        // what an unpacker stopped halfway leaves of a side file
        {kFile, "sub\\big.dat.part.~396.tmp", SweepAction::DeleteSideFile},
        {kFile, "config.xml.part2.~12.tmp", SweepAction::DeleteSideFile},
        {kFile, "a.dat.~396.tmp", SweepAction::DeleteAndRecord},
        {kFile, "a.part.~.tmp", SweepAction::DeleteAndRecord},
        {kFile, "a.part.~3x.tmp", SweepAction::DeleteAndRecord},
        // folders
        {kFolder, "sub", SweepAction::SweepAndRemoveFolder},
        {kFolder, ".", SweepAction::Leave},
        {kFolder, "..", SweepAction::Leave},
        {kLinkedFolder, "linked", SweepAction::Leave},
        {kFolder, "Acme.exe.local", SweepAction::SweepFolder},
        {kFolder, "Other", SweepAction::SweepFolder, "C:\\p"},
    };
    for (const EntryCase& test : cases) {
        const std::string relative = test.relativePath;
        const std::size_t slash = relative.rfind('\\');
        const Uninstall::SweepEntry entry{
            slash == std::string::npos ? relative : relative.substr(slash + 1), test.attributes,
            std::string(test.base) + "\\" + relative, relative};
        EXPECT_EQ(Uninstall::ClassifySweepEntry(entry, "Acme", kept), test.expected)
            << test.base << "\\" << relative;
    }
}

}  // namespace
