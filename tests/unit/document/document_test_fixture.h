#pragma once
// Loads update document texts written into a scratch folder.
#include <gtest/gtest.h>

#include <string>

#include "document/update_document.h"
#include "support/scratch.h"
#include "support/update_document_builder.h"

class DocumentTest : public ::testing::Test {
protected:
    std::string WriteDocument(const std::string& text) {
        const std::string path = m_folder / (TestSupport::UniqueName("update") + ".xml");
        EXPECT_TRUE(TestSupport::WriteFile(path, text));
        return path;
    }
    UpdateDocument::LoadStatus LoadText(const std::string& text) {
        return m_document.Load(WriteDocument(text));
    }
    // A document with the given markup inside the root element.
    static std::string Wrap(const std::string& inner,
                            const std::string& rootAttributes = "IsSucceed=\"true\"") {
        return "<?xml version=\"1.0\" ?><UpdateDocument " + rootAttributes + ">" + inner +
               "</UpdateDocument>";
    }

    TestSupport::ScratchFolder m_folder;
    UpdateDocument m_document;
};
