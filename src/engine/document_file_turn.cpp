#include "engine/document_file_turn.h"

#include <algorithm>

#include "utils/string/string_utils.h"

namespace Engine {
namespace {
constexpr char kSharedName[] = "xml_downloaded_24.xml";
constexpr char kTurnLockPrefix[] = "Global\\NimbraUpdaterDocument.";
}  // namespace

std::string DocumentTurnLockName(const std::string& tempFolder) {
    // A lock's name holds no backslash after its namespace.
    std::string folder = tempFolder;
    Utils::String::ToLower(folder);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return kTurnLockPrefix + folder;
}

DocumentFileTurn::DocumentFileTurn(const std::string& tempFolder, const std::string& brand,
                                   DWORD waitMs)
    : m_turn(DocumentTurnLockName(tempFolder), waitMs) {
    const bool held = m_turn.GetState() == Utils::MT::NamedLock::State::Held;
    m_path = tempFolder + (held ? std::string(kSharedName) : "xml_downloaded_24_" + brand + ".xml");
}

}  // namespace Engine
