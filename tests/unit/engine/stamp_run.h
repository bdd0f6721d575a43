#pragma once
// Runs the stamping tool in process, as its command line would, for the tests.
#include <sstream>
#include <string>
#include <vector>

#include "stamp_command.h"

namespace StampTest {

struct StampRun {
    int code = 0;
    std::string out, err;
};

inline StampRun RunStampTool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = Stamp::RunStamp(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace StampTest
