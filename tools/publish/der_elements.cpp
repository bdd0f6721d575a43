#include "der_elements.h"

#include "publish_error.h"

namespace Publish {

DerReader::DerReader(std::string bytes, std::string what)
    : m_bytes(std::move(bytes)), m_what(std::move(what)) {}

unsigned char DerReader::PeekTag() const {
    if (AtEnd()) Refuse("ends early");
    return static_cast<unsigned char>(m_bytes[m_position]);
}

std::string DerReader::Read(unsigned char tag) {
    if (PeekTag() != tag) Refuse("has an unexpected element");
    std::size_t at = m_position + 1;
    if (at >= m_bytes.size()) Refuse("ends early");
    const auto first = static_cast<unsigned char>(m_bytes[at++]);
    std::size_t length = first;
    if (first & 0x80) {
        // Long form: 1 or 2 length bytes are all these structures can need.
        const std::size_t count = first & 0x7F;
        if (count == 0 || count > 2) Refuse("has an unsupported length");
        if (m_bytes.size() - at < count) Refuse("ends early");
        length = 0;
        for (std::size_t i = 0; i < count; ++i)
            length = (length << 8) | static_cast<unsigned char>(m_bytes[at++]);
        // DER takes the shortest form: no long form below 128, no leading zero byte.
        if (length < 0x80 || (count == 2 && length < 0x100)) Refuse("has a length not in DER form");
    }
    if (m_bytes.size() - at < length) Refuse("ends early");
    m_position = at + length;
    return m_bytes.substr(at, length);
}

void DerReader::ExpectEnd() const {
    if (!AtEnd()) Refuse("has bytes after its end");
}

void DerReader::Refuse(const std::string& reason) const {
    throw PublishError(m_what + " is not valid DER: it " + reason);
}

std::string DerElement(unsigned char tag, const std::string& content) {
    std::string element(1, static_cast<char>(tag));
    const std::size_t length = content.size();
    if (length < 0x80) {
        element.push_back(static_cast<char>(length));
    } else if (length < 0x100) {
        element.push_back(static_cast<char>(0x81));
        element.push_back(static_cast<char>(length));
    } else {
        element.push_back(static_cast<char>(0x82));
        element.push_back(static_cast<char>(length >> 8));
        element.push_back(static_cast<char>(length & 0xFF));
    }
    return element + content;
}

}  // namespace Publish
