#pragma once
// What the run's lower layers may ask of the main dialog, from any thread:
// status and progress text, the progress bar, the skin address, the fatal
// report, the first-run question and the window. CMainDlg implements it and
// the main dialog pointer refers to the one dialog; tests install a
// recording implementation instead. Declared here, below every layer that
// reports, so that no lower layer includes the dialog.
#include <windows.h>

#include <string>

// Reports at this severity or above end the run (and never return).
constexpr int kFatalSeverity = 4;
// The fatal text of every registry write that the run depends on.
constexpr char kRegistryWriteFailedText[] = "Failed to write to registry, restart and try again.";

class RunReporter {
public:
    virtual ~RunReporter() = default;

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
    // Severity below kFatalSeverity: ignored. At or above: the first report
    // shows a box captioned "Downloader" and ends the process with 1; later
    // reports end the calling thread with 1000. Never returns when fatal.
    virtual void ReportError(const std::string& message, int severity) = 0;
    // Sets the dialog window's title.
    virtual void SetWindowTitle(const std::string& title) = 0;
    // The dialog window, owner of the run's message boxes (may be null).
    virtual HWND GetDialogWindow() const = 0;
};

// The main dialog pointer: set by the dialog's initialisation, null without a dialog.
extern RunReporter* g_mainDialog;
