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

// What the decoder callbacks collect and where they write.
struct DecodeState {
    CodecIo::InputFile* input;
    CodecIo::OutputFile* output;
    std::string name;
    FLAC__StreamMetadata_StreamInfo info{};
    bool haveInfo = false;
    std::string kept;     // the "riff" blocks joined: the WAV's header, then its tail
    std::string keptCrc;  // 4 bytes from our own encoder; absent in other streams
    WavLayout layout;
    bool headerWritten = false;
    std::uint64_t framesWritten = 0;
    std::vector<unsigned char> bytes;
    std::string error;
};

// The kept header when there is one, else a plain header for the stream.
void PrepareHeader(DecodeState& state) {
    if (!state.haveInfo) throw CodecError(state.name + ": missing stream information");
    const auto& info = state.info;
    if (state.kept.empty()) {
        if (info.total_samples == 0) throw CodecError(state.name + ": stream length unknown");
        unsigned bytesPerSample = (info.bits_per_sample + 7) / 8;
        state.kept = BuildCanonicalHeader(info.channels, info.sample_rate, bytesPerSample,
                                          info.total_samples);
        if (std::uint64_t(info.total_samples) * info.channels * bytesPerSample % 2 != 0)
            state.kept += '\0';  // RIFF pad byte after odd-sized samples
    }
    if (!state.keptCrc.empty() && Crc32Bytes(state.kept) != state.keptCrc)
        throw CodecError(state.name + ": corrupt sound data (damaged WAV header or tail)");
    state.layout = ParseWavHeader(state.kept, state.name);
    const WavLayout& layout = state.layout;
    if (layout.channels != info.channels || 8 * layout.bytesPerSample < info.bits_per_sample ||
        layout.FrameCount() != info.total_samples)
        throw CodecError(state.name + ": header does not match the samples");
}

void WriteHeaderOnce(DecodeState& state) {
    if (state.headerWritten) return;
    PrepareHeader(state);
    state.output->Write(state.layout.header.data(), state.layout.header.size());
    state.headerWritten = true;
}

void WriteFrame(DecodeState& state, const FLAC__Frame* frame, const FLAC__int32* const buffer[]) {
    WriteHeaderOnce(state);
    const WavLayout& layout = state.layout;
    unsigned count = frame->header.blocksize;
    if (frame->header.channels != layout.channels ||
        state.framesWritten + count > layout.FrameCount())
        throw CodecError(state.name + ": more samples than the header declares");
    state.bytes.resize(std::size_t(count) * layout.FrameSize());
    unsigned char* out = state.bytes.data();
    for (unsigned i = 0; i < count; ++i)
        for (unsigned ch = 0; ch < layout.channels; ++ch, out += layout.bytesPerSample)
            SampleToBytes(buffer[ch][i], layout.bytesPerSample, out);
    state.output->Write(state.bytes.data(), state.bytes.size());
    state.framesWritten += count;
}

FLAC__StreamDecoderReadStatus ReadBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                        size_t* bytes, void* data) {
    auto* state = static_cast<DecodeState*>(data);
    try {
        *bytes = state->input->Read(buffer, *bytes);
        return *bytes == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                           : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
    } catch (const CodecError& error) {
        state->error = error.what();
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
}

FLAC__StreamDecoderWriteStatus WriteSamples(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                            const FLAC__int32* const buffer[], void* data) {
    auto* state = static_cast<DecodeState*>(data);
    try {
        WriteFrame(*state, frame, buffer);
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    } catch (const CodecError& error) {
        state->error = error.what();
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
}

void KeepMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* block, void* data) {
    auto* state = static_cast<DecodeState*>(data);
    if (block->type == FLAC__METADATA_TYPE_STREAMINFO) {
        state->info = block->data.stream_info;
        state->haveInfo = true;
    } else if (block->type == FLAC__METADATA_TYPE_APPLICATION &&
               std::memcmp(block->data.application.id, kRiffBlockId, sizeof(kRiffBlockId)) == 0) {
        const char* bytes = reinterpret_cast<const char*>(block->data.application.data);
        state->kept.append(bytes, block->length - sizeof(kRiffBlockId));
    } else if (block->type == FLAC__METADATA_TYPE_APPLICATION &&
               std::memcmp(block->data.application.id, kCrcBlockId, sizeof(kCrcBlockId)) == 0) {
        const char* bytes = reinterpret_cast<const char*>(block->data.application.data);
        state->keptCrc.assign(bytes, block->length - sizeof(kCrcBlockId));
    }
}

// The library would otherwise carry on past a damaged frame with silence.
void RecordError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status, void* data) {
    auto* state = static_cast<DecodeState*>(data);
    if (state->error.empty())
        state->error = state->name + ": corrupt sound data (" +
                       FLAC__StreamDecoderErrorStatusString[status] + ")";
}

bool HasSignature(const FLAC__StreamMetadata_StreamInfo& info) {
    for (FLAC__byte b : info.md5sum)
        if (b != 0) return true;
    return false;
}

void RunDecoder(FLAC__StreamDecoder* decoder, DecodeState& state) {
    FLAC__stream_decoder_set_md5_checking(decoder, true);
    FLAC__stream_decoder_set_metadata_respond(decoder, FLAC__METADATA_TYPE_APPLICATION);
    if (FLAC__stream_decoder_init_stream(decoder, ReadBytes, nullptr, nullptr, nullptr, nullptr,
                                         WriteSamples, KeepMetadata, RecordError,
                                         &state) != FLAC__STREAM_DECODER_INIT_STATUS_OK)
        throw CodecError("cannot start the decoder");
    bool processed = FLAC__stream_decoder_process_until_end_of_stream(decoder);
    if (!state.error.empty()) throw CodecError(state.error);
    if (!processed || !state.haveInfo)
        throw CodecError(state.name + ": not a compressed sound file");
    if (!HasSignature(state.info))
        throw CodecError(state.name + ": compressed sound without a signature");
    if (!FLAC__stream_decoder_finish(decoder))
        throw CodecError(state.name + ": corrupt sound data (signature mismatch)");
}

}  // namespace

void DecodeToWav(const std::string& compressedPath, const std::string& wavPath) {
    CodecIo::InputFile input(compressedPath);
    CodecIo::OutputFile output(wavPath);
    DecodeState state;
    state.input = &input;
    state.output = &output;
    state.name = compressedPath;
    DecoderPtr decoder(FLAC__stream_decoder_new());
    if (!decoder) throw CodecError("out of memory");
    RunDecoder(decoder.get(), state);
    WriteHeaderOnce(state);
    if (state.framesWritten != state.layout.FrameCount())
        throw CodecError(compressedPath + ": fewer samples than the header declares");
    const std::string& tail = state.kept;
    output.Write(tail.data() + state.layout.header.size(),
                 tail.size() - state.layout.header.size());
    output.Commit();
}

}  // namespace Kelw
