// Prepares the Wine desktop before the first test creates a window.
#include "support/window_driver.h"

namespace {

const ::testing::Environment* const kDesktop =
    ::testing::AddGlobalTestEnvironment(new TestSupport::TestDesktopEnvironment);

}  // namespace
