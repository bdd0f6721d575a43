#pragma once
// ECDSA P-256 keys for signing update documents, from the platform's
// cryptography library, chosen at build time: OpenSSL's libcrypto on the
// build machine (signing_key_openssl.cpp), CNG on Windows
// (signing_key_cng.cpp). Keys travel as PEM files: the private key as PKCS#8
// "PRIVATE KEY", the public key as SubjectPublicKeyInfo "PUBLIC KEY".
#include <memory>
#include <string>

#include "ecdsa_signature.h"

namespace Publish {

struct KeyPairPem {
    std::string privateKey;
    std::string publicKey;
};

// A new key pair as PEM texts. Throws PublishError when the library fails.
KeyPairPem GenerateKeyPair();

// True when signature is a valid ECDSA signature over the SHA-256 of bytes
// under the P-256 public key in the PEM file publicKeyPath ("PUBLIC KEY", as
// keygen writes it). Throws PublishError when that file holds no such key.
bool VerifySignature(const std::string& publicKeyPath, const std::string& bytes,
                     const RawSignature& signature);

class SigningKey {
public:
    // Reads a PEM PKCS#8 P-256 private key. Throws PublishError naming the
    // file when it cannot be read or holds anything else.
    explicit SigningKey(const std::string& path);
    ~SigningKey();
    SigningKey(const SigningKey&) = delete;
    SigningKey& operator=(const SigningKey&) = delete;

    // The ECDSA signature over the SHA-256 of bytes. Throws PublishError.
    RawSignature Sign(const std::string& bytes) const;
    // The public key, 64 bytes X || Y, as the stamping tool writes it into
    // an updater. Throws PublishError.
    std::string PublicKey() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace Publish
