#pragma once
// Drives and reads the updater's windows from a test, in this process or in
// another one of the same Wine prefix, and starts updater processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/updater_process.h"

namespace TestSupport {

// Call once before any window exists in the test process. Under Wine with no
// window manager, every hidden top-level window costs a 2-second wait for a
// withdrawn state that never comes; unmanaged windows skip it (the setting is
// read by each Wine process at start, so child processes get it too). Then
// brings the desktop up once, so that child processes need not wait for it.
void PrepareTestDesktop();

// A test executable registers this once to run PrepareTestDesktop first.
class TestDesktopEnvironment : public ::testing::Environment {
public:
    void SetUp() override { PrepareTestDesktop(); }
};

// Polls condition every 20 ms until it holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A top-level window (visible or not) with exactly this caption, owned by
// processId (any process when 0) and of className when given; null if none.
HWND FindTopLevelWindow(const std::string& caption, DWORD processId,
                        const char* className = nullptr);
HWND WaitForWindow(const std::string& caption, DWORD processId, DWORD timeoutMs,
                   const char* className = nullptr);
// A message box (a "#32770" window with the text static 65535) of processId
// with exactly this caption.
HWND WaitForMessageBox(const std::string& caption, DWORD processId, DWORD timeoutMs);
// A visible "#32770" window of processId with this caption that is not a message box.
HWND WaitForDialog(const std::string& caption, DWORD processId, DWORD timeoutMs);

std::string GetWindowTextOf(HWND window);
std::string GetControlText(HWND dialog, int controlId);
std::string GetMessageBoxText(HWND box);
bool IsControlVisible(HWND dialog, int controlId);
// Clicks a button of a dialog or message box (posted, returns at once).
void PressButton(HWND dialog, int buttonId);

struct ProgressBarState {
    int position = 0;
    int low = 0;
    int high = 0;
    bool visible = false;
};
ProgressBarState GetProgressBarState(HWND dialog, int controlId);

SIZE GetWindowSize(HWND window);
// The icon set with WM_SETICON (ICON_BIG or ICON_SMALL); null when none.
// Windows of this process only: Wine does not deliver WM_GETICON to another process.
HICON GetWindowIcon(HWND window, WPARAM which);

}  // namespace TestSupport
