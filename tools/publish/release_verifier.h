#pragma once
// Checks a release tree as installed updaters will meet it, before it is
// served: each document's signature (given the publisher's public key) and
// shape, and each file it lists: present in the tree, of the listed size,
// packed where it says so, and of the listed Sha256 once unpacked.
#include <ostream>
#include <string>

namespace Publish {

struct VerifyOptions {
    std::string tree;       // holds documents/ and the served files
    std::string publicKey;  // PEM public key; "" checks no signature
};

// Writes one line per problem and one summary line per document to out, and
// returns the number of problems. Throws PublishError when the tree has no
// documents, or the public key cannot be read.
int VerifyRelease(const VerifyOptions& options, std::ostream& out);

}  // namespace Publish
