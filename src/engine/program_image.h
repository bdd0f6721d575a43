#pragma once
// Telling a program image from whatever else a server may send in its place.
// Safe on any thread.
#include <string>

namespace Engine {

// True when the file at path is a Windows program image: a DOS header ("MZ")
// whose header offset leads to the "PE\0\0" signature. False for a missing or
// unreadable file and for anything else, such as the error or log-in page
// that a service or a network portal answers with.
bool IsProgramImageFile(const std::string& path);

// True when the updater image at path carries a document key (see
// public_key_block.h). False for a missing or unreadable file, an image
// built without the key block, or one stamped without a key.
bool CarriesDocumentKey(const std::string& path);

}  // namespace Engine
