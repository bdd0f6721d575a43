#include "document/document_path_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentPathRulesTest, RelativePathsBelowTheFolderAreAllowed) {
    for (const char* path :
         {"", "app.exe", "bin\\app.exe", "bin/app.exe", "a\\b\\c\\d.dat", ".\\app.exe", "..app",
          "app..exe", "a\\...\\b", "a\\..b\\c", "dir.\\x", "sounds\\intro.Kelw"}) {
        EXPECT_TRUE(DocumentPathRules::IsContainedRelativePath(path)) << path;
    }
}

TEST(DocumentPathRulesTest, PathsThatCanLeaveTheFolderAreRefused) {
    for (const char* path : {
             "\\Windows\\system32\\x.dll",  // rooted
             "/etc/passwd",                 // rooted, other separator
             "C:\\Windows\\x.dll",          // drive
             "C:x.dll",                     // drive-relative
             "c:/x.dll",
             "\\\\server\\share\\x.dll",  // UNC
             "//server/share/x.dll",
             "\\\\?\\C:\\x.dll",  // device prefixes
             "\\\\.\\PhysicalDrive0",
             "app.exe:stream",  // ':' anywhere
             "bin\\app.exe:",
             "..",  // parent components, either separator
             "..\\app.exe",
             "../app.exe",
             "bin\\..\\..\\app.exe",
             "bin/../../app.exe",
             "bin\\..",
             "bin/..",
             "bin\\.. \\x",  // trailing blanks are stripped by the system
             ".. /x",
         }) {
        EXPECT_FALSE(DocumentPathRules::IsContainedRelativePath(path)) << path;
    }
}

}  // namespace
