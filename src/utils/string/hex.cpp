// Hexadecimal and URL encodings and byte-wise XOR.
#include <array>

#include "utils/exception.h"
#include "utils/string/string_utils.h"

namespace Utils {
namespace String {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Value of every byte as a hex digit; non-digits map to 0.
const std::array<unsigned char, 256>& HexTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<unsigned char>(i);
        for (int i = 0; i < 6; ++i) {
            t['A' + i] = static_cast<unsigned char>(10 + i);
            t['a' + i] = static_cast<unsigned char>(10 + i);
        }
        return t;
    }();
    return table;
}

Utils::Exception* HexFailure() {
    return new Utils::Exception("Utils::String::HexDecode", "hexdigit_2_val", 0);
}

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void AppendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0x0F];
}

}  // namespace

std::string& HexDecode(const std::string& hex, std::string& out) {
    out.clear();
    if (hex.size() % 2 != 0) throw HexFailure();
    const auto& table = HexTable();
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = table[static_cast<unsigned char>(hex[i])];
        const int low = table[static_cast<unsigned char>(hex[i + 1])];
        out += static_cast<char>(high * 16 + low);
    }
    return out;
}

std::string HexEncode(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) AppendHexByte(out, static_cast<unsigned char>(c));
    return out;
}

int hexdigit_2_val(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
    throw HexFailure();
}

std::string UrlEncode(const std::string& text) {
    std::string out;
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == ' ') {
            out += '+';
        } else if (IsAsciiAlnum(byte)) {
            out += c;
        } else {
            out += '%';
            AppendHexByte(out, byte);
        }
    }
    return out;
}

// A "%" without two following characters is kept as it is.
std::string UrlDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size()) {
            out +=
                static_cast<char>(hexdigit_2_val(text[i + 1]) * 16 + hexdigit_2_val(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// With an empty operand there is no key to cycle through: the result is empty.
std::string Xor(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return std::string();
    const std::size_t length = a.size() > b.size() ? a.size() : b.size();
    std::string out(length, '\0');
    for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<char>(a[i % a.size()] ^ b[i % b.size()]);
    return out;
}

std::string HexXor(const std::string& hexA, const std::string& hexB) {
    std::string a;
    std::string b;
    HexDecode(hexA, a);
    HexDecode(hexB, b);
    return HexEncode(Xor(a, b));
}

}  // namespace String
}  // namespace Utils
