#pragma once
// The release settings file: one "key = value" per line, "#" starts a comment
// line, blank lines are ignored. Keys:
//   product-exe      = bin\App.exe           ProductExePath (required)
//   files-server     = files.example.com     FilesServer (required)
//   download-id      = <id>                  one line per download id (at least one)
//   skin-url         = https://...           SkinURL
//   uninstall-icon   = icons\uninstall.ico   UninstallIconPath
//   resource-update  = tools\ResUpdate.exe   UpdateResourceExePath
//   registry         = Path | Key | Value | true|false   (repeatable)
//   updater          = <stamped updater exe> listed as the updater's own entry
//   tools            = <folder with unkelz.exe and unkelw.exe>
//   signing-key      = <PEM private key>     signs the documents
//   release-number   = <0 .. 2^63-1>         ReleaseNumber of signed documents
// Paths of updater, tools and signing-key are relative to the settings
// file's folder.
#include <string>
#include <vector>

namespace Publish {

// A value with the line it came from, so later checks can name the line.
struct SettingText {
    std::string text;
    int line = 0;  // 0: not given
    bool Given() const { return line != 0; }
};

struct RegistrySetting {
    std::string path;  // below the product key, "\"-separated; empty: the key itself
    std::string key;   // empty: the default value
    std::string value;
    bool override = false;
};

struct ReleaseSettings {
    std::string fileName;        // as given, for messages
    SettingText productExePath;  // client path, "\"-separated
    SettingText filesServer;
    SettingText skinUrl;
    SettingText uninstallIconPath;
    SettingText updateResourceExePath;
    SettingText updaterExe;   // a local path, resolved against the file's folder
    SettingText toolsFolder;  // a local path, resolved against the file's folder
    SettingText signingKey;   // a local path, resolved against the file's folder
    SettingText releaseNumber;
    std::vector<RegistrySetting> registry;
    std::vector<SettingText> downloadIds;

    // "<file>:<line>: <message>", or "<file>: <message>" for line 0.
    std::string Where(int line) const;
};

// Parses the settings text. Throws PublishError naming fileName and the line
// for an unknown key, a malformed line, a value the update document cannot
// carry, a key given twice that may appear once, or a missing required key.
ReleaseSettings ParseSettings(const std::string& text, const std::string& fileName);

// Reads and parses the file; local paths in it are made relative to its folder.
ReleaseSettings ReadSettingsFile(const std::string& path);

}  // namespace Publish
