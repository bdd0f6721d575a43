#include <algorithm>
#include <cstring>
#include <vector>

#include "codec_io.h"
#include "crc32.h"
#include "flac_blocks.h"
#include "flac_codec.h"
#include "pcm_samples.h"
#include "wav_layout.h"

namespace Kelw {
namespace {

using CodecIo::CodecError;

constexpr unsigned kCompressionLevel = 5;
constexpr std::size_t kFramesPerRead = 4096;
constexpr std::size_t kMaxBlockData = (1u << 24) - 1 - sizeof(kRiffBlockId);

struct EncodeSink {
    CodecIo::OutputFile* output;
    std::string error;
};

FLAC__StreamEncoderWriteStatus WriteBytes(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                          size_t bytes, uint32_t, uint32_t, void* data) {
    auto* sink = static_cast<EncodeSink*>(data);
    try {
        sink->output->Write(buffer, bytes);
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    } catch (const CodecError& error) {
        sink->error = error.what();
        return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
    }
}

FLAC__StreamEncoderSeekStatus SeekTo(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* data) {
    auto* sink = static_cast<EncodeSink*>(data);
    try {
        sink->output->Seek(offset);
        return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
    } catch (const CodecError& error) {
        sink->error = error.what();
        return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    }
}

FLAC__StreamEncoderTellStatus TellAt(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* data) {
    auto* sink = static_cast<EncodeSink*>(data);
    try {
        *offset = sink->output->Tell();
        return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
    } catch (const CodecError& error) {
        sink->error = error.what();
        return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    }
}

MetadataPtr MakeBlock(const char (&id)[4], const std::string& bytes, const std::string& name) {
    if (bytes.size() > kMaxBlockData) throw CodecError(name + ": too much data around the samples");
    MetadataPtr block(FLAC__metadata_object_new(FLAC__METADATA_TYPE_APPLICATION));
    if (!block) throw CodecError("out of memory");
    std::memcpy(block->data.application.id, id, sizeof(id));
    std::vector<FLAC__byte> data(bytes.begin(), bytes.end());
    if (!FLAC__metadata_object_application_set_data(block.get(), data.data(),
                                                    static_cast<unsigned>(data.size()), true))
        throw CodecError("out of memory");
    return block;
}

// The WAV's header, its tail (when there is one) and the checksum of both.
std::vector<MetadataPtr> MakeKeptBlocks(const std::string& header, const std::string& tail,
                                        const std::string& name) {
    std::vector<MetadataPtr> blocks;
    blocks.push_back(MakeBlock(kRiffBlockId, header, name));
    if (!tail.empty()) blocks.push_back(MakeBlock(kRiffBlockId, tail, name));
    blocks.push_back(MakeBlock(kCrcBlockId, Crc32Bytes(header + tail), name));
    return blocks;
}

std::string ReadTrailer(CodecIo::InputFile& input, const WavLayout& layout) {
    std::uint64_t samplesEnd = layout.header.size() + std::uint64_t(layout.dataSize);
    std::int64_t size = input.Size();
    if (static_cast<std::uint64_t>(size) < samplesEnd)
        throw CodecError(input.Path() + ": the file ends inside its samples");
    std::uint64_t trailerSize = static_cast<std::uint64_t>(size) - samplesEnd;
    if (trailerSize > kMaxBlockData)
        throw CodecError(input.Path() + ": too much data after the samples");
    std::string trailer(static_cast<std::size_t>(trailerSize), '\0');
    input.Seek(samplesEnd);
    if (!trailer.empty()) input.ReadExact(&trailer[0], trailer.size(), "the trailing chunks");
    input.Seek(layout.header.size());
    return trailer;
}

void Configure(FLAC__StreamEncoder* encoder, const WavLayout& layout,
               std::vector<FLAC__StreamMetadata*>& blocks) {
    bool ok = FLAC__stream_encoder_set_channels(encoder, layout.channels) &&
              FLAC__stream_encoder_set_bits_per_sample(encoder, 8 * layout.bytesPerSample) &&
              FLAC__stream_encoder_set_sample_rate(encoder, layout.sampleRate) &&
              FLAC__stream_encoder_set_compression_level(encoder, kCompressionLevel) &&
              FLAC__stream_encoder_set_verify(encoder, true) &&
              FLAC__stream_encoder_set_total_samples_estimate(encoder, layout.FrameCount()) &&
              FLAC__stream_encoder_set_metadata(encoder, blocks.data(),
                                                static_cast<unsigned>(blocks.size()));
    if (!ok) throw CodecError("cannot configure the encoder");
}

void EncodeSamples(FLAC__StreamEncoder* encoder, CodecIo::InputFile& input, const WavLayout& layout,
                   const EncodeSink& sink) {
    std::vector<unsigned char> bytes(kFramesPerRead * layout.FrameSize());
    std::vector<FLAC__int32> samples(kFramesPerRead * layout.channels);
    for (std::uint64_t left = layout.FrameCount(); left > 0;) {
        auto frames = static_cast<std::size_t>(std::min<std::uint64_t>(left, kFramesPerRead));
        input.ReadExact(bytes.data(), frames * layout.FrameSize(), "the samples");
        BytesToSamples(bytes.data(), frames * layout.channels, layout.bytesPerSample,
                       samples.data());
        if (!FLAC__stream_encoder_process_interleaved(encoder, samples.data(),
                                                      static_cast<unsigned>(frames)))
            throw CodecError(sink.error.empty()
                                 ? std::string("encoder failed: ") +
                                       FLAC__stream_encoder_get_resolved_state_string(encoder)
                                 : sink.error);
        left -= frames;
    }
}

}  // namespace

void EncodeWav(const std::string& wavPath, const std::string& compressedPath) {
    CodecIo::InputFile input(wavPath);
    WavLayout layout = ReadWavLayout(
        [&](char* buffer, std::size_t n, const char* what) { input.ReadExact(buffer, n, what); },
        wavPath);
    std::string trailer = ReadTrailer(input, layout);
    std::vector<MetadataPtr> kept = MakeKeptBlocks(layout.header, trailer, wavPath);
    std::vector<FLAC__StreamMetadata*> blocks;
    for (const MetadataPtr& block : kept) blocks.push_back(block.get());

    CodecIo::OutputFile output(compressedPath);
    EncodeSink sink{&output, {}};
    EncoderPtr encoder(FLAC__stream_encoder_new());
    if (!encoder) throw CodecError("out of memory");
    Configure(encoder.get(), layout, blocks);
    FLAC__StreamEncoderInitStatus status =
        FLAC__stream_encoder_init_stream(encoder.get(), WriteBytes, SeekTo, TellAt, nullptr, &sink);
    if (status != FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        throw CodecError(wavPath + ": cannot encode this format (" +
                         FLAC__StreamEncoderInitStatusString[status] + ")");
    EncodeSamples(encoder.get(), input, layout, sink);
    if (!FLAC__stream_encoder_finish(encoder.get()))
        throw CodecError(sink.error.empty()
                             ? std::string("encoder failed: ") +
                                   FLAC__stream_encoder_get_resolved_state_string(encoder.get())
                             : sink.error);
    output.Commit();
}

}  // namespace Kelw
