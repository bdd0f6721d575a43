// An update that changes the product's layout: a file becomes a folder of the
// same name and a folder becomes a file, with the old entries marked
// read-only by the product.
#include <windows.h>

#include <gtest/gtest.h>

#include "install_fixture.h"

namespace {

using InstallE2E::InstallRunTest;
using InstallE2E::PlainFile;
using InstallE2E::ProductFile;

TEST_F(InstallRunTest, UpdateTurnsAFileIntoAFolderAndAFolderIntoAFile) {
    const ProductFile product = SampleProduct();
    const ProductFile dataFile = PlainFile("data", "data is a file in release 1");
    const ProductFile docsFile = PlainFile("docs\\a.txt", "docs is a folder in release 1");
    TestSupport::UpdateDocumentBuilder document = NewDocument();
    for (const ProductFile& file : {product, dataFile, docsFile}) Publish(document, file);
    ServeDocument(document);
    ASSERT_EQ(RunUpdater().exitCode, 0u);
    ASSERT_EQ(WaitForProductStarts(1).size(), 1u);
    for (const char* path : {"data", "docs\\a.txt"})
        ASSERT_TRUE(::SetFileAttributesA(DataPath(path).c_str(), FILE_ATTRIBUTE_READONLY));

    const ProductFile dataFolder = PlainFile("data\\x.txt", "data is a folder in release 2");
    const ProductFile docs = PlainFile("docs", "docs is a file in release 2");
    document = NewDocument();
    for (const ProductFile& file : {product, dataFolder, docs}) Publish(document, file);
    ServeDocument(document);
    // Before, every run ended at the first of them with its "File error".
    const InstallE2E::RunOutcome update = RunUpdater(InstalledCopy());
    EXPECT_EQ(update.exitCode, 0u);
    EXPECT_TRUE(update.boxes.empty()) << update.boxes.front().text;
    ExpectInstalled({product, dataFolder, docs});
    EXPECT_EQ(InstalledRecord("data"), "deleted");
    EXPECT_EQ(InstalledRecord("docs\\a.txt"), "deleted");
    EXPECT_EQ(WaitForProductStarts(2).size(), 2u);
}

}  // namespace
