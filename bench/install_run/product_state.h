#pragma once
// What the runs of one brand leave behind: the product folder, the product
// key, the uninstall entry and the shortcuts.
#include <windows.h>

#include <string>
#include <vector>

#include "payload.h"

namespace InstallBench {

// When a run left its marks, in seconds after a given start: the last write
// of the installed updater copy, of each shortcut and of the "Installed"
// records (Wine keeps a key's time when a write changes nothing, so that one
// counts only where the run recorded files). -1: not there.
struct Milestones {
    double updaterCopy = -1;
    double menuShortcut = -1;
    double desktopShortcut = -1;
    double uninstallShortcut = -1;
    double installedRecords = -1;
};

class ProductState {
public:
    explicit ProductState(std::string brand);

    // The folder that receives the product files (the brand's folder under
    // program files, or under local application data on Windows 6.0).
    const std::string& DataFolder() const { return m_dataFolder; }

    // Removes everything a run of the brand leaves.
    void Remove() const;
    // Leaves what a completed install of files leaves: every file in the data
    // folder, its "Installed" record, and "IsFirstTime" = 1.
    bool WriteInstalled(const std::vector<PayloadFile>& files) const;
    // Files in the data folder with their installed size and a matching record.
    int CountInstalled(const std::vector<PayloadFile>& files) const;
    // Values below "Installed".
    int CountRecords() const;
    Milestones ReadMilestones(const FILETIME& start) const;

private:
    std::string m_brand;
    std::string m_programFolder;
    std::string m_dataFolder;
};

}  // namespace InstallBench
