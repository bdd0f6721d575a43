#pragma once
// One file that the update document lists: entry i of the document's five
// parallel file lists, gathered into one record.
#include <cstdint>
#include <string>

struct UpdateFileEntry {
    // Object name of the file's HTTP request on the files server, as it stands.
    std::string serverRelativePath;
    // Path below the product's data folder, backslash-separated.
    std::string clientRelativePath;
    // Opaque version token; only ever compared, exactly.
    std::string checkSum;
    // Byte count of the download (the compressed size of a compressed file).
    int64_t size = 0;
    // The file arrives compressed ("IsCompressed" is exactly "true").
    bool isCompressed = false;
    // SHA-256 of the file as installed (after unpacking), 64 lower-case hex
    // digits; empty when the document gives none.
    std::string sha256;
    // SHA-256 of the file as served (a compressed file before unpacking),
    // from "ServedSha256"; empty when the document gives none.
    std::string servedSha256;
};
