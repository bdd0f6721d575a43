#pragma once
// Helpers shared by the installed-file tests: the decompressor programs, child
// processes, the current folder and a scratch product key.
#include <windows.h>

#include <string>
#include <vector>

#include "support/sample_wav.h"
#include "support/scratch.h"
#include "utils/reg/reg_manager.h"

namespace FilesTest {

// The built decompressor programs as Windows paths.
std::string GeneralToolExe();
std::string SoundToolExe();

// Copies both programs into folder\tools and returns their paths relative to
// folder without ".exe", as the update document names them.
struct ToolNames {
    std::string general;
    std::string sound;
};
ToolNames InstallTools(const std::string& folder);

struct ProgramResult {
    DWORD exitCode = 0;
    std::string output;  // standard output and error together
};
// Runs a command line in workFolder and waits for it.
ProgramResult RunProgram(const std::string& commandLine, const std::string& workFolder);

// Names of the entries of a folder (not recursive), sorted.
std::vector<std::string> ListFolder(const std::string& folder);

using TestSupport::MakeWav;

// Makes a folder current for the scope's lifetime.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::string& folder);
    ~CurrentFolderScope();

private:
    std::string m_previous;
};

// A scratch product key installed as the product key manager.
class ProductKeyScope {
public:
    ProductKeyScope();
    ~ProductKeyScope();
    const Utils::RegManager& Manager() const { return m_manager; }

private:
    TestSupport::ScratchRegistryKey m_key;
    Utils::RegManager m_manager;
    Utils::RegManager* m_previous;
};

}  // namespace FilesTest
