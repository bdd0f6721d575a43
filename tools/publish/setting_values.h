#pragma once
// Checks of single settings values. Each returns an empty text for a value it
// accepts, otherwise the reason, to follow the setting's name in a message.
#include <string>

#include "release_settings.h"

namespace Publish {

// Printable ASCII only: the document is single-byte text read in the system
// code page, so anything else could arrive as different characters.
std::string DocumentTextProblem(const std::string& text);
// Letters, digits, '.', '_', '-', at most 255 characters, not starting or
// ending with '.', no "..": the id names the document file under documents/
// and travels in URLs.
std::string DownloadIdProblem(const std::string& id);
// Decimal digits only, at most 2^63-1: the ReleaseNumber of signed documents.
std::string ReleaseNumberProblem(const std::string& number);

// "Path | Key | Value | true|false". Throws PublishError with `where` in front
// of the reason.
RegistrySetting ParseRegistrySetting(const std::string& text, const std::string& where);

}  // namespace Publish
