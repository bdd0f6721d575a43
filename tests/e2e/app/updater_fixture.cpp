#include "updater_fixture.h"

#include "support/window_driver.h"

namespace AppE2E {

namespace {
constexpr char kStalledPath[] = "/stalled";
constexpr DWORD kStallMs = 120000;
}  // namespace

void UpdaterTest::SetUp() {
    m_brand = TestSupport::UniqueName("NimbraE2E");
    m_exeName = TestSupport::UniqueName("Updater") + ".exe";
    m_exe = m_folder / m_exeName;
    ASSERT_FALSE(TestSupport::GetBuildFolder().empty()) << "PROJECT_BUILD_DIR is not set";
    // Headers come at once (the run shows that it fetches), the body never does.
    m_stalledService.Serve(kStalledPath, "<UpdateDocument/>");
    TestSupport::Fault stall;
    stall.trickleBytes = 1;
    stall.trickleDelayMs = kStallMs;
    m_stalledService.SetFault(kStalledPath, stall);
    ASSERT_TRUE(m_stalledService.Start());
}

void UpdaterTest::TearDown() { TestSupport::DeleteProductKey(m_brand); }

bool UpdaterTest::StampUpdater(TestSupport::UpdaterStamp stamp, const std::string& target) {
    if (stamp.brand.empty()) stamp.brand = m_brand;
    if (stamp.host.empty()) {
        stamp.host = m_stalledService.Host();
        stamp.servicePath = std::string(kStalledPath) + "?id=";
    }
    return TestSupport::MakeStampedUpdater(target.empty() ? m_exe : target, stamp);
}

void UpdaterTest::SetIsFirstTime(DWORD value) {
    const std::string path = "Software\\" + m_brand;
    ::RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), "IsFirstTime", REG_DWORD, &value,
                      sizeof(value));
}

bool UpdaterTest::PatchSlot(int slot, const std::string& text) {
    const char kMarker[] = "~############  THE BEST DOWNLOADER EVER  ############~";
    std::string image = TestSupport::ReadFile(m_exe);
    const size_t marker = image.find(kMarker);
    const size_t offset = marker + static_cast<size_t>(slot) * 512;
    if (marker == std::string::npos || offset + text.size() + 1 > image.size()) return false;
    image.replace(offset, text.size() + 1, text + '\0');
    return TestSupport::WriteFile(m_exe, image);
}

HWND UpdaterTest::WaitForDialog(const TestSupport::ChildProcess& process) {
    return TestSupport::WaitForDialog("Downloader", process.Id(), kWindowTimeoutMs);
}

DWORD UpdaterTest::CloseWithNo(TestSupport::ChildProcess& process, HWND dialog) {
    TestSupport::PressButton(dialog, IDCANCEL);
    HWND question = TestSupport::WaitForMessageBox("", process.Id(), kWindowTimeoutMs);
    if (question == nullptr) return process.WaitForExitCode(0);
    TestSupport::PressButton(question, IDNO);
    return process.WaitForExitCode(kExitTimeoutMs);
}

bool UpdaterTest::DeclineUninstall(DWORD processId) const {
    HWND question = TestSupport::WaitForMessageBox(kUninstallCaption, processId, kWindowTimeoutMs);
    if (question == nullptr) return false;
    const std::string text = TestSupport::GetMessageBoxText(question);
    TestSupport::PressButton(question, IDNO);
    return text == "Are you sure you want to uninstall " + m_brand + "?";
}

}  // namespace AppE2E
