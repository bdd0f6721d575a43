#include "app/command_line.h"

#include <climits>

namespace App {
namespace {

const char kUninstallLauncher[] = "/uninstall";
const char kUninstallRun[] = "/uninstall2";

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::string GetCommandTail(const char* commandLine) {
    if (commandLine == nullptr) return "";
    const char* p = commandLine;
    bool insideQuotes = false;
    for (; *p != '\0'; ++p) {
        if (*p == '"')
            insideQuotes = !insideQuotes;
        else if (!insideQuotes && IsBlankOrControl(*p))
            break;
    }
    while (*p != '\0' && IsBlankOrControl(*p)) ++p;
    return p;
}

long ParseLeadingNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
            break;
        }
    }
    return static_cast<long>(negative ? -value : value);
}

StartRequest ClassifyCommandTail(const std::string& tail) {
    StartRequest request;
    if (tail == kUninstallLauncher) {
        request.form = StartForm::UninstallLauncher;
        return request;
    }
    const long delay = ParseLeadingNumber(tail);
    request.delayMs = delay > 0 ? static_cast<DWORD>(delay) : 0;
    if (StartsWith(tail, kUninstallRun)) {
        request.form = StartForm::UninstallRun;
        const size_t length = sizeof(kUninstallRun) - 1;
        if (tail.size() > length) {
            // The character right after "/uninstall2" is a separator, whatever it is.
            request.waitForProcess = true;
            request.processId = static_cast<DWORD>(ParseLeadingNumber(tail.substr(length + 1)));
        }
    }
    return request;
}

std::string MakeUninstallCopyPath(const std::string& temporaryFolder,
                                  const std::string& modulePath) {
    const size_t slash = modulePath.find_last_of('\\');
    const std::string fileName =
        slash == std::string::npos ? modulePath : modulePath.substr(slash + 1);
    return temporaryFolder + "UnInstall" + fileName;
}

}  // namespace App
