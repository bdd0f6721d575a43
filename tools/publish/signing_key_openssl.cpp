// Keys and signatures through OpenSSL's EVP interface (libcrypto).
#include <openssl/bio.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include "key_files.h"
#include "publish_error.h"
#include "signing_key.h"

namespace Publish {
namespace {

struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct KeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using UniqueBio = std::unique_ptr<BIO, BioDeleter>;
using UniqueKey = std::unique_ptr<EVP_PKEY, KeyDeleter>;

std::string TextOf(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

// Refuses to ask for a passphrase: an encrypted key fails to load instead of
// stopping the tool at a prompt.
int NoPassphrase(char*, int, int, void*) { return -1; }

bool IsP256(EVP_PKEY* key) {
    char group[64] = {};
    return EVP_PKEY_is_a(key, "EC") &&
           EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof(group),
                                          nullptr) == 1 &&
           std::string(group) == "prime256v1";
}

}  // namespace

KeyPairPem GenerateKeyPair() {
    UniqueKey key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    UniqueBio privateText(BIO_new(BIO_s_mem())), publicText(BIO_new(BIO_s_mem()));
    if (!key || !privateText || !publicText ||
        PEM_write_bio_PrivateKey(privateText.get(), key.get(), nullptr, nullptr, 0, nullptr,
                                 nullptr) != 1 ||
        PEM_write_bio_PUBKEY(publicText.get(), key.get()) != 1)
        throw PublishError("OpenSSL cannot make a P-256 key pair");
    return {TextOf(privateText.get()), TextOf(publicText.get())};
}

struct SigningKey::State {
    UniqueKey key;
};

SigningKey::SigningKey(const std::string& path) : m_state(new State) {
    const std::string text = ReadKeyFile(path);
    UniqueBio bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (bio) m_state->key.reset(PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassphrase, nullptr));
    if (!m_state->key) throw PublishError(path + " holds no unencrypted PEM private key");
    if (!IsP256(m_state->key.get())) throw PublishError(path + " is not a P-256 private key");
}

SigningKey::~SigningKey() = default;

RawSignature SigningKey::Sign(const std::string& bytes) const {
    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    std::size_t size = 0;
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, m_state->key.get()) !=
            1 ||
        EVP_DigestSign(context.get(), nullptr, &size,
                       reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) != 1)
        throw PublishError("OpenSSL cannot start an ECDSA signature");
    std::string der(size, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(&der[0]), &size,
                       reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) != 1)
        throw PublishError("OpenSSL failed to sign");
    der.resize(size);
    return RawSignatureFromDer(der);
}

std::string SigningKey::PublicKey() const {
    // The uncompressed point: 0x04, then X and Y.
    unsigned char point[65] = {};
    std::size_t size = 0;
    if (EVP_PKEY_get_octet_string_param(m_state->key.get(), OSSL_PKEY_PARAM_PUB_KEY, point,
                                        sizeof(point), &size) != 1 ||
        size != sizeof(point) || point[0] != 0x04)
        throw PublishError("OpenSSL cannot give the signing key's public point");
    return std::string(reinterpret_cast<const char*>(point) + 1, size - 1);
}

bool VerifySignature(const std::string& publicKeyPath, const std::string& bytes,
                     const RawSignature& signature) {
    const std::string text = ReadKeyFile(publicKeyPath);
    UniqueBio bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    UniqueKey key(bio ? PEM_read_bio_PUBKEY(bio.get(), nullptr, NoPassphrase, nullptr) : nullptr);
    if (!key || !IsP256(key.get()))
        throw PublishError(publicKeyPath + " holds no PEM P-256 public key");
    const std::string der = DerSignatureFromRaw(signature);
    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> context(EVP_MD_CTX_new());
    return context &&
           EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(der.data()),
                            der.size(), reinterpret_cast<const unsigned char*>(bytes.data()),
                            bytes.size()) == 1;
}

}  // namespace Publish
