#pragma once
// The benchmark's command line.
#include <string>
#include <vector>

namespace InstallBench {

enum class Scenario { None, Install, NoOp, Starts, Memory };

struct Options {
    Scenario scenario = Scenario::None;
    int repeat = 3;
    // install: small files, their size, the big file, every n-th small file compressed
    int files = 300;
    long long fileBytes = 1 << 20;
    long long bigMb = 100;
    int packEvery = 0;
    bool sha256 = false;  // list the Sha256 of every uncompressed file
    // noop: document sizes; install-populated instead of written directly
    std::vector<int> documentSizes = {0, 1000, 10000};
    bool populateByInstall = false;
    // memory: big file sizes
    std::vector<long long> bigSizesMb = {20, 100, 300};
    // starts: how many decompressor starts
    int starts = 100;
    bool watchDialog = false;
    bool withOutput = false;  // the updater's standard handles on NUL instead of none
    // After the install scenario: write the payload URLs, serve until the stop file exists.
    std::string urlList, stopFile;
};

// Unknown or malformed arguments leave Scenario::None.
Options ParseOptions(int argc, char** argv);
void PrintUsage();

}  // namespace InstallBench
