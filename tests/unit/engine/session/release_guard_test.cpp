// The highest accepted release number per download id, kept in the product key.
#include <gtest/gtest.h>

#include "engine/release_guard.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"

namespace {

using Engine::ReleaseCheck;

TEST(ReleaseGuard, RefusesOnlyNumbersBelowTheHighestAccepted) {
    TestSupport::ScratchRegistryKey scratch;
    const Utils::RegManager key(true, scratch.Name());
    const std::string id = "6f1c2d3e-4a5b-4c6d-8e9f-0a1b2c3d4e5f";

    EXPECT_EQ(Engine::RecordedRelease(key, id), 0u);
    EXPECT_EQ(Engine::AcceptRelease(key, id, 5), ReleaseCheck::Accepted);
    EXPECT_EQ(key.GetStringValue(id, "Releases"), "5");
    EXPECT_EQ(Engine::AcceptRelease(key, id, 5), ReleaseCheck::Accepted);  // a repeated run
    EXPECT_EQ(Engine::AcceptRelease(key, id, 4), ReleaseCheck::Older);
    EXPECT_EQ(key.GetStringValue(id, "Releases"), "5");
    EXPECT_EQ(Engine::AcceptRelease(key, "other-id", 1), ReleaseCheck::Accepted);  // its own count
    EXPECT_EQ(Engine::AcceptRelease(key, id, 9223372036854775807ull), ReleaseCheck::Accepted);
    EXPECT_EQ(Engine::AcceptRelease(key, id, 9223372036854775806ull), ReleaseCheck::Older);
    EXPECT_EQ(Engine::RecordedRelease(key, "other-id"), 1u);

    // A recorded text that is no number counts as nothing recorded.
    ASSERT_TRUE(key.SetStringValue(id, "garbage", true, "Releases"));
    EXPECT_EQ(Engine::RecordedRelease(key, id), 0u);
    EXPECT_EQ(Engine::AcceptRelease(key, id, 0), ReleaseCheck::Accepted);

    // The floor stamped into the updater holds where nothing higher is recorded
    // (a new machine, or the record gone with an uninstall).
    EXPECT_EQ(Engine::AcceptRelease(key, "fresh-id", 6, 7), ReleaseCheck::Older);
    EXPECT_EQ(key.GetStringValue("fresh-id", "Releases"), "");
    EXPECT_EQ(Engine::AcceptRelease(key, "fresh-id", 7, 7), ReleaseCheck::Accepted);
    EXPECT_EQ(Engine::AcceptRelease(key, "fresh-id", 7, 3), ReleaseCheck::Accepted);
    EXPECT_EQ(Engine::AcceptRelease(key, "fresh-id", 6, 3), ReleaseCheck::Older);  // the record wins
}

}  // namespace
