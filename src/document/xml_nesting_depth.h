#pragma once
// The XML parser descends recursively, about 400 bytes of stack per level of
// nesting; some thousands of levels overflow a thread's stack. This scan
// measures the nesting of a text the way the parser tokenizes it (element
// tags with quoted values after '=', comments, CDATA sections, and "<!" /
// "<?" markup ending at the first '>') so that deep input can be refused
// before it is parsed. The scan reads bytes; it does not model the parser's
// multi-byte character steps in UTF-8 mode, so a document crafted around
// them can measure shallower than it parses. Linear time, no recursion;
// safe on any thread.
#include <cstddef>
#include <string>

namespace XmlNestingDepth {

// Deepest level of open elements found in the text (0 for no elements).
size_t Measure(const std::string& text);

}  // namespace XmlNestingDepth
