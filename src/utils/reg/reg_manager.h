#pragma once
// Typed access to one key below root\Software. Every operation opens and
// closes its own handles, so one instance can be shared by all threads.
// Failures never throw: reads give the default, writes give false.
#include <windows.h>

#include <string>

namespace Utils {

class RegManager {
public:
    // Creates root\Software\keyName when it cannot be opened.
    RegManager(bool userRoot, const std::string& keyName);
    virtual ~RegManager();

    // A non-empty subkey is opened, and created when missing, below the key.
    std::string GetStringValue(const std::string& name, const std::string& subkey = "",
                               const std::string& defaultValue = "") const;
    // Without overwrite an existing string value is kept and false returned.
    // Stores at most the first 1024 characters; GetStringValue reads string
    // values of up to 1024 characters and gives the default for longer ones.
    bool SetStringValue(const std::string& name, const std::string& value, bool overwrite = true,
                        const std::string& subkey = "") const;
    enum class StringWrite { Written, KeptExisting, Failed };
    // The same write as SetStringValue, telling a value kept because overwrite
    // was not set (KeptExisting) apart from a key or value that could not be
    // written (Failed).
    StringWrite WriteStringValue(const std::string& name, const std::string& value, bool overwrite,
                                 const std::string& subkey) const;
    // 0 (not the default) when the main key cannot be opened.
    DWORD GetDwordValue(const std::string& name, const std::string& subkey = "",
                        DWORD defaultValue = 0) const;
    bool SetDwordValue(const std::string& name, DWORD value, bool overwrite = true,
                       const std::string& subkey = "") const;
    // Deletes the subkey called name with everything below it, then the value
    // called name, in the opened key (or in subkey). An empty name never
    // deletes a key: it deletes the default value only. To delete a whole
    // product key, use a manager for key name "" and DeleteValue(product).
    // Subkeys that cannot be deleted are left, and so is the key above them.
    void DeleteValue(const std::string& name, const std::string& subkey = "") const;
    bool SubkeyExists(const std::string& subkey) const;

    static bool KeyExists(HKEY root, const std::string& path);
    static bool StringValueExists(HKEY root, const std::string& path, const std::string& name);
    static void SetStringValueAt(HKEY root, const std::string& path, const std::string& name,
                                 const std::string& value);

    bool IsUserRoot() const { return m_userRoot; }
    const std::string& GetKeyName() const { return m_keyName; }

private:
    bool m_userRoot;
    std::string m_keyName;
};

// The process-wide product key manager (HKCU\Software\<brand>): created by
// the dialog's initialisation, replaced by the uninstall flow, never freed.
extern RegManager* g_productKeyManager;

}  // namespace Utils
