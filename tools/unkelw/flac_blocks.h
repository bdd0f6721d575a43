#pragma once
// Owners for libFLAC objects and the id of the blocks that carry WAV bytes.
#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include <memory>

namespace Kelw {

constexpr char kRiffBlockId[4] = {'r', 'i', 'f', 'f'};
// Holds the CRC-32 (4 bytes, little-endian) of all "riff" blocks joined.
constexpr char kCrcBlockId[4] = {'k', 'c', 'r', 'c'};

struct EncoderDeleter {
    void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};
struct DecoderDeleter {
    void operator()(FLAC__StreamDecoder* decoder) const { FLAC__stream_decoder_delete(decoder); }
};
struct MetadataDeleter {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using EncoderPtr = std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter>;
using DecoderPtr = std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter>;
using MetadataPtr = std::unique_ptr<FLAC__StreamMetadata, MetadataDeleter>;

}  // namespace Kelw
