#pragma once
// A signed update document: the document's text, then one comment as the
// last thing in the file,
//   <!--nimbra-signature ecdsa-p256-sha256 <r||s as 128 hex digits>-->CR LF
// The signature covers every byte before that comment's "<!--", so the line
// end before it is signed and nothing can be added to the text unnoticed.
#include <string>

#include "ecdsa_signature.h"
#include "signing_key.h"

namespace Publish {

// The comment line that carries signature.
std::string SignatureComment(const RawSignature& signature);

// xml followed by the comment with key's signature over xml.
std::string SignedDocument(const std::string& xml, const SigningKey& key);

}  // namespace Publish
