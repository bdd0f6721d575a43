#pragma once
// The two forms of an ECDSA P-256 signature. Libraries differ: OpenSSL signs
// and verifies the DER form SEQUENCE { INTEGER r, INTEGER s }, CNG the raw
// form r || s (32 bytes each, big-endian), which is what update documents
// carry. These two functions are the only place that converts.
#include <array>
#include <string>

namespace Publish {

using RawSignature = std::array<unsigned char, 64>;

// The raw form of a DER signature. Throws PublishError for malformed DER
// (wrong tags, bad lengths, trailing bytes, a negative or non-minimal
// INTEGER) and for an r or s that is zero or does not fit 32 bytes.
RawSignature RawSignatureFromDer(const std::string& der);

// The DER form of a raw signature: leading zero bytes dropped, a zero byte
// put in front of a value whose high bit is set.
std::string DerSignatureFromRaw(const RawSignature& raw);

}  // namespace Publish
