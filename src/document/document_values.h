#pragma once
// Conversions of the update document's attribute texts. Pure functions; safe
// on any thread.
#include <cstdint>
#include <string>

namespace DocumentValues {

// Decimal integer as the C runtime's atoi reads it: leading blanks and one
// sign accepted, reading stops at the first non-digit, no digits gives 0.
// Values beyond the 64-bit range saturate instead of overflowing.
int64_t ParseDecimal(const std::string& text);

// A release number: decimal digits only (no sign, no blanks), at most
// 2^63 - 1. False, with number untouched, for anything else.
bool ParseReleaseNumber(const std::string& text, uint64_t& number);

// True for exactly 64 hex digits, in either letter case.
bool IsSha256Text(const std::string& text);

// True exactly when the text is "true" (lower case, nothing around it).
bool ParseFlag(const std::string& text);

// "bin\\app.exe" -> "bin"; empty when the path has no backslash.
std::string FolderOfPath(const std::string& path);

// "bin\\app.exe" -> "app.exe"; the whole path when it has no backslash.
std::string NameOfPath(const std::string& path);

}  // namespace DocumentValues
