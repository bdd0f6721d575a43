#pragma once
// The program's own icon images 1, 2 and 3 (48, 32 and 16 pixels), made into
// icons straight from the image resources of the program file.
#include <string>

#include "utils/unique_handle.h"

namespace App {

class ProgramIcons {
public:
    static constexpr int kImageCount = 3;

    // Loads the program file as a data file. False when that fails; an image
    // that cannot be found or converted leaves its icon empty.
    bool Load(const std::string& programPath);

    // image is 1, 2 or 3; null when not loaded.
    HICON Get(int image) const;

private:
    Utils::UniqueIcon m_icons[kImageCount];
};

}  // namespace App
