#include "support/http_message.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace TestSupport {

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string HttpRequest::Header(const std::string& name) const {
    for (const auto& header : headers) {
        if (EqualsNoCase(header.first, name)) return header.second;
    }
    return std::string();
}

bool HttpRequest::HasHeader(const std::string& name) const {
    for (const auto& header : headers) {
        if (EqualsNoCase(header.first, name)) return true;
    }
    return false;
}

HttpResponse HttpResponse::Text(int status, std::string body) {
    HttpResponse response;
    response.status = status;
    response.headers.emplace_back("Content-Type", "text/plain");
    response.body = std::make_shared<const std::string>(std::move(body));
    return response;
}

static std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

static bool ParseRequestLine(const std::string& line, HttpRequest& request) {
    std::istringstream words(line);
    std::string extra;
    if (!(words >> request.method >> request.target >> request.version) || (words >> extra))
        return false;
    if (request.version.compare(0, 5, "HTTP/") != 0) return false;
    size_t question = request.target.find('?');
    request.path = PercentDecode(request.target.substr(0, question));
    request.query =
        question == std::string::npos ? std::string() : request.target.substr(question + 1);
    return true;
}

bool ParseRequestHead(const std::string& head, HttpRequest& request) {
    std::istringstream lines(head);
    std::string line;
    if (!std::getline(lines, line) || !ParseRequestLine(Trim(line), request)) return false;
    while (std::getline(lines, line)) {
        if (Trim(line).empty()) continue;
        size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) return false;
        request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
    return true;
}

std::string PercentDecode(const std::string& text) {
    std::string decoded;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            decoded += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 204:
            return "No Content";
        case 206:
            return "Partial Content";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 304:
            return "Not Modified";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

}  // namespace TestSupport
