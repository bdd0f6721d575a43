// Prepares the Wine desktop before the first test creates a window.
#include <gtest/gtest.h>

#include "support/window_driver.h"

namespace {

class TestDesktop : public ::testing::Environment {
public:
    void SetUp() override { TestSupport::PrepareTestDesktop(); }
};

const ::testing::Environment* const kDesktop = ::testing::AddGlobalTestEnvironment(new TestDesktop);

}  // namespace
