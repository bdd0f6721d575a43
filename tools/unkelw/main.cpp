// The sound decompressor:
//   unkelw -o <wav> <compressed>            unpack (exit 0 only when verified)
//   unkelw -c <wav> <compressed>            pack (also --encode)
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "codec_io.h"
#include "flac_codec.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

int Usage() {
    std::fprintf(stderr,
                 "unkelw: usage: unkelw -o <wav> <compressed> | "
                 "unkelw -c <wav> <compressed>\n");
    return kUsageError;
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
    try {
        return Run(args);
    } catch (const CodecIo::CodecError& error) {
        std::fprintf(stderr, "unkelw: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "unkelw: out of memory\n");
    }
    return kFailure;
}
