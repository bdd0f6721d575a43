// The stamping tool: writes build settings into a finished updater executable.
#include <iostream>
#include <string>
#include <vector>

#include "stamp_command.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return Stamp::RunStamp(args, std::cout, std::cerr);
}
