#include "public_key_pem.h"

#include "stamp_image.h"

namespace Stamp {
namespace {

constexpr char kBegin[] = "-----BEGIN PUBLIC KEY-----";
constexpr char kEnd[] = "-----END PUBLIC KEY-----";

// SEQUENCE { SEQUENCE { OID ecPublicKey, OID prime256v1 }, BIT STRING (66 bytes,
// no unused bits) }, then the point: 04 for uncompressed.
constexpr unsigned char kP256Header[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48,
                                         0xce, 0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48,
                                         0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};
constexpr std::size_t kPointBytes = 64;

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string DecodeBase64(const std::string& text) {
    std::string bytes;
    unsigned bits = 0;
    int bitCount = 0;
    std::size_t digits = 0;
    std::size_t padding = 0;
    for (char c : text) {
        if (IsSpace(c)) continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding > 0) throw StampError("the key file holds no valid base64");
        bits = (bits << 6) | static_cast<unsigned>(value);
        bitCount += 6;
        ++digits;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<char>((bits >> bitCount) & 0xFF));
        }
    }
    if ((digits + padding) % 4 != 0 || padding > 2 || digits % 4 == 1)
        throw StampError("the key file holds no valid base64");
    return bytes;
}

std::string ParsePublicKeyPem(const std::string& pem) {
    const std::size_t begin = pem.find(kBegin);
    const std::size_t end = pem.find(kEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        throw StampError("the key file is not a PEM \"PUBLIC KEY\" (openssl ec -pubout)");
    if (pem.find(kBegin, begin + 1) != std::string::npos)
        throw StampError("the key file holds more than one key");
    const std::size_t body = begin + sizeof(kBegin) - 1;
    const std::string der = DecodeBase64(pem.substr(body, end - body));
    const std::string header(reinterpret_cast<const char*>(kP256Header), sizeof(kP256Header));
    if (der.size() != header.size() + kPointBytes || der.compare(0, header.size(), header) != 0)
        throw StampError("the key is not an uncompressed P-256 (prime256v1) public key");
    return der.substr(header.size());
}

}  // namespace Stamp
