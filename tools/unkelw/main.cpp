// The sound decompressor:
//   unkelw -o <wav> <compressed>            unpack (exit 0 only when verified)
//   unkelw -c <wav> <compressed>            pack (also --encode)
#include <cstdio>
#include <string>
#include <vector>

#include "codec_io.h"
#include "flac_codec.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "unkelw: usage: unkelw -o <wav> <compressed> | "
                 "unkelw -c <wav> <compressed>\n");
    return CodecIo::kUsageExit;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() != 3) return Usage();
    if (args[0] == "-o") {
        Kelw::DecodeToWav(args[2], args[1]);
        return 0;
    }
    if (args[0] == "-c" || args[0] == "--encode") {
        Kelw::EncodeWav(args[1], args[2]);
        return 0;
    }
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return CodecIo::RunReportingFailures("unkelw", [&] { return Run(args); });
}
