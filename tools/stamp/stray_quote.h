#pragma once
// Arguments that a Windows command line split wrongly. A backslash right
// before a closing double quote escapes it ("D:\tree\" --replace reaches the
// program as one argument, D:\tree" --replace), so the argument holds a '"'
// and the options after it vanish into it. No path, name or value that the
// release and stamping tools take holds a '"'.
#include <string>

namespace Stamp {

// "" when argument holds no '"'; otherwise a sentence that says what went wrong.
std::string StrayQuoteProblem(const std::string& argument);

}  // namespace Stamp
