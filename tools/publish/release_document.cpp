#include "release_document.h"

namespace Publish {
namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string Attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + Escaped(value) + "\"";
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string ServerPathOf(const std::string& clientPath) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string path = "/files/";
    for (char c : clientPath) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            path.push_back('/');
        } else if (IsUnreserved(c)) {
            path.push_back(c);
        } else {
            path += '%';
            path.push_back(kDigits[byte >> 4]);
            path.push_back(kDigits[byte & 0x0F]);
        }
    }
    return path;
}

std::optional<std::string> DecodedServerPath(const std::string& serverPath) {
    const std::string path = serverPath.substr(0, serverPath.find('?'));
    std::string decoded;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            decoded.push_back(path[i]);
            continue;
        }
        const int high = i + 2 < path.size() ? HexValue(path[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(path[i + 2]) : -1;
        if (low < 0) return std::nullopt;
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return decoded;
}

std::string WriteDocumentXml(const ReleaseDocument& document) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"windows-1252\" ?>\r\n";
    xml += "<UpdateDocument" + Attribute("IsSucceed", "true") +
           Attribute("ProductExePath", document.productExePath) +
           Attribute("FilesServer", document.filesServer) + Attribute("SkinURL", document.skinUrl) +
           Attribute("CompressFilePath", document.compressFilePath) +
           Attribute("CompressWAVPath", document.compressWavPath) +
           Attribute("UninstallIconPath", document.uninstallIconPath) +
           Attribute("UpdateResourceExePath", document.updateResourceExePath);
    if (!document.downloadId.empty()) xml += Attribute("DownloadId", document.downloadId);
    if (document.releaseNumber)
        xml += Attribute("ReleaseNumber", std::to_string(*document.releaseNumber));
    xml += ">\r\n";
    xml += "  <UpdateFiles>\r\n";
    for (const ListedFile& file : document.files) {
        xml += "    <UpdateFile" + Attribute("ServerRelativePath", file.serverPath) +
               Attribute("ClientRelativePath", file.clientPath) +
               Attribute("CheckSum", file.checksum) + Attribute("Size", std::to_string(file.size)) +
               Attribute("IsCompressed", file.compressed ? "true" : "false") +
               Attribute("Sha256", file.sha256) +
               (file.servedSha256.empty() ? "" : Attribute("ServedSha256", file.servedSha256)) +
               " />\r\n";
    }
    xml += "  </UpdateFiles>\r\n  <UpdateRegistry>\r\n";
    for (const RegistrySetting& value : document.registry) {
        xml += "    <Registry" + Attribute("Path", value.path) + Attribute("Key", value.key) +
               Attribute("Value", value.value) +
               Attribute("IsOverride", value.override ? "true" : "false") + " />\r\n";
    }
    xml += "  </UpdateRegistry>\r\n</UpdateDocument>\r\n";
    return xml;
}

}  // namespace Publish
