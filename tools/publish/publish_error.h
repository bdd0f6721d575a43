#pragma once
// The release tool's refusals and failures: the message says what is wrong
// and names the file (and line) it is about.
#include <stdexcept>
#include <string>

namespace Publish {

class PublishError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace Publish
