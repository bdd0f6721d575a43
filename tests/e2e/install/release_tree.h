#pragma once
// A release as the release server (deploy/nginx) serves it from a folder:
//
//   <root>\documents\<download id>   the update document, no extension
//   <root>\files\...                 every file under its server path
//
// The publishing tool writes the same layout; the tests build it from
// ProductFile payloads and the document builder.
#include <string>
#include <utility>

#include "payloads.h"
#include "support/update_document_builder.h"

namespace InstallE2E {

class ReleaseTree {
public:
    explicit ReleaseTree(std::string root) : m_root(std::move(root)) {}

    // Stores the bytes the server sends for the file under its server path
    // and lists the file in the document. False when it cannot be written.
    bool Publish(TestSupport::UpdateDocumentBuilder& document, const ProductFile& file) const;
    // Stores the document as the one of the download id.
    bool WriteDocument(const std::string& downloadId,
                       const TestSupport::UpdateDocumentBuilder& document) const;

private:
    std::string m_root;  // Windows path
};

}  // namespace InstallE2E
