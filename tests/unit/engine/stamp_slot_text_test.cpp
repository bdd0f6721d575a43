// The text the tool stores for a value, checked against the updater's own
// decoding: whatever the tool accepts, the updater must read back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "engine/build_config_block.h"
#include "stamp_image.h"

namespace {

struct SlotTextCase {
    const char* name;
    int slot;
    std::string value;
    bool asGiven;
    std::string expected;  // empty with `refused`: the tool must refuse
    bool refused;
};

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

class SlotTextForTest : public ::testing::TestWithParam<SlotTextCase> {};

TEST_P(SlotTextForTest, StoresOrRefuses) {
    const SlotTextCase& c = GetParam();
    if (c.refused) {
        EXPECT_THROW(Stamp::SlotTextFor(c.slot, c.value, c.asGiven), Stamp::StampError);
    } else {
        EXPECT_EQ(Stamp::SlotTextFor(c.slot, c.value, c.asGiven), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, SlotTextForTest,
    ::testing::Values(
        SlotTextCase{"HyphenatedGuidAsIs", 1, "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3", false,
                     "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3", false},
        SlotTextCase{"HexOnlyHostEncoded", 2, "abc123", false, "616263313233", false},
        SlotTextCase{"HexOnlyHostRawKept", 2, "abc123", true, "abc123", false},
        SlotTextCase{"OddHexRawRefused", 2, "abc", true, "", true},
        SlotTextCase{"OddHexIdRawRefused", 1, "12345", true, "", true},
        SlotTextCase{"EmptyIdStaysEmpty", 1, "", false, "", false},
        SlotTextCase{"HostNameAsIs", 2, "127.0.0.5", false, "127.0.0.5", false},
        SlotTextCase{"BrandNeverEncoded", 4, "abc", false, "abc", false},
        SlotTextCase{"ChecksumNeverEncoded", 5, "5E0C7A91D2B84F36A1C9E07D3B6F2A48", false,
                     "5E0C7A91D2B84F36A1C9E07D3B6F2A48", false},
        SlotTextCase{"LongestEncodableHost", 2, std::string(255, 'a'), false, Repeat("61", 255),
                     false},
        SlotTextCase{"TooLongToEncode", 2, std::string(256, 'a'), false, "", true},
        SlotTextCase{"MarkerSlotRefused", 0, "x", false, "", true}),
    [](const ::testing::TestParamInfo<SlotTextCase>& info) { return std::string(info.param.name); });

TEST(SlotTextFor, UpdaterDecodesEveryStoredIdAndHostBackToTheValue) {
    const std::string values[] = {
        "abc123", "deadbeef", "0", "3F2A9C4E7B1D4E8A9C550D6E2B7F41A3", "12345",
        "updates.nimbra.invalid", "127.0.0.5", "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3", "",
        std::string(255, '7'), std::string(511, 'x'),
    };
    for (int slot : {Stamp::kDownloadIdSlot, Stamp::kServerHostSlot}) {
        for (const std::string& value : values) {
            EXPECT_EQ(BuildConfig::DecodeSlotText(Stamp::SlotTextFor(slot, value, false)), value)
                << "slot " << slot << ": " << value;
        }
    }
}

}  // namespace
