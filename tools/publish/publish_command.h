#pragma once
// The release tool's command line: subcommands and their one run.
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "release_builder.h"

namespace Publish {

// A command line the tool does not understand.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

extern const char kUsage[];

// The options of "release" (the arguments after the subcommand). Throws UsageError.
ReleaseOptions ParseReleaseArguments(const std::vector<std::string>& args);

// Runs the tool on the arguments after the program name: 0 done, 1 refused or
// failed (one message on err), 2 bad command line.
int RunPublish(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace Publish
