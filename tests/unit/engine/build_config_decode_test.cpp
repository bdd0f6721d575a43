// How slot texts become values: plain texts stay, hex-only texts are decoded.
#include <gtest/gtest.h>

#include <string>

#include "engine/build_config_block.h"
#include "utils/exception.h"

namespace {

struct DecodeCase {
    const char* name;
    std::string text;
    std::string expected;
};

class DecodeSlotTextTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeSlotTextTest, YieldsValue) {
    EXPECT_EQ(BuildConfig::DecodeSlotText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecodeSlotTextTest,
    ::testing::Values(
        DecodeCase{"HyphenatedGuidUnchanged", "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3",
                   "3f2a9c4e-7b1d-4e8a-9c55-0d6e2b7f41a3"},
        DecodeCase{
            "GuidWithoutHyphensBecomesRawBytes", "3F2A9C4E7B1D4E8A9C550D6E2B7F41A3",
            std::string("\x3f\x2a\x9c\x4e\x7b\x1d\x4e\x8a\x9c\x55\x0d\x6e\x2b\x7f\x41\xa3", 16)},
        DecodeCase{"HexOnlyHostIsGarbage", "abc123", std::string("\xab\xc1\x23", 3)},
        DecodeCase{"HexEncodedHostDecodes", "6e696d6272612e6578616d706c65", "nimbra.example"},
        DecodeCase{"MixedCaseDigits", "AbCdEf09", std::string("\xab\xcd\xef\x09", 4)},
        DecodeCase{"EmptyStaysEmpty", "", ""},
        DecodeCase{"LoopbackAddressUnchanged", "127.0.0.5", "127.0.0.5"},
        DecodeCase{"OneNonHexCharacterKeepsText", "abc12g", "abc12g"},
        DecodeCase{"LongestDecodableText", std::string(510, 'f'), std::string(255, '\xff')}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(DecodeSlotText, OddLengthHexThrowsLibraryException) {
    for (const std::string text : {"abc", "1", "3f2a9c4e7b1d4e8a9c550d6e2b7f41a"}) {
        bool thrown = false;
        try {
            BuildConfig::DecodeSlotText(text);
        } catch (Utils::Exception* e) {
            thrown = true;
            delete e;
        }
        EXPECT_TRUE(thrown) << text;
    }
}

}  // namespace
