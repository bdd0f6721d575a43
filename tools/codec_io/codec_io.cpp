// What both file layers share: turning a failure into one line and an exit code.
#include <cstdio>
#include <new>

#include "codec_io.h"

namespace CodecIo {

int RunReportingFailures(const char* program, const std::function<int()>& body) {
    try {
        return body();
    } catch (const CodecError& error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", program);
    }
    return kFailureExit;
}

}  // namespace CodecIo
