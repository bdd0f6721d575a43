#include "bench_options.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace InstallBench {
namespace {

template <typename T>
std::vector<T> ParseList(const std::string& text) {
    std::vector<T> values;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ','))
        if (!item.empty()) values.push_back(static_cast<T>(std::atoll(item.c_str())));
    return values;
}

Scenario ParseScenario(const std::string& name) {
    if (name == "install") return Scenario::Install;
    if (name == "noop") return Scenario::NoOp;
    if (name == "starts") return Scenario::Starts;
    if (name == "memory") return Scenario::Memory;
    return Scenario::None;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
    Options o;
    if (argc < 2) return o;
    o.scenario = ParseScenario(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        const std::string value = more ? argv[i + 1] : "";
        if (a == "--watch") {
            o.watchDialog = true;
            continue;
        }
        if (a == "--with-output") {
            o.withOutput = true;
            continue;
        }
        if (a == "--sha256") {
            o.sha256 = true;
            continue;
        }
        if (a == "--by-install") {
            o.populateByInstall = true;
            continue;
        }
        if (!more) {
            o.scenario = Scenario::None;
            break;
        }
        ++i;
        if (a == "--repeat")
            o.repeat = std::atoi(value.c_str());
        else if (a == "--files")
            o.files = std::atoi(value.c_str());
        else if (a == "--file-kb")
            o.fileBytes = std::atoll(value.c_str()) << 10;
        else if (a == "--big-mb")
            o.bigMb = std::atoll(value.c_str());
        else if (a == "--pack-every")
            o.packEvery = std::atoi(value.c_str());
        else if (a == "--sizes")
            o.documentSizes = ParseList<int>(value);
        else if (a == "--big-sizes-mb")
            o.bigSizesMb = ParseList<long long>(value);
        else if (a == "--starts")
            o.starts = std::atoi(value.c_str());
        else if (a == "--url-list")
            o.urlList = value;
        else if (a == "--stop-file")
            o.stopFile = value;
        else
            o.scenario = Scenario::None;
    }
    if (o.repeat < 1) o.scenario = Scenario::None;
    return o;
}

void PrintUsage() {
    std::printf(
        "bench_install_run install [--files N] [--file-kb N] [--big-mb N] [--pack-every N] "
        "[--sha256]\n"
        "                          [--repeat N] [--url-list PATH --stop-file PATH]\n"
        "bench_install_run noop    [--sizes 0,1000,10000] [--by-install] [--watch] [--repeat N]\n"
        "bench_install_run starts  [--starts N]\n"
        "bench_install_run memory  [--big-sizes-mb 20,100,300] [--repeat N]\n"
        "  --with-output: the updater gets the NUL device as standard handles (default: none,\n"
        "  as when the shell starts it); --watch: poll its dialog (disturbs the timing)\n");
}

}  // namespace InstallBench
