// RIFF WAVE decoding shared by every audio driver: PCM 8- or 16-bit, mono or stereo, decoded to
// interleaved signed 16-bit. Every read is bounds-checked against the buffer, with sizes in 64-bit
// arithmetic, so a header that lies about its sizes cannot make us read past the end.
#include "platform/audio.h"

namespace plat {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kFmtMinBytes = 16;
constexpr size_t kExtensibleFmtBytes = 40;  // the sub-format GUID ends here
constexpr size_t kSubFormatOffset = 24;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
bool IdIs(const uint8_t* p, const char* id) {
    return p[0] == uint8_t(id[0]) && p[1] == uint8_t(id[1]) && p[2] == uint8_t(id[2]) &&
           p[3] == uint8_t(id[3]);
}

}  // namespace

bool DecodeWav(const uint8_t* bytes, size_t size, Pcm& out) {
    out = Pcm{};
    if (bytes == nullptr || size < 12 || !IdIs(bytes, "RIFF") || !IdIs(bytes + 8, "WAVE")) {
        return false;
    }
    // The RIFF size is often wrong (streamed writers leave 0 or -1); the buffer is the authority.
    const uint8_t* fmt = nullptr;
    size_t fmtSize = 0;
    const uint8_t* data = nullptr;
    size_t dataSize = 0;
    uint64_t at = 12;
    while (at + kChunkHeaderBytes <= size) {
        const uint8_t* chunk = bytes + at;
        const uint64_t declared = U32(chunk + 4);
        const uint64_t bodyStart = at + kChunkHeaderBytes;
        const uint64_t available = size - bodyStart;
        const size_t body = size_t(declared < available ? declared : available);
        if (IdIs(chunk, "fmt ") && fmt == nullptr) {
            fmt = bytes + bodyStart;
            fmtSize = body;
        } else if (IdIs(chunk, "data") && data == nullptr) {
            data = bytes + bodyStart;
            dataSize = body;
        }
        // Chunks are padded to an even length.
        at = bodyStart + declared + (declared & 1u);
    }
    if (fmt == nullptr || data == nullptr || fmtSize < kFmtMinBytes) return false;

    uint16_t format = U16(fmt);
    const int channels = U16(fmt + 2);
    const uint32_t rate = U32(fmt + 4);
    const int bits = U16(fmt + 14);
    if (format == kFormatExtensible) {
        if (fmtSize < kExtensibleFmtBytes) return false;
        format = U16(fmt + kSubFormatOffset);
    }
    if (format != kFormatPcm || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) ||
        rate == 0 || rate > uint32_t(INT32_MAX)) {
        return false;
    }
    const size_t frameBytes = size_t(channels) * size_t(bits / 8);
    const size_t frames = dataSize / frameBytes;
    if (frames == 0) return false;

    out.rate = int(rate);
    out.channels = channels;
    out.samples.resize(frames * size_t(channels));
    const size_t count = out.samples.size();
    if (bits == 8) {
        for (size_t i = 0; i < count; ++i) out.samples[i] = int16_t((int(data[i]) - 128) * 256);
    } else {
        for (size_t i = 0; i < count; ++i) out.samples[i] = int16_t(U16(data + 2 * i));
    }
    return true;
}

}  // namespace plat
