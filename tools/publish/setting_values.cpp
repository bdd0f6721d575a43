#include "setting_values.h"

#include <algorithm>
#include <vector>

#include "publish_error.h"

namespace Publish {
namespace {

// The updater writes at most this many characters of a registry value.
constexpr std::size_t kLongestRegistryValue = 1024;
constexpr std::size_t kLongestDownloadId = 255;

bool IsAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitFields(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        fields.push_back(Trimmed(text.substr(start, bar - start)));
        if (bar == std::string::npos) return fields;
        start = bar + 1;
    }
}

std::string RegistryPathProblem(const std::string& path) {
    if (path.empty()) return "";
    if (path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos)
        return "has an empty key name (a doubled, leading or trailing \\)";
    return "";
}

}  // namespace

std::string DocumentTextProblem(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c > 0x7E)
            return "has a character outside printable ASCII, which the update document cannot "
                   "carry unchanged";
    }
    return "";
}

std::string DownloadIdProblem(const std::string& id) {
    if (id.empty()) return "is empty";
    if (id.size() > kLongestDownloadId) return "is longer than 255 characters";
    if (id[0] == '.') return "may not start with '.'";
    // Windows drops a trailing dot from the document's file name, and the
    // nginx recipe's service path takes only parts joined by single dots.
    if (id.back() == '.' || id.find("..") != std::string::npos)
        return "may not end with '.' or hold '..'";
    for (char c : id) {
        if (!IsAlnum(c) && c != '.' && c != '_' && c != '-')
            return "may hold only letters, digits, '.', '_' and '-'";
    }
    return "";
}

std::string ReleaseNumberProblem(const std::string& number) {
    static const std::string kLargest = "9223372036854775807";  // 2^63-1
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return "must be a decimal number";
    const std::size_t first = std::min(number.find_first_not_of('0'), number.size() - 1);
    const std::string digits = number.substr(first);
    if (digits.size() > kLargest.size() || (digits.size() == kLargest.size() && digits > kLargest))
        return "is larger than 9223372036854775807";
    return "";
}

RegistrySetting ParseRegistrySetting(const std::string& text, const std::string& where) {
    const std::vector<std::string> fields = SplitFields(text);
    if (fields.size() != 4)
        throw PublishError(where +
                           "registry needs four fields, Path | Key | Value | true or "
                           "false; found " +
                           std::to_string(fields.size()));
    RegistrySetting setting{fields[0], fields[1], fields[2], fields[3] == "true"};
    if (fields[3] != "true" && fields[3] != "false")
        throw PublishError(where + "registry override must be true or false, not '" + fields[3] +
                           "'");
    std::string problem = RegistryPathProblem(setting.path);
    if (!problem.empty()) throw PublishError(where + "registry path " + problem);
    if (setting.value.size() > kLongestRegistryValue)
        throw PublishError(where +
                           "registry value is longer than the 1024 characters the "
                           "updater writes");
    return setting;
}

}  // namespace Publish
