#include "pem_armor.h"

#include "publish_error.h"

namespace Publish {
namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned long group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0);
        for (std::size_t k = 0; k < 4; ++k)
            text.push_back(k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=');
    }
    return text;
}

int SextetOf(char c) {
    for (int i = 0; i < 64; ++i)
        if (kAlphabet[i] == c) return i;
    return -1;
}

// Decodes base64 with any whitespace between; false for anything else.
bool FromBase64(const std::string& text, std::string& bytes) {
    std::string digits;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != ' ' && c != '\t') digits.push_back(c);
    if (digits.empty() || digits.size() % 4 != 0) return false;
    const std::size_t padding = digits.size() - digits.find_last_not_of('=') - 1;
    if (padding > 2) return false;
    bytes.clear();
    unsigned long group = 0;
    for (std::size_t i = 0; i < digits.size() - padding; ++i) {
        const int sextet = SextetOf(digits[i]);
        if (sextet < 0) return false;
        group = (group << 6) | static_cast<unsigned long>(sextet);
        if (i % 4 == 3) {
            for (int shift = 16; shift >= 0; shift -= 8)
                bytes.push_back(static_cast<char>((group >> shift) & 0xFF));
            group = 0;
        }
    }
    if (padding == 2) bytes.push_back(static_cast<char>((group >> 4) & 0xFF));
    if (padding == 1) {
        bytes.push_back(static_cast<char>((group >> 10) & 0xFF));
        bytes.push_back(static_cast<char>((group >> 2) & 0xFF));
    }
    return true;
}

}  // namespace

std::string PemEncode(const std::string& label, const std::string& der) {
    const std::string base64 = Base64(der);
    std::string text = "-----BEGIN " + label + "-----\n";
    for (std::size_t i = 0; i < base64.size(); i += 64) text += base64.substr(i, 64) + "\n";
    return text + "-----END " + label + "-----\n";
}

std::string PemDecode(const std::string& text, const std::string& label, const std::string& what) {
    const std::string begin = "-----BEGIN " + label + "-----";
    const std::string end = "-----END " + label + "-----";
    const std::size_t start = text.find(begin);
    const std::size_t stop = start == std::string::npos ? start : text.find(end, start);
    if (stop == std::string::npos) throw PublishError(what + " holds no PEM block '" + label + "'");
    std::string der;
    if (!FromBase64(text.substr(start + begin.size(), stop - start - begin.size()), der))
        throw PublishError(what + ": the PEM block '" + label + "' is not valid base64");
    return der;
}

}  // namespace Publish
