#pragma once
// The XML parser descends recursively, about 400 bytes of stack per level of
// nesting; some thousands of levels overflow a thread's stack. This scan
// measures the nesting of a text the way the parser tokenizes it (element
// tags with quoted values after '=', declarations with their quoted version,
// encoding and standalone values, comments, CDATA sections, other "<!" / "<?"
// markup ending at the first '>') so that deep input can be refused before
// it is parsed. Linear time, no recursion; safe on any thread.
#include <cstddef>
#include <string>

namespace XmlNestingDepth {

// Returned for a text that the parser may read in UTF-8 mode and in which a
// multi-byte lead byte would swallow a '<' or a quote: its structure is not
// what a byte scan sees, so its depth is unknown.
constexpr size_t kUnmeasurable = static_cast<size_t>(-1);

// Deepest level of open elements found in the text (0 for no elements), or
// kUnmeasurable.
size_t Measure(const std::string& text);

}  // namespace XmlNestingDepth
