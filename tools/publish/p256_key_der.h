#pragma once
// P-256 keys in the DER structures that PEM key files hold: PKCS#8
// PrivateKeyInfo ("PRIVATE KEY") around an ECPrivateKey, and
// SubjectPublicKeyInfo ("PUBLIC KEY"). Written in the shape OpenSSL writes
// (the curve named once, in the algorithm; the public point uncompressed).
// Used where the crypto library takes raw key numbers (CNG).
#include <string>

namespace Publish {

struct P256Key {
    std::string d;  // the private number, 32 bytes big-endian
    std::string x;  // the public point, 32 bytes each
    std::string y;
};

std::string PrivateKeyInfoDer(const P256Key& key);
std::string PublicKeyInfoDer(const P256Key& key);

// Reads a PrivateKeyInfo of an EC key on P-256 that carries its public
// point. Throws PublishError for anything else (another curve or algorithm,
// no public point, malformed DER), naming what.
P256Key ParsePrivateKeyInfo(const std::string& der, const std::string& what);

}  // namespace Publish
