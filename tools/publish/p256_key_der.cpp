#include "p256_key_der.h"

#include "der_elements.h"
#include "publish_error.h"

namespace Publish {
namespace {

constexpr std::size_t kNumberSize = 32;
// 1.2.840.10045.2.1 (id-ecPublicKey) and 1.2.840.10045.3.1.7 (prime256v1).
const std::string kEcPublicKeyOid("\x2A\x86\x48\xCE\x3D\x02\x01", 7);
const std::string kPrime256v1Oid("\x2A\x86\x48\xCE\x3D\x03\x01\x07", 8);

std::string AlgorithmDer() {
    return DerElement(DerTag::kSequence, DerElement(DerTag::kObjectId, kEcPublicKeyOid) +
                                             DerElement(DerTag::kObjectId, kPrime256v1Oid));
}

// The public point as a BIT STRING's content: no unused bits, 04 (uncompressed), x, y.
std::string PointBits(const P256Key& key) { return std::string("\x00\x04", 2) + key.x + key.y; }

void Expect(bool condition, const std::string& what, const char* problem) {
    if (!condition) throw PublishError(what + " is not a P-256 private key: " + problem);
}

void ReadPublicPoint(const std::string& bits, P256Key& key, const std::string& what) {
    Expect(bits.size() == 2 + 2 * kNumberSize && bits[0] == '\0' && bits[1] == '\x04', what,
           "its public point is not an uncompressed P-256 point");
    key.x = bits.substr(2, kNumberSize);
    key.y = bits.substr(2 + kNumberSize, kNumberSize);
}

// RFC 5915 ECPrivateKey: version 1, the private number, optional curve, public point.
P256Key ReadEcPrivateKey(const std::string& der, const std::string& what) {
    DerReader outer(der, what);
    DerReader fields(outer.Read(DerTag::kSequence), what);
    outer.ExpectEnd();
    Expect(fields.Read(DerTag::kInteger) == std::string(1, '\x01'), what,
           "its ECPrivateKey version is not 1");
    P256Key key;
    key.d = fields.Read(DerTag::kOctetString);
    Expect(key.d.size() == kNumberSize, what, "its private number is not 32 bytes");
    if (!fields.AtEnd() && fields.PeekTag() == DerTag::kContext0) {
        DerReader curve(fields.Read(DerTag::kContext0), what);
        Expect(curve.Read(DerTag::kObjectId) == kPrime256v1Oid, what, "its curve is not P-256");
    }
    Expect(!fields.AtEnd() && fields.PeekTag() == DerTag::kContext1, what,
           "it does not carry its public point");
    DerReader point(fields.Read(DerTag::kContext1), what);
    ReadPublicPoint(point.Read(DerTag::kBitString), key, what);
    point.ExpectEnd();
    fields.ExpectEnd();
    return key;
}

}  // namespace

std::string PrivateKeyInfoDer(const P256Key& key) {
    const std::string ecPrivateKey = DerElement(
        DerTag::kSequence,
        DerElement(DerTag::kInteger, std::string(1, '\x01')) +
            DerElement(DerTag::kOctetString, key.d) +
            DerElement(DerTag::kContext1, DerElement(DerTag::kBitString, PointBits(key))));
    return DerElement(DerTag::kSequence, DerElement(DerTag::kInteger, std::string(1, '\0')) +
                                             AlgorithmDer() +
                                             DerElement(DerTag::kOctetString, ecPrivateKey));
}

std::string PublicKeyInfoDer(const P256Key& key) {
    return DerElement(DerTag::kSequence,
                      AlgorithmDer() + DerElement(DerTag::kBitString, PointBits(key)));
}

P256Key ParsePrivateKeyInfo(const std::string& der, const std::string& what) {
    DerReader outer(der, what);
    DerReader info(outer.Read(DerTag::kSequence), what);
    outer.ExpectEnd();
    Expect(info.Read(DerTag::kInteger) == std::string(1, '\0'), what,
           "its PKCS#8 version is not 0");
    DerReader algorithm(info.Read(DerTag::kSequence), what);
    Expect(algorithm.Read(DerTag::kObjectId) == kEcPublicKeyOid, what, "it is not an EC key");
    Expect(algorithm.Read(DerTag::kObjectId) == kPrime256v1Oid, what, "its curve is not P-256");
    algorithm.ExpectEnd();
    // Optional attributes may follow the key; they do not matter for signing.
    return ReadEcPrivateKey(info.Read(DerTag::kOctetString), what);
}

}  // namespace Publish
