#include "document/document_values.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(DocumentValuesTest, ParseDecimalReadsLikeTheRuntimeWithoutOverflow) {
    const int64_t max = std::numeric_limits<int64_t>::max();
    const int64_t min = std::numeric_limits<int64_t>::min();
    const struct {
        const char* text;
        int64_t expected;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"12abc", 12},
        {"  42", 42},
        {"\t\n 7", 7},
        {"+5", 5},
        {"-5", -5},
        {"- 5", 0},
        {"+-5", 0},
        {"007", 7},
        {"3 4", 3},
        {"1e3", 1},
        {"2147483648", 2147483648LL},  // beyond int: files over 2 GB keep their size
        {"5000000000", 5000000000LL},
        {"9223372036854775807", max},
        {"9223372036854775808", max},
        {"99999999999999999999999", max},
        {"-9223372036854775808", min},
        {"-99999999999999999999999", min},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, DocumentValues::ParseDecimal(c.text)) << '"' << c.text << '"';
    }
}

TEST(DocumentValuesTest, ProductExePathSplitsAtTheLastBackslash) {
    const struct {
        const char* path;
        const char* folder;
        const char* name;
    } cases[] = {
        {"bin\\app.exe", "bin", "app.exe"}, {"app.exe", "", "app.exe"},   {"", "", ""},
        {"a\\b\\c.exe", "a\\b", "c.exe"},   {"\\app.exe", "", "app.exe"}, {"bin\\", "bin", ""},
        {"bin/app.exe", "", "bin/app.exe"},  // only backslashes separate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.folder, DocumentValues::FolderOfPath(c.path)) << c.path;
        EXPECT_EQ(c.name, DocumentValues::NameOfPath(c.path)) << c.path;
    }
}

}  // namespace
