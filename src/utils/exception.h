#pragma once
// The utilities library's one exception type. Created with new and thrown as a
// pointer; whoever catches it deletes it.
#include <string>

namespace Utils {

class Exception {
public:
    // Appends "\nThreadId=<id of the constructing thread>" to the message.
    Exception(const std::string& function, const std::string& message, int code);
    virtual ~Exception();

    // Appends "\n" + key + "=" + value to the message.
    void AppendValue(const std::string& key, int value);
    void AppendValue(const std::string& key, const std::string& value);

    const std::string& GetMessage() const { return m_message; }
    const std::string& GetFunction() const { return m_function; }
    int GetCode() const { return m_code; }

private:
    std::string m_message;
    std::string m_function;
    int m_code;
};

}  // namespace Utils
