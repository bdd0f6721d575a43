#define ZSTD_STATIC_LINKING_ONLY  // ZSTD_getFrameHeader
#include "zstd_codec.h"

#include <zstd.h>

#include <cstring>
#include <memory>
#include <vector>

#include "codec_io.h"

namespace Kelz {
namespace {

using CodecIo::CodecError;

struct DctxDeleter {
    void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};
struct CctxDeleter {
    void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};

void Check(size_t result, const std::string& path) {
    if (ZSTD_isError(result))
        throw CodecError(path + ": corrupt compressed data (" + ZSTD_getErrorName(result) + ")");
}

// Input bytes with a window that can be topped up, so a frame header is
// always seen whole before it is judged.
class InputWindow {
public:
    explicit InputWindow(CodecIo::InputFile& file)
        : m_file(file), m_bytes(ZSTD_DStreamInSize() + ZSTD_FRAMEHEADERSIZE_MAX) {}

    ZSTD_inBuffer& Buffer() { return m_buffer; }
    size_t Available() const { return m_buffer.size - m_buffer.pos; }
    bool AtEnd() const { return m_eof && Available() == 0; }

    // Tops the window up to at least wanted bytes unless the file ends first.
    void Fill(size_t wanted) {
        if (Available() >= wanted || m_eof) return;
        size_t kept = Available();
        std::memmove(m_bytes.data(), m_bytes.data() + m_buffer.pos, kept);
        m_buffer = {m_bytes.data(), kept, 0};
        while (m_buffer.size < wanted && !m_eof) {
            size_t got =
                m_file.Read(m_bytes.data() + m_buffer.size, m_bytes.size() - m_buffer.size);
            m_eof = got == 0;
            m_buffer.size += got;
        }
    }

private:
    CodecIo::InputFile& m_file;
    std::vector<char> m_bytes;
    ZSTD_inBuffer m_buffer{nullptr, 0, 0};
    bool m_eof = false;
};

void RequireChecksummedFrame(InputWindow& input, const std::string& path) {
    input.Fill(ZSTD_FRAMEHEADERSIZE_MAX);
    ZSTD_frameHeader header{};
    const char* start = static_cast<const char*>(input.Buffer().src) + input.Buffer().pos;
    size_t result = ZSTD_getFrameHeader(&header, start, input.Available());
    if (ZSTD_isError(result)) throw CodecError(path + ": not a compressed file");
    if (result != 0) throw CodecError(path + ": truncated compressed file");
    if (header.frameType == ZSTD_frame && !header.checksumFlag)
        throw CodecError(path + ": compressed data without a checksum");
}

// Decodes one frame; zstd compares the frame's checksum at its end.
void DecodeFrame(ZSTD_DCtx* context, InputWindow& input, std::vector<char>& out,
                 CodecIo::OutputFile& output, const std::string& path) {
    for (;;) {
        input.Fill(1);
        ZSTD_outBuffer buffer{out.data(), out.size(), 0};
        size_t result = ZSTD_decompressStream(context, &buffer, &input.Buffer());
        Check(result, path);
        output.Write(out.data(), buffer.pos);
        if (result == 0) return;
        if (input.AtEnd() && buffer.pos < buffer.size)
            throw CodecError(path + ": truncated compressed file");
    }
}

}  // namespace

void DecompressFile(const std::string& compressedPath, const std::string& outputPath) {
    CodecIo::InputFile file(compressedPath);
    InputWindow input(file);
    input.Fill(1);
    if (input.AtEnd()) throw CodecError(compressedPath + ": empty file");
    CodecIo::OutputFile output(outputPath);
    std::unique_ptr<ZSTD_DCtx, DctxDeleter> context(ZSTD_createDCtx());
    if (!context) throw CodecError("out of memory");
    std::vector<char> out(ZSTD_DStreamOutSize());
    while (!input.AtEnd()) {
        RequireChecksummedFrame(input, compressedPath);
        DecodeFrame(context.get(), input, out, output, compressedPath);
        input.Fill(1);
    }
    output.Commit();
}

void CompressFile(const std::string& inputPath, const std::string& compressedPath, int level) {
    CodecIo::InputFile input(inputPath);
    CodecIo::OutputFile output(compressedPath);
    std::unique_ptr<ZSTD_CCtx, CctxDeleter> context(ZSTD_createCCtx());
    if (!context) throw CodecError("out of memory");
    Check(ZSTD_CCtx_setParameter(context.get(), ZSTD_c_compressionLevel, level), inputPath);
    Check(ZSTD_CCtx_setParameter(context.get(), ZSTD_c_checksumFlag, 1), inputPath);
    Check(ZSTD_CCtx_setPledgedSrcSize(context.get(), static_cast<unsigned long long>(input.Size())),
          inputPath);
    std::vector<char> in(ZSTD_CStreamInSize()), out(ZSTD_CStreamOutSize());
    for (;;) {
        size_t got = input.Read(in.data(), in.size());
        ZSTD_EndDirective mode = got == 0 ? ZSTD_e_end : ZSTD_e_continue;
        ZSTD_inBuffer source{in.data(), got, 0};
        size_t remaining = 0;
        do {
            ZSTD_outBuffer target{out.data(), out.size(), 0};
            remaining = ZSTD_compressStream2(context.get(), &target, &source, mode);
            Check(remaining, inputPath);
            output.Write(out.data(), target.pos);
        } while (mode == ZSTD_e_end ? remaining != 0 : source.pos < source.size);
        if (got == 0) break;
    }
    output.Commit();
}

}  // namespace Kelz
