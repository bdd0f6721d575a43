#pragma once
// Runs a command of the Linux machine under Wine, for checks by OpenSSL's
// command line. Wine starts Unix programs but reports no exit code for them,
// so the shell writes its output and exit code to files in the folder.
#include <string>

namespace PublishTest {

struct ShellResult {
    int exitCode = -1;   // -1: the shell did not start or did not finish
    std::string output;  // standard output and standard error
};

// Runs "/bin/sh -c command" in folder (a Windows path). command may not
// contain double quotes; it names files relative to folder.
ShellResult RunUnixShell(const std::string& folder, const std::string& command);

// OpenSSL's verdict on a signed update document: the bytes before the
// signature comment, checked against the comment's r||s with the PEM public
// key at publicKeyPem (relative to folder). The result's output is
// "Verified OK\n" when the signature holds; exitCode -2 when the document has
// no well-formed signature comment.
ShellResult OpenSslVerifyDocument(const std::string& folder, const std::string& publicKeyPem,
                                  const std::string& document);

}  // namespace PublishTest
