#pragma once
// A stamped copy of the real updater with a brand of its own per test, and
// the steps every end-to-end test of the shell repeats.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/scratch.h"
#include "support/test_http_server.h"
#include "support/updater_process.h"

namespace AppE2E {

constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 15000;
// An installing run waits for its update document, which the stalled service never sends.
constexpr char kNormalRunStatus[] = "        Getting file: Installation data";
// Uninstall mode shows the first run's status before it asks its question.
constexpr char kUninstallRunStatus[] = "        Please wait, connecting to the server";
constexpr char kUninstallCaption[] = "Uninstall";

class UpdaterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stamps the copy with the given fields; an empty brand or host gives the
    // test's own brand (whose key TearDown deletes) or the stalled service,
    // which holds back the update document so that the run never gets past it.
    // The copy is m_exe unless a target is given.
    bool StampUpdater(TestSupport::UpdaterStamp stamp = {}, const std::string& target = "");
    void SetIsFirstTime(DWORD value);
    // Writes text + a zero byte at the start of a build settings slot of the
    // copy directly, as a faulty build tool would; the stamping tool refuses
    // values the updater cannot read.
    bool PatchSlot(int slot, const std::string& text);

    // The dialog of process, once visible; null after the timeout.
    static HWND WaitForDialog(const TestSupport::ChildProcess& process);
    // Answers the close question with No; returns the exit code.
    static DWORD CloseWithNo(TestSupport::ChildProcess& process, HWND dialog);
    // Answers the uninstall question of processId with No; false when no
    // question naming the brand came.
    bool DeclineUninstall(DWORD processId) const;

    std::string m_brand;
    TestSupport::ScratchFolder m_folder;
    TestSupport::TestHttpServer m_stalledService;
    std::string m_exeName;
    std::string m_exe;
};

}  // namespace AppE2E
