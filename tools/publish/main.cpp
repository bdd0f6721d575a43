// The release tool: writes the update documents and served files of a release.
#include <iostream>
#include <string>
#include <vector>

#include "publish_command.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return Publish::RunPublish(args, std::cout, std::cerr);
}
