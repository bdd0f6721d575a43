#pragma once
// Programs that the update document names (the decompressors, the resource
// update program) are started only from the product's data folder, by full
// path. Never through the system's search for a bare name: that search
// looks in the updater's own folder first (often the user's Downloads
// folder) and in the system folders, so a planted or system program such as
// "cmd" would run. Safe on any thread.
#include <string>

namespace Engine {

// The file that the system starts for a program path: the path with ".exe"
// appended when its last component has no extension.
std::string DocumentProgramFile(const std::string& program);

// dataFolder + "\" + program, with ".exe" appended when the program's last
// component has no extension (as the system does when it starts a program),
// when that names an existing file; "" otherwise, and for an empty program,
// an empty data folder or a program that does not stay inside the folder.
std::string ResolveDocumentProgram(const std::string& dataFolder, const std::string& program);

}  // namespace Engine
