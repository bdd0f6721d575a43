#include "document/xml_nesting_depth.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Nested(size_t levels) {
    std::string text;
    for (size_t i = 0; i < levels; ++i) text += "<a>";
    for (size_t i = 0; i < levels; ++i) text += "</a>";
    return text;
}

TEST(XmlNestingDepthTest, MeasuresElementsAsTheParserSeesThem) {
    const struct {
        const char* text;
        size_t depth;
    } cases[] = {
        {"", 0},
        {"no markup", 0},
        {"<a/>", 0},
        {"<a />", 0},
        {"<a></a>", 1},
        {"<a><b/><c></c></a>", 2},
        {"<a><b><c/></b></a>", 2},
        {"<?xml version=\"1.0\"?><a><b></b></a>", 2},
        {"<a x=\"/>\"><b></b></a>", 2},             // "/>" inside a value closes nothing
        {"<a x='</a></a>'><b><c></c></b></a>", 3},  // nor does "</a>" inside a value
        {"<a x = \"y\"><b></b></a>", 2},            // blanks around '='
        {"<a><!-- <b><c><d> --></a>", 1},           // comments hide markup
        {"<a><![CDATA[<b><c>]]></a>", 1},
        {"<!DOCTYPE x><a></a>", 1},
        {"<!x \"><a><b></b></a>", 2},  // "<!" ends at the first '>'
        {"<1><a></a>", 1},             // not an element start
        {"<_a><b></b></_a>", 2},
        {"<a>text with \"quotes\" <b>x</b></a>", 2},  // quotes in text mean nothing
        {"</a></a><a><b></b></a>", 2},                // stray end tags do not go below 0
        {"<a><b><c>", 3},                             // truncated input
        {"<a x=\"unterminated", 1},
        {"<a x=\v\"/>\"><b></b></a>", 2},                // any white space before the quote
        {"<a><?xml version=\"></a>\"?><b></b></a>", 2},  // declarations quote their values
        {"<a><?XML Encoding = '></a>'?><b></b></a>", 2},
        {"<a><?xml version='1'encoding='></a>'?><b></b></a>", 2},
        {"<a><?xml foo=\"></a><b></b></a>", 1},  // other words end at '>'
        {"<a><?other x=\"></a><b></b></a>", 1},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a x=\"caf\xE9\"><b/></a>", 1},
        {"<a x=\"caf\xE9\"><b></b></a>", 2},  // no declaration: read byte by byte
        {"<?xml version=\"1.0\"?><a x=\"caf\xC3\xA9\"><b></b></a>", 2},  // valid UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.depth, XmlNestingDepth::Measure(c.text)) << c.text;
    }
}

// In UTF-8 mode the parser reads a lead byte's whole character, which may
// take in a quote or a '<' that a byte scan would see.
TEST(XmlNestingDepthTest, SplitCharactersInUtf8TextCannotBeMeasured) {
    const std::string split = "<a x=\"caf\xE9\"><b></b></a>";
    for (const std::string& prefix :
         {std::string("<?xml version=\"1.0\"?>"), std::string("\xEF\xBB\xBF"),
          std::string("<?xml version='1.0' encoding='UTF-8'?>"),
          std::string("<?xml version='1.0' encoding='utf8'?>")}) {
        EXPECT_EQ(XmlNestingDepth::kUnmeasurable, XmlNestingDepth::Measure(prefix + split))
            << prefix;
    }
    EXPECT_EQ(XmlNestingDepth::kUnmeasurable,
              XmlNestingDepth::Measure("<?xml version=\"1.0\"?><a>x\xF0<</a>"));
}

TEST(XmlNestingDepthTest, DeepAndWideInputsAreMeasuredWithoutRecursion) {
    EXPECT_EQ(100000u, XmlNestingDepth::Measure(Nested(100000)));
    std::string wide = "<r>";
    for (int i = 0; i < 100000; ++i) wide += "<f a=\"1\"/><g></g>";
    wide += "</r>";
    EXPECT_EQ(2u, XmlNestingDepth::Measure(wide));
}

}  // namespace
