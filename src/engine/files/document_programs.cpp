#include "engine/files/document_programs.h"

#include "document/document_path_rules.h"
#include "utils/file/file_utils.h"

namespace Engine {

std::string ResolveDocumentProgram(const std::string& dataFolder, const std::string& program) {
    if (dataFolder.empty() || program.empty()) return "";
    if (!DocumentPathRules::IsContainedRelativePath(program)) return "";
    std::string path = dataFolder + "\\" + program;
    if (Utils::File::GetExtension(program.substr(program.find_last_of("\\/") + 1)).empty())
        path += ".exe";
    return Utils::File::IsFile(path) ? path : "";
}

}  // namespace Engine
