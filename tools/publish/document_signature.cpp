#include "document_signature.h"

#include "content_token.h"

namespace Publish {

std::string SignatureComment(const RawSignature& signature) {
    return "<!--nimbra-signature ecdsa-p256-sha256 " +
           LowerHex(signature.data(), signature.size()) + "-->\r\n";
}

std::string SignedDocument(const std::string& xml, const SigningKey& key) {
    return xml + SignatureComment(key.Sign(xml));
}

}  // namespace Publish
