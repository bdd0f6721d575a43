#include "engine/files/file_kinds.h"

#include <windows.h>

namespace Engine {
namespace {

constexpr const char* kFontExtensions[] = {".fon", ".FON", ".fnt", ".FNT", ".ttf", ".TTF",
                                           ".ttc", ".TTC", ".fot", ".FOT", ".otf", ".OTF"};
constexpr char kIconDisplayName[] = "Zeviv_3E_Zuzor_Ovavav.VOV";
constexpr char kGettingFile[] = "Getting file: ";
constexpr int kUpdaterIndex = -10;

}  // namespace

bool IsFontFile(const std::string& path) {
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = path.substr(dot);
    for (const char* font : kFontExtensions)
        if (extension == font) return true;
    return false;
}

bool InstallFont(const std::string& path) {
    if (path.empty() || !IsFontFile(path)) return false;
    return AddFontResourceA(path.c_str()) > 0;
}

std::string GetDisplayLabel(const std::string& label) {
    return label.find(".ico") != std::string::npos ? kIconDisplayName : label;
}

std::string GetStatusLine(const std::string& label, int index) {
    if (label.size() <= 3 || index == kUpdaterIndex) return "";
    bool quiet = label[0] == ' ';
    return (quiet ? "" : kGettingFile) + GetDisplayLabel(label);
}

}  // namespace Engine
