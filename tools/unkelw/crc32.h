#pragma once
// CRC-32 (the polynomial of zip and PNG) of the WAV bytes that travel in
// metadata, which the stream's MD5 signature does not cover.
#include <cstddef>
#include <cstdint>
#include <string>

namespace Kelw {

std::uint32_t Crc32(const std::string& bytes);
// The CRC-32 as 4 bytes, least significant first, as stored in metadata.
std::string Crc32Bytes(const std::string& bytes);

}  // namespace Kelw
