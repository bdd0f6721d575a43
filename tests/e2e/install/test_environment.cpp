// Set up once for the whole program: the Wine desktop, and a temporary folder
// of its own for this process and the updaters it starts. The updater uses
// fixed names there (the fetched update document, a newer updater), which
// runs started by other test programs in the same prefix would share.
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/scratch.h"
#include "support/window_driver.h"

namespace {

class PrivateTempFolder : public ::testing::Environment {
public:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + TestSupport::UniqueName("e2e_install_temp");
        std::filesystem::create_directories(m_folder);
        ::SetEnvironmentVariableA("TMP", m_folder.c_str());
        ::SetEnvironmentVariableA("TEMP", m_folder.c_str());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

private:
    std::string m_folder;
};

const ::testing::Environment* const kDesktop =
    ::testing::AddGlobalTestEnvironment(new TestSupport::TestDesktopEnvironment);
const ::testing::Environment* const kTemp =
    ::testing::AddGlobalTestEnvironment(new PrivateTempFolder);

}  // namespace
