#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using App::StartForm;

TEST(CommandTail, DropsTheProgramNameAndTheBlanksAfterIt) {
    const struct {
        const char* commandLine;
        const char* tail;
    } cases[] = {
        {"Updater.exe", ""},
        {"Updater.exe 4000", "4000"},
        {"Updater.exe    \t 4000 x", "4000 x"},
        {"\"C:\\Program Files\\Nimbra\\Nimbra.exe\" /uninstall", "/uninstall"},
        {"\"C:\\a b\\x.exe\"", ""},
        {"C:\\a\" b \"c.exe /uninstall2 12", "/uninstall2 12"},  // quotes toggle mid-name
        {"x.exe /uninstall ", "/uninstall "},                    // trailing blank kept
        {"\"unterminated quote and more", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(App::GetCommandTail(c.commandLine), c.tail) << c.commandLine;
    EXPECT_EQ(App::GetCommandTail(nullptr), "");
}

TEST(LeadingNumber, ReadsLikeTheCRuntime) {
    const struct {
        const char* text;
        long value;
    } cases[] = {
        {"", 0},
        {"4000", 4000},
        {"  \t42abc", 42},
        {"+7", 7},
        {"-15", -15},
        {"abc12", 0},
        {"- 5", 0},
        {"12 34", 12},
        {"/uninstall2 99", 0},
        {"2147483647", 2147483647},
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647L - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(App::ParseLeadingNumber(c.text), c.value) << c.text;
}

TEST(ClassifyCommandTail, SelectsFormDelayAndProcess) {
    const struct {
        const char* tail;
        StartForm form;
        DWORD delay;
        bool wait;
        DWORD pid;
    } cases[] = {
        {"", StartForm::Normal, 0, false, 0},
        {"4000", StartForm::Normal, 4000, false, 0},
        {"250ms", StartForm::Normal, 250, false, 0},
        {"later", StartForm::Normal, 0, false, 0},
        {"-5000", StartForm::Normal, 0, false, 0},  // a negative delay counts as 0
        {"/uninstall", StartForm::UninstallLauncher, 0, false, 0},
        {"/uninstall ", StartForm::Normal, 0, false, 0},
        {"/UNINSTALL", StartForm::Normal, 0, false, 0},
        {"/Uninstall2 12", StartForm::Normal, 0, false, 0},
        {"/uninstall2", StartForm::UninstallRun, 0, false, 0},
        {"/uninstall2 1234", StartForm::UninstallRun, 0, true, 1234},
        {"/uninstall2x1234", StartForm::UninstallRun, 0, true, 1234},  // any separator is skipped
        {"/uninstall2 ", StartForm::UninstallRun, 0, true, 0},
        {"/uninstall21234", StartForm::UninstallRun, 0, true,
         234},  // its first digit is the separator
        {"/uninstall2 abc", StartForm::UninstallRun, 0, true, 0},
    };
    for (const auto& c : cases) {
        const App::StartRequest request = App::ClassifyCommandTail(c.tail);
        EXPECT_EQ(request.form, c.form) << c.tail;
        EXPECT_EQ(request.delayMs, c.delay) << c.tail;
        EXPECT_EQ(request.waitForProcess, c.wait) << c.tail;
        EXPECT_EQ(request.processId, c.pid) << c.tail;
    }
}

TEST(UninstallCopyPath, JoinsTemporaryFolderPrefixAndOwnFileName) {
    EXPECT_EQ(App::MakeUninstallCopyPath("C:\\Temp\\", "C:\\Program Files\\Nimbra\\Nimbra.exe"),
              "C:\\Temp\\UnInstallNimbra.exe");
    EXPECT_EQ(App::MakeUninstallCopyPath("C:\\Temp\\", "Nimbra.exe"),
              "C:\\Temp\\UnInstallNimbra.exe");
    EXPECT_EQ(App::MakeUninstallCopyPath("T\\", "C:\\dir.v2\\x"), "T\\UnInstallx");
}

}  // namespace
