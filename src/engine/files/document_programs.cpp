#include "engine/files/document_programs.h"

#include "document/document_path_rules.h"
#include "utils/file/file_utils.h"

namespace Engine {

std::string DocumentProgramFile(const std::string& program) {
    const std::string name = program.substr(program.find_last_of("\\/") + 1);
    return Utils::File::GetExtension(name).empty() ? program + ".exe" : program;
}

std::string ResolveDocumentProgram(const std::string& dataFolder, const std::string& program) {
    if (dataFolder.empty() || program.empty()) return "";
    if (!DocumentPathRules::IsContainedRelativePath(program)) return "";
    const std::string path = dataFolder + "\\" + DocumentProgramFile(program);
    return Utils::File::IsFile(path) ? path : "";
}

}  // namespace Engine
