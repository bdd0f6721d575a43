#include "app/program_icons.h"

namespace App {
namespace {

constexpr DWORD kIconFormatVersion = 0x00030000;

HICON MakeIconFromImage(HMODULE module, int image) {
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(image), RT_ICON);
    if (resource == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr) return nullptr;
    auto* bits = static_cast<BYTE*>(::LockResource(loaded));
    const DWORD size = ::SizeofResource(module, resource);
    if (bits == nullptr || size == 0) return nullptr;
    return ::CreateIconFromResource(bits, size, TRUE, kIconFormatVersion);
}

}  // namespace

bool ProgramIcons::Load(const std::string& programPath) {
    Utils::UniqueModule module(
        ::LoadLibraryExA(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return false;
    for (int image = 1; image <= kImageCount; ++image)
        m_icons[image - 1].Reset(MakeIconFromImage(module.Get(), image));
    return true;
}

HICON ProgramIcons::Get(int image) const {
    if (image < 1 || image > kImageCount) return nullptr;
    return m_icons[image - 1].Get();
}

}  // namespace App
