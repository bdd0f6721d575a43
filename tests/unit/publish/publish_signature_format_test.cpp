// The forms signatures and keys take: DER and raw ECDSA signatures, PEM
// armour, and P-256 keys in PKCS#8 and SubjectPublicKeyInfo as OpenSSL
// writes them.
#include <gtest/gtest.h>

#include "ecdsa_signature.h"
#include "p256_key_der.h"
#include "pem_armor.h"
#include "publish_error.h"
#include "signing_key_fixture.h"

namespace {

using Publish::DerSignatureFromRaw;
using Publish::PublishError;
using Publish::RawSignature;
using Publish::RawSignatureFromDer;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

// r and s: 32 bytes each, the first given, the rest counting up from fill.
RawSignature Raw(std::initializer_list<int> rHead, int rFill, std::initializer_list<int> sHead,
                 int sFill) {
    RawSignature raw{};
    std::size_t i = 0;
    for (int value : rHead) raw[i++] = static_cast<unsigned char>(value);
    for (int v = rFill; i < 32; ++i, ++v) raw[i] = static_cast<unsigned char>(v);
    for (int value : sHead) raw[i++] = static_cast<unsigned char>(value);
    for (int v = sFill; i < 64; ++i, ++v) raw[i] = static_cast<unsigned char>(v);
    return raw;
}

std::string Half(const RawSignature& raw, int which) {
    return std::string(reinterpret_cast<const char*>(raw.data()) + 32 * which, 32);
}

TEST(EcdsaSignature, DerFormKeepsIntegersMinimalAndPositive) {
    // Both high bits clear: two 32-byte INTEGERs.
    RawSignature raw = Raw({}, 0x11, {}, 0x21);
    EXPECT_EQ(DerSignatureFromRaw(raw),
              Bytes({0x30, 0x44, 0x02, 0x20}) + Half(raw, 0) + Bytes({0x02, 0x20}) + Half(raw, 1));
    // High bit set: a zero byte in front, so the INTEGER stays positive (33 bytes).
    raw = Raw({0x80}, 0x01, {0xFF}, 0x01);
    EXPECT_EQ(DerSignatureFromRaw(raw), Bytes({0x30, 0x46, 0x02, 0x21, 0x00}) + Half(raw, 0) +
                                            Bytes({0x02, 0x21, 0x00}) + Half(raw, 1));
    // Leading zero bytes dropped; s = 1 is one byte; r's first kept byte has
    // its high bit set and needs the zero back.
    raw = Raw({0x00, 0x00, 0x90}, 0x01, {0}, 0);
    for (std::size_t i = 32; i < 63; ++i) raw[i] = 0;
    raw[63] = 0x01;
    EXPECT_EQ(DerSignatureFromRaw(raw), Bytes({0x30, 0x24, 0x02, 0x1F, 0x00}) +
                                            Half(raw, 0).substr(2) + Bytes({0x02, 0x01, 0x01}));
}

TEST(EcdsaSignature, RawFormRoundTripsAndLeftPadsShortValues) {
    const RawSignature cases[] = {
        Raw({}, 0x11, {}, 0x21),
        Raw({0x80}, 0x01, {0xFF}, 0x01),
        Raw({0x00, 0x00, 0x00, 0x05}, 0x40, {0x00, 0x7F}, 0x02),
    };
    for (const RawSignature& raw : cases)
        EXPECT_EQ(RawSignatureFromDer(DerSignatureFromRaw(raw)), raw);

    // A short INTEGER lands right-aligned, the rest zero.
    const RawSignature small =
        RawSignatureFromDer(Bytes({0x30, 0x07, 0x02, 0x01, 0x05, 0x02, 0x02, 0x00, 0x80}));
    for (std::size_t i = 0; i < 64; ++i) {
        const int expected = i == 31 ? 0x05 : i == 63 ? 0x80 : 0;
        EXPECT_EQ(small[i], expected) << i;
    }
}

TEST(EcdsaSignature, RefusesMalformedDer) {
    const std::string r = Bytes({0x02, 0x01, 0x05});
    const std::string big = std::string(1, 0x7F) + std::string(32, 0x01);  // 33 significant bytes
    const struct {
        const char* name;
        std::string der;
    } cases[] = {
        {"empty", ""},
        {"not a SEQUENCE", Bytes({0x31, 0x06}) + r + r},
        {"length past the end", Bytes({0x30, 0x07}) + r + r},
        {"byte after the SEQUENCE", Bytes({0x30, 0x06}) + r + r + Bytes({0x00})},
        {"third INTEGER", Bytes({0x30, 0x09}) + r + r + r},
        {"one INTEGER", Bytes({0x30, 0x03}) + r},
        {"negative INTEGER", Bytes({0x30, 0x06, 0x02, 0x01, 0x80}) + r},
        {"zero byte that is not needed", Bytes({0x30, 0x07, 0x02, 0x02, 0x00, 0x05}) + r},
        {"empty INTEGER", Bytes({0x30, 0x05, 0x02, 0x00}) + r},
        {"INTEGER over 32 bytes", Bytes({0x30, 0x26, 0x02, 0x21}) + big + r},
        {"zero r", Bytes({0x30, 0x06, 0x02, 0x01, 0x00}) + r},
        {"long length form for a short length", Bytes({0x30, 0x81, 0x06}) + r + r},
        {"indefinite length", Bytes({0x30, 0x80}) + r + r + Bytes({0x00, 0x00})},
        {"INTEGER tag mistaken", Bytes({0x30, 0x06, 0x04, 0x01, 0x05}) + r},
    };
    for (const auto& c : cases) EXPECT_THROW(RawSignatureFromDer(c.der), PublishError) << c.name;
}

TEST(PemArmor, RoundTripsEveryPaddingAndRefusesBadText) {
    for (const std::string& bytes :
         {Bytes({0xFF}), Bytes({0x00, 0xFE}), Bytes({1, 2, 3}), std::string(100, '\xA5')}) {
        const std::string pem = Publish::PemEncode("TEST", bytes);
        EXPECT_EQ(Publish::PemDecode("junk before\n" + pem, "TEST", "t"), bytes) << pem;
    }
    EXPECT_EQ(Publish::PemEncode("X", std::string(50, 'a')),
              "-----BEGIN X-----\n"
              "YWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFhYWFh\n"
              "YWE=\n"
              "-----END X-----\n");
    for (const char* bad :
         {"-----BEGIN T-----\nYW*h\n-----END T-----\n", "-----BEGIN T-----\nYWF\n-----END T-----\n",
          "-----BEGIN T-----\nY===\n-----END T-----\n", "-----BEGIN T-----\nYWFh\n",
          "-----BEGIN OTHER-----\nYWFh\n-----END OTHER-----\n"})
        EXPECT_THROW(Publish::PemDecode(bad, "T", "t"), PublishError) << bad;
}

TEST(P256KeyDer, ReadsAndWritesKeysExactlyAsOpenSslDoes) {
    const Publish::P256Key key = Publish::ParsePrivateKeyInfo(
        Publish::PemDecode(PublishTest::kOpenSslPrivateKey, "PRIVATE KEY", "k"), "k");
    EXPECT_EQ(key.d.size(), 32u);
    EXPECT_EQ(Publish::PemEncode("PRIVATE KEY", Publish::PrivateKeyInfoDer(key)),
              PublishTest::kOpenSslPrivateKey);
    EXPECT_EQ(Publish::PemEncode("PUBLIC KEY", Publish::PublicKeyInfoDer(key)),
              PublishTest::kOpenSslPublicKey);
}

TEST(P256KeyDer, RefusesOtherKeysAndBrokenStructures) {
    const std::string good =
        Publish::PemDecode(PublishTest::kOpenSslPrivateKey, "PRIVATE KEY", "k");
    const struct {
        const char* name;
        std::string der;
        const char* message;
    } cases[] = {
        {"P-384", Publish::PemDecode(PublishTest::kOpenSslP384Key, "PRIVATE KEY", "k"),
         "curve is not P-256"},
        {"no public point", Publish::PemDecode(PublishTest::kNoPublicPointKey, "PRIVATE KEY", "k"),
         "does not carry its public point"},
        {"cut short", good.substr(0, good.size() - 1), "not valid DER"},
        {"byte added", good + Bytes({0x00}), "not valid DER"},
    };
    for (const auto& c : cases) {
        try {
            Publish::ParsePrivateKeyInfo(c.der, "k.key");
            ADD_FAILURE() << c.name << " was taken";
        } catch (const PublishError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
    }
}

}  // namespace
