#pragma once
// What the rest of the program may ask of the main dialog, from any thread.
// CMainDlg implements it; the process-wide main dialog pointer refers to the
// one dialog. Tests may install a recording implementation instead.
#include <windows.h>

#include <string>

class MainDialogOperations {
public:
    virtual ~MainDialogOperations() = default;

    // Shows progress prefix + text in the status line (control 1004).
    virtual void SetStatusText(const std::string& text) = 0;
    // Rebuilds the prefix as 8 blanks + "%.2f" of percent + "% - " and shows it.
    virtual void SetProgressText(double percent) = 0;
    // Sets the bar's position; at exactly 100 the caller then sleeps 600 ms.
    virtual void SetProgressPos(int controlId, int position) = 0;
    // Shows (maximum != 0) or hides the bar and posts its range 0..maximum.
    virtual void ShowProgressBar(int controlId, int maximum) = 0;
    // Stores the skin address and posts the skin message.
    virtual void SetSkinUrl(const std::string& url) = 0;
    // True unless the product key's "IsFirstTime" is exactly 1.
    virtual bool IsFirstRun() = 0;
    // Severity below 4: ignored. 4 or more: the first report shows a box
    // captioned "Downloader" and ends the process with 1; later reports end
    // the calling thread with 1000. Never returns at 4 or more.
    virtual void ReportError(const std::string& message, int severity) = 0;
    // The dialog window, owner of the session's message boxes (may be null).
    virtual HWND GetDialogWindow() const = 0;
};

// The main dialog pointer: set by the dialog's initialisation.
extern MainDialogOperations* g_mainDialog;
