#pragma once
// The files that a benchmark run installs: written below a source folder to
// be served, described by the entries that go into the update document.
#include <string>
#include <vector>

namespace InstallBench {

struct PayloadPlan {
    int files = 300;                   // small files
    long long fileBytes = 1 << 20;     // size of each small file
    long long bigBytes = 100LL << 20;  // one more file of this size; 0: none
    int packEvery = 0;                 // every n-th small file is compressed; 0: none
    bool sha256 = false;               // the document lists each uncompressed file's Sha256
};

struct PayloadFile {
    std::string servedFile;  // what the server sends
    std::string urlPath;     // "/files/..."
    std::string clientPath;  // relative to the data folder
    std::string checkSum;
    long long servedBytes = 0;
    long long installedBytes = 0;
    bool compressed = false;
    int seed = 0;  // content seed, to write the installed file directly
};

constexpr int kFilesPerFolder = 100;

// Writes the planned files below sourceFolder, compressing with the general
// compressor where planned. Empty on failure.
std::vector<PayloadFile> WritePayload(const PayloadPlan& plan, const std::string& sourceFolder,
                                      const std::string& compressor);

// A program or other existing file served as it is.
PayloadFile ExistingFile(const std::string& file, const std::string& clientPath, int seed);

// Writes the installed (unpacked) form of a payload file: a copy of the
// served file, or the content generated again for a compressed one.
// Creates missing folders.
bool WriteInstalledFile(const PayloadFile& file, const std::string& path);

// A 32-hex-digit checksum text that differs per seed.
std::string FakeCheckSum(int seed);

long long FileBytes(const std::string& path);
bool CreateFolders(const std::string& folder);

}  // namespace InstallBench
