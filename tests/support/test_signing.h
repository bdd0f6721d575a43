#pragma once
// Signing update documents in tests the way the release tool does, with the
// system's cryptography (CNG): a fresh P-256 key pair per object.
//
//   TestSupport::SigningKey key;
//   key.WritePem(folder / "key.pem");                 // for stamp --public-key
//   std::string signedText = key.SignDocument(text);  // text + signature comment
#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <string>

namespace TestSupport {

class SigningKey {
public:
    // Generates the pair; IsValid() tells whether that worked.
    SigningKey();
    ~SigningKey();
    SigningKey(const SigningKey&) = delete;
    SigningKey& operator=(const SigningKey&) = delete;

    bool IsValid() const { return m_key != nullptr && m_publicKey.size() == 64; }
    // X || Y, 64 bytes.
    const std::string& PublicKey() const { return m_publicKey; }
    // r || s (64 bytes) over the SHA-256 digest of bytes; "" on failure.
    std::string Sign(const std::string& bytes) const;
    // text, the signature comment over text, and a line end.
    std::string SignDocument(const std::string& text) const;
    // The public key as OpenSSL writes it: PEM "PUBLIC KEY" (SubjectPublicKeyInfo).
    bool WritePem(const std::string& path) const;

private:
    BCRYPT_ALG_HANDLE m_algorithm = nullptr;
    BCRYPT_KEY_HANDLE m_key = nullptr;
    std::string m_publicKey;
};

// "<!--nimbra-signature ecdsa-p256-sha256 " + hex of signature + "-->".
std::string SignatureComment(const std::string& signature);
// SHA-256 of bytes as 64 upper-case hex digits (the updater accepts either case).
std::string Sha256Hex(const std::string& bytes);

}  // namespace TestSupport
