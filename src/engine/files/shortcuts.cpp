#include "engine/files/shortcuts.h"

#include <shlobj.h>
#include <windows.h>

#include "engine/files/com_ptr.h"
#include "engine/files/install_folders.h"
#include "utils/file/file_utils.h"

namespace Engine {
namespace {

bool SaveLink(IShellLinkA* link, const std::string& file) {
    UniqueComPtr<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Receive()))))
        return false;
    WCHAR wide[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH) == 0) return false;
    return SUCCEEDED(persist.Get()->Save(wide, TRUE));
}

}  // namespace

bool CreateShortcut(int csidl, const std::string& target, const std::string& name,
                    const std::string& iconPath, const std::string& subfolder,
                    const std::string& arguments) {
    if (name.empty() || target.empty()) return false;
    std::string folder = GetSpecialFolderPath(csidl);
    if (!subfolder.empty()) {
        folder += "\\" + subfolder;
        if (!Utils::File::Exists(folder)) CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string file = folder + "\\" + name + ".lnk";

    ComApartment apartment;
    UniqueComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))))
        return false;
    link.Get()->SetPath(target.c_str());
    if (!iconPath.empty()) link.Get()->SetIconLocation(iconPath.c_str(), 0);
    if (!arguments.empty()) link.Get()->SetArguments(arguments.c_str());
    return SaveLink(link.Get(), file);
}

}  // namespace Engine
