#pragma once
// Text helpers. Texts are single-byte strings in the system code page; white
// space and case folding follow the C locale's character classification.
#include <string>
#include <vector>

namespace Utils {
namespace String {

using StringList = std::vector<std::string>;

// Clears the list and fills it with the pieces of text between delimiters;
// the rest after the last delimiter is always appended (possibly empty).
// An empty text or delimiter gives an empty list. limit 0 means no limit.
void Split(StringList& list, const std::string& text, const std::string& delimiter, int limit = 0);
// Clears out and joins the items with the delimiter. Returns out.
std::string& Join(std::string& out, const StringList& list, const std::string& delimiter);
// Replaces every occurrence in place (no rescanning). Returns text; an empty
// search text leaves it unchanged.
std::string& ReplaceAll(std::string& text, const std::string& search,
                        const std::string& replacement);
std::string& ToLower(std::string& text);
std::string& ToUpper(std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// Decodes pairs of hex digits (non-digits count as 0) into out and returns it.
// Throws a heap-allocated Utils::Exception* on odd length.
std::string& HexDecode(const std::string& hex, std::string& out);
std::string HexEncode(const std::string& bytes);
// 0..15 for a hex digit of either case; throws Utils::Exception* otherwise.
int hexdigit_2_val(char digit);
std::string UrlEncode(const std::string& text);
std::string UrlDecode(const std::string& text);
std::string Xor(const std::string& a, const std::string& b);
std::string HexXor(const std::string& hexA, const std::string& hexB);
std::string& Trim(std::string& text);
std::string& CollapseSpaces(std::string& text);
std::string FormatCents(int amount);
std::string ToString(int value);
std::string FormatNumber(double value, int decimals, bool trim);
void SplitNumbers(std::vector<int>& list, const std::string& text, const std::string& delimiter);
void SplitNumbers(std::vector<double>& list, const std::string& text, const std::string& delimiter);
std::string JoinNumbers(const std::vector<int>& list, const std::string& delimiter);
std::string JoinNumbers(const std::vector<double>& list, const std::string& delimiter);

}  // namespace String
}  // namespace Utils
