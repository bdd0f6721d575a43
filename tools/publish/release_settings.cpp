#include "release_settings.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "client_path_rules.h"
#include "host_name.h"
#include "publish_error.h"
#include "setting_values.h"

namespace Publish {
namespace {

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The keys that hold one value, and where each goes.
SettingText* SingleValueSlot(ReleaseSettings& settings, const std::string& key) {
    if (key == "product-exe") return &settings.productExePath;
    if (key == "files-server") return &settings.filesServer;
    if (key == "skin-url") return &settings.skinUrl;
    if (key == "uninstall-icon") return &settings.uninstallIconPath;
    if (key == "resource-update") return &settings.updateResourceExePath;
    if (key == "updater") return &settings.updaterExe;
    if (key == "tools") return &settings.toolsFolder;
    if (key == "signing-key") return &settings.signingKey;
    if (key == "release-number") return &settings.releaseNumber;
    return nullptr;
}

bool IsLocalPathKey(const std::string& key) {
    return key == "updater" || key == "tools" || key == "signing-key";
}

bool IsClientPathKey(const std::string& key) {
    return key == "product-exe" || key == "uninstall-icon" || key == "resource-update";
}

void Refuse(const ReleaseSettings& settings, int line, const std::string& message) {
    throw PublishError(settings.Where(line) + message);
}

// A single value written as it would be on a command line or with a comment
// after it. No path, host, address or number that these keys take holds a
// '"', so one there quotes the value (the Windows habit for paths with
// blanks); no address holds a blank, so one in skin-url mostly starts a
// comment. Either would reach the document or the file system as written.
std::string QuoteOrBlankProblem(const std::string& key, const std::string& value) {
    if (value.find('"') != std::string::npos)
        return "holds a double quote; write the value without quotes (blanks inside it need "
               "none)";
    if (key == "skin-url" && value.find_first_of(" \t") != std::string::npos)
        return "holds a blank, which an address cannot hold (a comment goes on a line of its "
               "own, starting with #)";
    return "";
}

void CheckSingleValue(const ReleaseSettings& settings, const std::string& key, SettingText& value) {
    const std::string quoteOrBlank = QuoteOrBlankProblem(key, value.text);
    if (!quoteOrBlank.empty()) Refuse(settings, value.line, key + " " + quoteOrBlank);
    if (IsLocalPathKey(key)) {
        if (value.text.empty()) Refuse(settings, value.line, key + " needs a path");
        return;  // local paths, never written into the document
    }
    std::string problem = DocumentTextProblem(value.text);
    if (problem.empty() && IsClientPathKey(key) && !value.text.empty()) {
        value.text = ToClientPath(value.text);
        problem = ClientPathProblem(value.text);
    }
    if (problem.empty() && key == "files-server") problem = Stamp::HostNameProblem(value.text);
    if (problem.empty() && key == "release-number") problem = ReleaseNumberProblem(value.text);
    if (!problem.empty()) Refuse(settings, value.line, key + " " + problem);
}

void ApplyLine(ReleaseSettings& settings, const std::string& key, const std::string& value,
               int line) {
    if (SettingText* slot = SingleValueSlot(settings, key)) {
        if (slot->Given())
            Refuse(settings, line,
                   key + " given twice (first on line " + std::to_string(slot->line) + ")");
        *slot = SettingText{value, line};
        CheckSingleValue(settings, key, *slot);
    } else if (key == "download-id") {
        const std::string problem = DownloadIdProblem(value);
        if (!problem.empty()) Refuse(settings, line, "download-id " + problem);
        // Each id names a file under documents/ and files/updater/, where
        // Windows and case-blind servers hold ids of other letter case as one.
        for (const SettingText& id : settings.downloadIds)
            if (FoldCase(id.text) == FoldCase(value))
                Refuse(settings, line,
                       "download-id " + value + " given twice (first on line " +
                           std::to_string(id.line) + ")");
        settings.downloadIds.push_back(SettingText{value, line});
    } else if (key == "registry") {
        const std::string problem = DocumentTextProblem(value);
        if (!problem.empty()) Refuse(settings, line, "registry " + problem);
        settings.registry.push_back(ParseRegistrySetting(value, settings.Where(line)));
    } else {
        Refuse(settings, line, "unknown key '" + key + "'");
    }
}

void RequireKeys(const ReleaseSettings& settings) {
    if (settings.productExePath.text.empty())
        Refuse(settings, 0,
               "missing product-exe (the product's executable, a path in the product "
               "folder)");
    if (settings.filesServer.text.empty())
        Refuse(settings, 0, "missing files-server (the host that serves the files)");
    if (settings.downloadIds.empty()) Refuse(settings, 0, "missing download-id (one line per id)");
}

}  // namespace

std::string ReleaseSettings::Where(int line) const {
    return line > 0 ? fileName + ":" + std::to_string(line) + ": " : fileName + ": ";
}

ReleaseSettings ParseSettings(const std::string& text, const std::string& fileName) {
    ReleaseSettings settings;
    settings.fileName = fileName;
    // Windows editors may start a UTF-8 file with a byte order mark, which
    // would otherwise become part of the first key.
    const std::string kByteOrderMark = "\xEF\xBB\xBF";
    // Notepad's "Unicode" is UTF-16, two bytes a character, most of them zero.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0 ||
        text.find('\0') != std::string::npos)
        Refuse(settings, 0, "is saved as UTF-16 (Notepad's \"Unicode\"); save it as UTF-8 or ANSI");
    std::istringstream lines(text.compare(0, 3, kByteOrderMark) == 0 ? text.substr(3) : text);
    std::string raw;
    for (int line = 1; std::getline(lines, raw); ++line) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const std::string content = Trimmed(raw);
        if (content.empty() || content[0] == '#') continue;
        const std::size_t equals = content.find('=');
        if (equals == std::string::npos)
            Refuse(settings, line, "expected 'key = value', found '" + content + "'");
        const std::string key = Trimmed(content.substr(0, equals));
        if (key.empty()) Refuse(settings, line, "no key before '='");
        ApplyLine(settings, key, Trimmed(content.substr(equals + 1)), line);
    }
    RequireKeys(settings);
    return settings;
}

ReleaseSettings ReadSettingsFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) throw PublishError("cannot read the settings file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    ReleaseSettings settings = ParseSettings(text.str(), path);
    const fs::path folder = fs::path(path).parent_path();
    for (SettingText* local : {&settings.updaterExe, &settings.toolsFolder, &settings.signingKey}) {
        if (local->Given()) local->text = (folder / fs::path(local->text)).string();
    }
    return settings;
}

}  // namespace Publish
