#include "document/document_path_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(DocumentPathRulesTest, RelativePathsBelowTheFolderAreAllowed) {
    for (const char* path :
         {"", "app.exe", "bin\\app.exe", "bin/app.exe", "a\\b\\c\\d.dat", ".\\app.exe", "..app",
          "app..exe", "a\\...\\b", "a\\..b\\c", "dir.\\x", "sounds\\intro.Kelw",
          // names that merely start or end like a device
          "CONSOLE.txt", "COM10", "LPT0", "COM", "nullable.dll", "auxiliary\\x", "xcon.txt",
          "sub\\NULL.txt", "prn_\\a"}) {
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
             "nul.txt",  // device names in any component, case and extension
             "sub\\Con.dll",
             "CON .txt",  // blanks before the extension are stripped too
             "con. .x",
             "con",
             "PRN",
             "aux.h",
             "COM1",
             "com9.tar.gz",
             "LPT1\\x.dll",
             "bin/lpt5",
             "CON  ",
             "COM\xB9.txt",  // superscript one
         }) {
        EXPECT_FALSE(DocumentPathRules::IsContainedRelativePath(path)) << path;
    }
}

}  // namespace
