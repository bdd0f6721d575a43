// Test helper: writes the build settings that this executable reads from its
// own image, one "name=value" line each, to the file named by its argument.
// Decoded values are written hex-encoded so that any byte survives.
#include <fstream>
#include <string>

#include "engine/build_config_block.h"
#include "utils/exception.h"
#include "utils/string/string_utils.h"

namespace {

std::string DecodedAsHex(const std::string& text) {
    try {
        return Utils::String::HexEncode(BuildConfig::DecodeSlotText(text));
    } catch (Utils::Exception* e) {
        delete e;
        return "<undecodable>";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "download-id=" << BuildConfig::GetDownloadId() << '\n'
        << "host=" << BuildConfig::GetServerHost() << '\n'
        << "service-path=" << BuildConfig::GetServicePath() << '\n'
        << "brand=" << BuildConfig::GetBrand() << '\n'
        << "checksum=" << BuildConfig::GetUpdaterChecksum() << '\n'
        << "decoded-download-id=" << DecodedAsHex(BuildConfig::GetDownloadId()) << '\n'
        << "decoded-host=" << DecodedAsHex(BuildConfig::GetServerHost()) << '\n';
    out.close();
    return out ? 0 : 1;
}
