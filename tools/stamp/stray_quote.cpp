#include "stray_quote.h"

namespace Stamp {

std::string StrayQuoteProblem(const std::string& argument) {
    if (argument.find('"') == std::string::npos) return "";
    return "the argument '" + argument +
           "' holds a double quote: on Windows a backslash before a closing quote, as in "
           "\"D:\\folder\\\", keeps the quote and swallows the arguments after it; leave out "
           "that last backslash";
}

}  // namespace Stamp
