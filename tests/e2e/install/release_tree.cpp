#include "release_tree.h"

#include <cstdint>

#include "support/scratch.h"

namespace InstallE2E {

bool ReleaseTree::Publish(TestSupport::UpdateDocumentBuilder& document,
                          const ProductFile& file) const {
    std::string stored = m_root + file.ServerPath();
    for (char& c : stored)
        if (c == '/') c = '\\';
    document.AddFile({file.ServerPath(), file.clientPath, file.CheckSum(),
                      static_cast<int64_t>(file.Served().size()), file.compressed});
    return TestSupport::WriteFile(stored, file.Served());
}

bool ReleaseTree::WriteDocument(const std::string& downloadId,
                                const TestSupport::UpdateDocumentBuilder& document) const {
    return document.WriteTo(m_root + "\\documents\\" + downloadId);
}

}  // namespace InstallE2E
