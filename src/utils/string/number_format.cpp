// Conversions between numbers and text.
#include <cstdio>
#include <cstdlib>

#include "utils/string/string_utils.h"

namespace Utils {
namespace String {

namespace {

std::string Format(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), format, value);
    return buffer;
}

}  // namespace

std::string FormatCents(int amount) {
    if (amount % 100 != 0) return Format("%.2f", amount / 100.0);
    return ToString(amount / 100);
}

std::string ToString(int value) { return std::to_string(value); }

// Trimming only touches the decimals, so 100 with no decimals stays "100".
std::string FormatNumber(double value, int decimals, bool trim) {
    if (decimals < 0) decimals = 0;
    char format[32];
    std::snprintf(format, sizeof(format), "%%0.%df", decimals);
    std::string text = Format(format, value);
    if (!trim || text.find('.') == std::string::npos) return text;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (text == "-0" || text.empty()) text = "0";
    return text;
}

void SplitNumbers(std::vector<int>& list, const std::string& text, const std::string& delimiter) {
    StringList items;
    Split(items, text, delimiter);
    list.clear();
    for (const std::string& item : items) list.push_back(std::atoi(item.c_str()));
}

void SplitNumbers(std::vector<double>& list, const std::string& text,
                  const std::string& delimiter) {
    StringList items;
    Split(items, text, delimiter);
    list.clear();
    for (const std::string& item : items) list.push_back(std::atof(item.c_str()));
}

std::string JoinNumbers(const std::vector<int>& list, const std::string& delimiter) {
    StringList items;
    for (int value : list) items.push_back(ToString(value));
    std::string out;
    return Join(out, items, delimiter);
}

std::string JoinNumbers(const std::vector<double>& list, const std::string& delimiter) {
    StringList items;
    for (double value : list) items.push_back(Format("%f", value));
    std::string out;
    return Join(out, items, delimiter);
}

}  // namespace String
}  // namespace Utils
