#pragma once
// Numeric character references ("&#8217;", "&#x20AC;") in a document that
// the parser reads byte by byte: it keeps only the low byte of the number,
// so "Acme&#8217;s" became "Acme" + 0x19 + "s" and "&#8364;" became 0xAC.
// XML writers produce such references for every character that the
// document's declared encoding (ISO-8859-1, windows-1252) cannot hold.
// Pure functions; safe on any thread.
#include <string>

namespace CharacterReferences {

// The text with every well-formed numeric reference to a character from
// U+0080 on written out: as UTF-8 when toUtf8, otherwise in the system code
// page. A reference that the code page cannot hold, or that names no
// character (a surrogate, beyond U+10FFFF), stays as it is, and so do
// references below U+0080, which the parser reads right ("&#38;" is still
// an ampersand to it, not markup).
std::string Expand(const std::string& text, bool toUtf8);

}  // namespace CharacterReferences
