// The text the tool stores for a value, checked against the updater's own
// decoding: whatever the tool accepts, the updater must read back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "engine/build_config_block.h"
#include "stamp_image.h"

namespace {

TEST(SlotTextFor, UpdaterDecodesEveryStoredIdAndHostBackToTheValue) {
    const std::string values[] = {
        "abc123",
        "deadbeef",
        "0",
        "3F2A9C4E7B1D4E8A9C550D6E2B7F41A3",
        "12345",
        "updates.nimbra.invalid",
        "127.0.0.5",
        "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3",
        "",
        std::string(255, '7'),
        std::string(511, 'x'),
    };
    for (int slot : {Stamp::kDownloadIdSlot, Stamp::kServerHostSlot}) {
        for (const std::string& value : values) {
            EXPECT_EQ(BuildConfig::DecodeSlotText(Stamp::SlotTextFor(slot, value, false)), value)
                << "slot " << slot << ": " << value;
        }
    }
}

TEST(SlotTextFor, StoresOtherSlotsAndRawValuesAsGiven) {
    struct Case {
        int slot;
        std::string value;
        bool asGiven;
        std::string expected;
    };
    const Case cases[] = {
        {2, "abc123", false, "616263313233"},
        {2, "abc123", true, "abc123"},
        {4, "abc", false, "abc"},
        {5, "5E0C7A91D2B84F36A1C9E07D3B6F2A48", false, "5E0C7A91D2B84F36A1C9E07D3B6F2A48"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Stamp::SlotTextFor(c.slot, c.value, c.asGiven), c.expected) << c.value;
    }
}

TEST(SlotTextFor, RefusesWhatTheUpdaterCouldNotRead) {
    struct Case {
        int slot;
        std::string value;
        bool asGiven;
    };
    const Case cases[] = {
        {2, "abc", true},  // odd hex stored raw: undecodable
        {1, "12345", true},
        {2, std::string(256, 'a'), false},  // hex-encoded it would not fit
        {0, "x", false},                    // the marker slot
    };
    for (const Case& c : cases) {
        EXPECT_THROW(Stamp::SlotTextFor(c.slot, c.value, c.asGiven), Stamp::StampError) << c.value;
    }
}

}  // namespace
