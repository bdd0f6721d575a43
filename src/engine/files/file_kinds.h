#pragma once
// Naming and recognising installed files: font files and the status line
// text for a file being fetched. Pure functions, safe on any thread.
#include <string>

namespace Engine {

// True when the text from the last "." is one of the font extensions, in all
// lower or all upper case (".ttf", ".TTF", ...; ".Ttf" is not a font).
bool IsFontFile(const std::string& path);

// Registers a font file with the window system. Returns whether it was
// registered; callers may ignore the result.
bool InstallFont(const std::string& path);

// The name shown for a file: icon files are shown under a fixed name.
std::string GetDisplayLabel(const std::string& label);

// The status line for fetching a file, or "" when nothing is to be shown:
// labels of 3 characters or fewer and the updater's own transfer (index -10)
// are not shown; a label that begins with a blank is shown as it is, any
// other as "Getting file: " + its display label.
std::string GetStatusLine(const std::string& label, int index);

}  // namespace Engine
