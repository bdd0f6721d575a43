#pragma once
// Reading a P-256 public key from the PEM file that OpenSSL writes
// (`openssl ec -pubout`): "-----BEGIN PUBLIC KEY-----", the base64 of a
// SubjectPublicKeyInfo, "-----END PUBLIC KEY-----". No cryptography is
// needed: a P-256 key's SubjectPublicKeyInfo is a fixed 26-byte header, the
// byte 04 (an uncompressed point) and the 64 bytes X || Y.
#include <string>

namespace Stamp {

// The 64 bytes X || Y of the key. Throws StampError for anything but one
// PEM "PUBLIC KEY" block holding exactly an uncompressed P-256 key.
std::string ParsePublicKeyPem(const std::string& pem);

// Standard base64 (with "=" padding); white space between the characters is
// skipped. Throws StampError for any other character or a bad length.
std::string DecodeBase64(const std::string& text);

}  // namespace Stamp
