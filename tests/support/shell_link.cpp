#include "support/shell_link.h"

#include <shlobj.h>
#include <windows.h>

#include "engine/files/com_ptr.h"

namespace TestSupport {

LinkContents ReadLink(const std::string& file) {
    LinkContents contents;
    Engine::ComApartment apartment;
    Engine::UniqueComPtr<IShellLinkA> link;
    Engine::UniqueComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.Receive()))) ||
        FAILED(link.Get()->QueryInterface(IID_IPersistFile,
                                          reinterpret_cast<void**>(persist.Receive()))))
        return contents;
    WCHAR wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (FAILED(persist.Get()->Load(wide, STGM_READ))) return contents;
    char text[MAX_PATH] = {};
    link.Get()->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    contents.target = text;
    link.Get()->GetArguments(text, MAX_PATH);
    contents.arguments = text;
    link.Get()->GetIconLocation(text, MAX_PATH, &contents.iconIndex);
    contents.icon = text;
    contents.loaded = true;
    return contents;
}

}  // namespace TestSupport
