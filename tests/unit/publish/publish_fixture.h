#pragma once
// A product folder, a decompressor folder and a settings file in a scratch
// folder, and what it takes to publish them and read the result back.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "document/update_document.h"
#include "support/scratch.h"

namespace PublishTest {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class PublishFixture : public ::testing::Test {
public:  // the table-driven tests arrange their cases through these
    // Writes the built decompressors into tools\ and a settings file naming
    // bin\App.exe and the download ids "stable" and "beta-1".
    void SetUp() override;

    // Writes a product file (folders created as needed).
    void AddProductFile(const std::string& clientPath, const std::string& content);
    // Replaces the settings file: the standard lines plus extra.
    void WriteSettings(const std::string& extra = "");

    // Runs the tool in process with the given arguments.
    static RunResult Run(const std::vector<std::string>& args);
    // Runs the tool in process: "release --settings .. --files .. --out <out>" + extra.
    RunResult Release(const std::string& out, const std::vector<std::string>& extra = {});
    // Loads <out>\documents\<id> with the updater's document class.
    bool LoadDocument(const std::string& out, const std::string& id, UpdateDocument& document);
    // The document's entries by client path.
    std::map<std::string, UpdateFileEntry> EntriesOf(const UpdateDocument& document);
    // The served file an entry's ServerRelativePath names in the tree at out.
    std::string ServedPath(const std::string& out, const std::string& serverPath) const;
    // Names in the working folder (not recursive), sorted.
    std::vector<std::string> ScratchNames() const;
    // Makes a new working folder below the scratch folder and sets it up
    // afresh, for table-driven tests whose cases each need a clean start.
    void StartOver(const std::string& name);

    TestSupport::ScratchFolder scratch;
    std::string root = scratch.Path();  // the working folder
    std::string product = root + "\\product";
    std::string tools = root + "\\tools";
    std::string settings = root + "\\release.conf";
};

// Unpacks a served file with the decompressors' own code; "" on failure.
std::string UnpackKelz(const std::string& packed, const std::string& scratchFile);
std::string UnpackKelw(const std::string& packed, const std::string& scratchFile);

}  // namespace PublishTest
