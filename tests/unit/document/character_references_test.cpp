// Character references that the parser, reading byte by byte, would cut to their low byte.
#include <windows.h>

#include <gtest/gtest.h>

#include "document/character_references.h"

namespace {

std::string InCodePage(const wchar_t* text) {
    char narrow[32] = {};
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    return narrow;
}

TEST(CharacterReferences, WrittenOutFromU0080On) {
    const struct {
        const char* text;
        std::string utf8;
    } cases[] = {
        {"Acme&#8217;s", "Acme\xE2\x80\x99s"},
        {"&#x20AC;5 &#XE9;",
         "\xE2\x82\xAC"
         "5 \xC3\xA9"},
        {"&#x1F600;", "\xF0\x9F\x98\x80"},
        {"&#38;&#60;&#x41;&amp;#8217;", "&#38;&#60;&#x41;&amp;#8217;"},  // the parser reads these
        {"&#xD800; &#x110000; &#; &#x; &#8217 &#99999999999;",
         "&#xD800; &#x110000; &#; &#x; &#8217 &#99999999999;"},  // no character
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharacterReferences::Expand(c.text, true), c.utf8) << c.text;
    EXPECT_EQ(CharacterReferences::Expand("Acme&#8217;s &#x20AC;", false),
              InCodePage(L"Acme\u2019s \u20AC"));
    // A character that the code page lacks keeps its reference.
    EXPECT_EQ(CharacterReferences::Expand("&#x1F600;", false), "&#x1F600;");
}

}  // namespace
