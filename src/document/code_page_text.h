#pragma once
// The parser keeps UTF-8 bytes in the values of a UTF-8 document, while the
// updater uses every value as text in the system code page: as file names,
// registry values and command lines. A name such as "Données" would otherwise
// be installed as "DonnÃ©es".
#include <string>

class TiXmlDocument;

namespace CodePageText {

// True when the text is UTF-8 by XML's rules: it starts with a byte order
// mark, its first declaration names UTF-8 or no encoding, or it has none.
// A declared UTF-16 counts as UTF-8 too: the text was read as bytes, so it
// is not UTF-16.
bool IsUtf8Text(const std::string& text, const TiXmlDocument& document);

// True when the parser itself reads the text as UTF-8: it starts with a byte
// order mark or its first declaration names UTF-8 or no encoding. Other
// texts, also those without a declaration, it reads byte by byte.
bool ParserReadsUtf8(const std::string& text, const TiXmlDocument& document);

// Rewrites each attribute value that is valid UTF-8 and that the system code
// page can hold whole into that code page. Other values keep their bytes, so
// a document that already carries code page bytes reads as before.
void ConvertAttributeValues(TiXmlDocument& document);

}  // namespace CodePageText
