#include "utils/exception.h"

#include <windows.h>

namespace Utils {

Exception::Exception(const std::string& function, const std::string& message, int code)
    : m_message(message), m_function(function), m_code(code) {
    // The message carries the raising thread so that a log record names it.
    AppendValue("ThreadId", static_cast<int>(::GetCurrentThreadId()));
}

Exception::~Exception() = default;

void Exception::AppendValue(const std::string& key, int value) {
    m_message += "\n" + key + "=" + std::to_string(value);
}

void Exception::AppendValue(const std::string& key, const std::string& value) {
    m_message += "\n" + key + "=" + value;
}

}  // namespace Utils
