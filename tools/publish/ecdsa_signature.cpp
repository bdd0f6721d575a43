#include "ecdsa_signature.h"

#include <algorithm>

#include "der_elements.h"
#include "publish_error.h"

namespace Publish {
namespace {

constexpr std::size_t kHalf = 32;

[[noreturn]] void Refuse(const char* reason) {
    throw PublishError(std::string("the signature has ") + reason);
}

// Copies a DER INTEGER's content, a positive number, right-aligned into 32 bytes.
void PlaceInteger(const std::string& content, unsigned char* target) {
    if (content.empty()) Refuse("an empty INTEGER");
    const auto first = static_cast<unsigned char>(content[0]);
    if (first & 0x80) Refuse("a negative INTEGER");
    std::size_t skip = 0;
    if (first == 0 && content.size() > 1) {
        // A leading zero byte is allowed only to keep the next byte's high bit from reading as a
        // sign.
        if (!(static_cast<unsigned char>(content[1]) & 0x80)) Refuse("an INTEGER not in DER form");
        skip = 1;
    }
    const std::size_t length = content.size() - skip;
    if (length > kHalf) Refuse("an INTEGER over 32 bytes");
    std::fill(target, target + kHalf - length, 0);
    for (std::size_t i = 0; i < length; ++i)
        target[kHalf - length + i] = static_cast<unsigned char>(content[skip + i]);
    if (std::all_of(target, target + kHalf, [](unsigned char b) { return b == 0; }))
        Refuse("a zero r or s");
}

std::string IntegerContent(const unsigned char* value) {
    std::size_t first = 0;
    while (first + 1 < kHalf && value[first] == 0) ++first;
    std::string content;
    if (value[first] & 0x80) content.push_back('\0');
    content.append(reinterpret_cast<const char*>(value + first), kHalf - first);
    return content;
}

}  // namespace

RawSignature RawSignatureFromDer(const std::string& der) {
    DerReader outer(der, "the signature");
    DerReader pair(outer.Read(DerTag::kSequence), "the signature");
    outer.ExpectEnd();
    RawSignature raw{};
    PlaceInteger(pair.Read(DerTag::kInteger), raw.data());
    PlaceInteger(pair.Read(DerTag::kInteger), raw.data() + kHalf);
    pair.ExpectEnd();
    return raw;
}

std::string DerSignatureFromRaw(const RawSignature& raw) {
    return DerElement(DerTag::kSequence,
                      DerElement(DerTag::kInteger, IntegerContent(raw.data())) +
                          DerElement(DerTag::kInteger, IntegerContent(raw.data() + kHalf)));
}

}  // namespace Publish
