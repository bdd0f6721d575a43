#include <gtest/gtest.h>

#include <memory>

#include "utils/exception.h"
#include "utils/string/string_utils.h"

namespace {

using Utils::String::StringList;

struct SplitCase {
    std::string text;
    std::string delimiter;
    int limit;
    StringList expected;
};

TEST(StringSplit, CutsAtEveryDelimiterAndKeepsTheRest) {
    const SplitCase cases[] = {
        {"", "\\", 0, {}},
        {"abc", "", 0, {}},
        {"abc", "\\", 0, {"abc"}},
        {"a\\b\\", "\\", 0, {"a", "b", ""}},
        {"\\a", "\\", 0, {"", "a"}},
        {"a::b::::c", "::", 0, {"a", "b", "", "c"}},
        {"a,b,c,d", ",", 2, {"a", "b", "c,d"}},
        {"a,b", ",", 5, {"a", "b"}},
        {"a,b,c", ",", -1, {"a", "b", "c"}},
    };
    for (const SplitCase& c : cases) {
        StringList list = {"stale"};
        Utils::String::Split(list, c.text, c.delimiter, c.limit);
        EXPECT_EQ(list, c.expected) << "text '" << c.text << "' limit " << c.limit;
    }
}

TEST(StringJoin, PutsTheDelimiterBetweenItemsOnly) {
    std::string out = "stale";
    EXPECT_EQ(Utils::String::Join(out, {}, ","), "");
    EXPECT_EQ(Utils::String::Join(out, {"a"}, ","), "a");
    EXPECT_EQ(Utils::String::Join(out, {"a", "", "c"}, ", "), "a, , c");
    EXPECT_EQ(out, "a, , c");
}

TEST(StringReplaceAll, ReplacesEachOccurrenceOnceWithoutRescanning) {
    struct Case {
        std::string text, search, replacement, expected;
    };
    const Case cases[] = {
        {"a/b//c", "/", "\\", "a\\b\\\\c"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"\\\\\\", "\\\\", "\\", "\\\\"},
        {"abc", "x", "y", "abc"},
        {"", "a", "b", ""},
        {"abc", "", "b", "abc"},  // nothing to search for: the text stays
        {"", "", "b", ""},
        {"abc", "abc", "", ""},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(Utils::String::ReplaceAll(text, c.search, c.replacement), c.expected) << c.text;
        EXPECT_EQ(text, c.expected);
    }
}

TEST(StringCase, FoldsAndComparesIgnoringCase) {
    std::string text = "Setup.EXE";
    EXPECT_EQ(Utils::String::ToLower(text), "setup.exe");
    EXPECT_EQ(Utils::String::ToUpper(text), "SETUP.EXE");
    EXPECT_TRUE(Utils::String::EqualsIgnoreCase("Setup.EXE", "setup.exe"));
    EXPECT_FALSE(Utils::String::EqualsIgnoreCase("setup.exe", "setup.ex"));
    EXPECT_FALSE(Utils::String::EqualsIgnoreCase("a", "b"));
}

TEST(StringHex, DecodesPairsAndCountsNonDigitsAsZero) {
    std::string out = "stale";
    EXPECT_EQ(Utils::String::HexDecode("4A6f", out), std::string("\x4A\x6F"));
    EXPECT_EQ(Utils::String::HexDecode("4G", out), std::string("\x40"));
    EXPECT_EQ(Utils::String::HexDecode("", out), "");
    EXPECT_EQ(Utils::String::HexDecode("00ff", out), std::string("\x00\xFF", 2));
}

TEST(StringHex, OddLengthThrowsTheLibraryException) {
    std::string out = "stale";
    try {
        Utils::String::HexDecode("4A6", out);
        FAIL() << "no exception";
    } catch (Utils::Exception* raw) {
        std::unique_ptr<Utils::Exception> e(raw);
        EXPECT_EQ(e->GetFunction(), "Utils::String::HexDecode");
        EXPECT_EQ(e->GetMessage().rfind("hexdigit_2_val\nThreadId=", 0), 0u) << e->GetMessage();
        EXPECT_EQ(e->GetCode(), 0);
        EXPECT_EQ(out, "");
    }
}

TEST(StringHex, EncodeRoundTripsAndDigitValueRejectsNonDigits) {
    const std::string bytes("\x00\x7F\x80\xFFJo", 6);
    std::string decoded;
    EXPECT_EQ(Utils::String::HexEncode(bytes), "007F80FF4A6F");
    EXPECT_EQ(Utils::String::HexDecode(Utils::String::HexEncode(bytes), decoded), bytes);
    EXPECT_EQ(Utils::String::hexdigit_2_val('f'), 15);
    EXPECT_EQ(Utils::String::hexdigit_2_val('A'), 10);
    try {
        Utils::String::hexdigit_2_val('g');
        FAIL() << "no exception";
    } catch (Utils::Exception* raw) {
        delete raw;
    }
}

TEST(StringUrl, EncodesAndDecodes) {
    EXPECT_EQ(Utils::String::UrlEncode("a b/c~\xE9"), "a+b%2Fc%7E%E9");
    EXPECT_EQ(Utils::String::UrlDecode("a+b%2fc%7E%E9"), "a b/c~\xE9");
    EXPECT_EQ(Utils::String::UrlDecode("100%"), "100%");
    EXPECT_EQ(Utils::String::UrlDecode("%4"), "%4");
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(Utils::String::UrlDecode(Utils::String::UrlEncode(all)), all);
}

TEST(StringXor, CyclesTheShorterOperand) {
    EXPECT_EQ(Utils::String::Xor(std::string("\x01\x02\x03", 3), std::string("\x10", 1)),
              std::string("\x11\x12\x13", 3));
    EXPECT_EQ(Utils::String::HexXor("0F0F", "FF"), "F0F0");
    EXPECT_EQ(Utils::String::Xor("", "abc"), "");
}

TEST(StringWhiteSpace, TrimsAndCollapses) {
    struct Case {
        std::string text, trimmed, collapsed;
    };
    const Case cases[] = {
        {"  a  b \t", "a  b", "a b"},   {" \t\n ", "", ""}, {"", "", ""},
        {"a\t \tb", "a\t \tb", "a\tb"}, {"x", "x", "x"},
    };
    for (const Case& c : cases) {
        std::string trimmed = c.text;
        std::string collapsed = c.text;
        EXPECT_EQ(Utils::String::Trim(trimmed), c.trimmed);
        EXPECT_EQ(Utils::String::CollapseSpaces(collapsed), c.collapsed);
    }
}

TEST(StringNumbers, FormatsAndParses) {
    EXPECT_EQ(Utils::String::FormatCents(1250), "12.50");
    EXPECT_EQ(Utils::String::FormatCents(1200), "12");
    EXPECT_EQ(Utils::String::FormatCents(-5), "-0.05");
    EXPECT_EQ(Utils::String::FormatNumber(2.5, 3, true), "2.5");
    EXPECT_EQ(Utils::String::FormatNumber(2.5, 3, false), "2.500");
    EXPECT_EQ(Utils::String::FormatNumber(0.0, 2, true), "0");
    EXPECT_EQ(Utils::String::FormatNumber(100.0, 0, true), "100");
    EXPECT_EQ(Utils::String::FormatNumber(3.0, 2, true), "3");

    std::vector<int> ints;
    Utils::String::SplitNumbers(ints, "1,x,-3", ",");
    EXPECT_EQ(ints, (std::vector<int>{1, 0, -3}));
    EXPECT_EQ(Utils::String::JoinNumbers(ints, ";"), "1;0;-3");
    std::vector<double> doubles;
    Utils::String::SplitNumbers(doubles, "1.5|2", "|");
    EXPECT_EQ(doubles, (std::vector<double>{1.5, 2.0}));
    EXPECT_EQ(Utils::String::JoinNumbers(doubles, ","), "1.500000,2.000000");
}

}  // namespace
