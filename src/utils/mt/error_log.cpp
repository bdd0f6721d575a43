// The error record writer of the thread top.
#include "utils/mt/error_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "utils/file/file_utils.h"
#include "utils/mt/log_file.h"

namespace {

std::string FormatDouble(const char* format, double value) {
    char buffer[512];
    std::snprintf(buffer, sizeof(buffer), format, value);
    return buffer;
}

// Appends one (kind, value) pair; false for a kind that is not known, since
// its value's type (and so the rest of the list) cannot be read then.
bool AppendPair(std::string& record, char kind, va_list& values) {
    switch (kind) {
        case 'S':
        case 's': {
            const char* text = va_arg(values, const char*);
            record += text ? text : "";
            break;
        }
        case 'I':
        case 'i':
            record += std::to_string(va_arg(values, int));
            break;
        case 'D':
            record += FormatDouble("%0.10f", va_arg(values, double));
            break;
        case 'd':
            record += FormatDouble("%15.10lf", va_arg(values, double));
            break;
        case 'N':
            break;
        default:
            return false;
    }
    if (kind == 'S' || kind == 'I' || kind == 'D' || kind == 'N') record += "\n";
    return true;
}

}  // namespace

void CreateUtilsErrorLogRecord(const char* prefix, int ignored, ...) {
    std::string record = "CreateUtilsErrorLogRecord";
    va_list values;
    va_start(values, ignored);
    for (;;) {
        const char* kind = va_arg(values, const char*);
        if (!kind || !AppendPair(record, kind[0], values)) break;
    }
    va_end(values);
    const std::string logName =
        std::string(prefix ? prefix : "") + Utils::File::GetModulePath(true, true, false);
    const Utils::MT::Logger logger(logName,
                                   Utils::MT::Logger::kToFile | Utils::MT::Logger::kToConsole);
    logger.Write(record);
}
