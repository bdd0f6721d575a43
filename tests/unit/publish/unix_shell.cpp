#include "unix_shell.h"

#include <windows.h>

#include <cstdlib>
#include <regex>

#include "ecdsa_signature.h"
#include "support/scratch.h"
#include "utils/unique_handle.h"

namespace PublishTest {

ShellResult RunUnixShell(const std::string& folder, const std::string& command) {
    const std::string output = folder + "\\shell.out", code = folder + "\\shell.rc";
    DeleteFileA(output.c_str());
    DeleteFileA(code.c_str());
    // The exit code file appears whole, by rename, only once the command ended.
    std::string commandLine =
        "/bin/sh -c \"" + command +
        " >shell.out 2>&1; echo $? >shell.rc.part; mv shell.rc.part shell.rc\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ShellResult result;
    if (!CreateProcessA("Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process))
        return result;
    Utils::UniqueKernelHandle ownedProcess(process.hProcess), ownedThread(process.hThread);
    for (int wait = 0; wait < 400 && !TestSupport::FileExists(code); ++wait) Sleep(50);
    if (!TestSupport::FileExists(code)) return result;
    result.exitCode = std::atoi(TestSupport::ReadFile(code).c_str());
    result.output = TestSupport::ReadFile(output);
    return result;
}

ShellResult OpenSslVerifyDocument(const std::string& folder, const std::string& publicKeyPem,
                                  const std::string& document) {
    static const std::regex comment(
        "<!--nimbra-signature ecdsa-p256-sha256 ([0-9a-f]{128})-->\r\n");
    const std::size_t at = document.rfind("<!--");
    std::smatch match;
    const std::string tail = at == std::string::npos ? "" : document.substr(at);
    if (!std::regex_match(tail, match, comment)) return ShellResult{-2, ""};
    Publish::RawSignature raw{};
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] =
            static_cast<unsigned char>(std::stoi(match[1].str().substr(2 * i, 2), nullptr, 16));
    TestSupport::WriteFile(folder + "\\signed-part", document.substr(0, at));
    TestSupport::WriteFile(folder + "\\signature.der", Publish::DerSignatureFromRaw(raw));
    return RunUnixShell(folder, "/usr/bin/openssl dgst -sha256 -verify " + publicKeyPem +
                                    " -signature signature.der signed-part");
}

}  // namespace PublishTest
