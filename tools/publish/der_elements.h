#pragma once
// The few DER (ASN.1 distinguished encoding) elements that keys and ECDSA
// signatures are made of: reading one element at a time from a byte string,
// strictly (definite, shortest lengths only), and writing one element.
#include <cstddef>
#include <string>

namespace Publish {

namespace DerTag {
constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kBitString = 0x03;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kContext0 = 0xA0;  // [0] constructed
constexpr unsigned char kContext1 = 0xA1;  // [1] constructed
}  // namespace DerTag

// Walks the elements that follow one another in a byte string (the whole
// input, or the content of one constructed element).
class DerReader {
public:
    // what names the structure in refusals ("the signature", "the key").
    DerReader(std::string bytes, std::string what);

    bool AtEnd() const { return m_position == m_bytes.size(); }
    // The tag of the next element; throws PublishError at the end.
    unsigned char PeekTag() const;
    // The content of the next element, which must carry tag. Throws
    // PublishError for another tag, a length past the end, an indefinite or
    // longer-than-needed length.
    std::string Read(unsigned char tag);
    // Throws PublishError unless every byte was read.
    void ExpectEnd() const;

private:
    [[noreturn]] void Refuse(const std::string& reason) const;

    std::string m_bytes;
    std::string m_what;
    std::size_t m_position = 0;
};

// tag, the DER length of content, content.
std::string DerElement(unsigned char tag, const std::string& content);

}  // namespace Publish
