// Runs the real main dialog and times SetProgressText / SetProgressPos calls
// made from a worker thread: values that change what the user sees, and
// repeats that change nothing. Run under Wine with a display:
//   scripts/wine-run.sh build-x/bench/app_progress/bench_app_progress.exe
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/main_dialog.h"
#include "app/resource_ids.h"
#include "utils/unique_handle.h"

namespace {

class BenchDialog : public CMainDlg {
public:
    using CMainDlg::CMainDlg;

protected:
    void StartInstallation(const std::string&) override {}
    void EndProcess(UINT exitCode) override { ::ExitThread(exitCode); }
};

DWORD WINAPI RunDialog(LPVOID dialog) {
    return static_cast<DWORD>(
        static_cast<BenchDialog*>(dialog)->DoModal(::GetModuleHandleA(nullptr), nullptr));
}

template <typename Call>
double MicrosecondsPerCall(int count, Call call) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) call(i);
    ::QueryPerformanceCounter(&end);
    return (end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart / count;
}

}  // namespace

int main() {
    BuildSettings settings;
    settings.serverHost = "127.0.0.1";
    settings.brand = "NimbraProgressBench_" + std::to_string(::GetCurrentProcessId());
    BenchDialog dialog(settings);
    Utils::UniqueKernelHandle thread(::CreateThread(nullptr, 0, &RunDialog, &dialog, 0, nullptr));
    while (dialog.GetDialogWindow() == nullptr || !::IsWindowVisible(dialog.GetDialogWindow()))
        ::Sleep(10);

    const int changed = 20000, unchanged = 1000000;
    std::printf("SetProgressText, changed:   %.3f us/call (%d calls)\n",
                MicrosecondsPerCall(changed, [&](int i) { dialog.SetProgressText(i / 1000.0); }),
                changed);
    std::printf("SetProgressText, unchanged: %.3f us/call (%d calls)\n",
                MicrosecondsPerCall(unchanged, [&](int) { dialog.SetProgressText(5.0); }),
                unchanged);
    std::printf("SetProgressPos, changed:    %.3f us/call (%d calls)\n",
                MicrosecondsPerCall(
                    changed, [&](int i) { dialog.SetProgressPos(IDC_PROGRESS_BAR, i % 99); }),
                changed);
    std::printf(
        "SetProgressPos, unchanged:  %.3f us/call (%d calls)\n",
        MicrosecondsPerCall(unchanged, [&](int) { dialog.SetProgressPos(IDC_PROGRESS_BAR, 7); }),
        unchanged);

    ::TerminateThread(thread.Get(), 0);
    const std::string key = "Software\\" + settings.brand;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
    return 0;
}
