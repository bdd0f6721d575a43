#pragma once
// PEM armour: DER bytes as base64 between "-----BEGIN <label>-----" and
// "-----END <label>-----" lines, 64 characters a line, LF line ends (the
// layout OpenSSL writes).
#include <string>

namespace Publish {

std::string PemEncode(const std::string& label, const std::string& der);

// The DER bytes of the first block with this label in text. Throws
// PublishError naming `what` when there is no such block or its base64 is bad.
std::string PemDecode(const std::string& text, const std::string& label, const std::string& what);

}  // namespace Publish
