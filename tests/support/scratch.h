#pragma once
// Scratch registry keys and folders for tests. Each is unique to the test
// process and removed, with everything below it, when the object goes away.
#include <string>

namespace TestSupport {

// A key below HKEY_CURRENT_USER\Software, e.g. "NimbraTest_1234_7".
class ScratchRegistryKey {
public:
    ScratchRegistryKey();
    ~ScratchRegistryKey();
    ScratchRegistryKey(const ScratchRegistryKey&) = delete;
    ScratchRegistryKey& operator=(const ScratchRegistryKey&) = delete;

    // Name relative to HKEY_CURRENT_USER\Software.
    const std::string& Name() const { return m_name; }
    // Full path relative to HKEY_CURRENT_USER, "Software\" + Name().
    std::string Path() const { return "Software\\" + m_name; }

private:
    std::string m_name;
};

// A new empty folder below the temporary folder.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path with backslashes and no trailing backslash.
    const std::string& Path() const { return m_path; }
    // Path() + "\\" + relative.
    std::string operator/(const std::string& relative) const { return m_path + "\\" + relative; }

private:
    std::string m_path;
};

// A name unique in this process, e.g. "<prefix>_<pid>_<counter>".
std::string UniqueName(const std::string& prefix);

// Writes or reads a whole file; WriteFile creates missing parent folders.
bool WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace TestSupport
