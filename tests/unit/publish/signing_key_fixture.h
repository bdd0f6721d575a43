#pragma once
// Keys made by OpenSSL's command line (openssl genpkey, openssl pkey
// -pubout), for tests only: they sign nothing outside the tests.
namespace PublishTest {

// A P-256 key in PKCS#8, and its public key as OpenSSL writes it.
extern const char kOpenSslPrivateKey[];
extern const char kOpenSslPublicKey[];
// A P-384 key, and the P-256 key above written without its public point.
extern const char kOpenSslP384Key[];
extern const char kNoPublicPointKey[];

}  // namespace PublishTest
