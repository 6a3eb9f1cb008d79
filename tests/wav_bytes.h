// Builds WAV files byte by byte for the audio tests: a well-formed PCM file, or chunks assembled
// by hand to make broken ones.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace wavbytes {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutId(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

// A chunk with its declared size (which may lie) and body; odd bodies get their pad byte.
inline Bytes Chunk(const char* id, const Bytes& body, int64_t declared = -1, bool pad = true) {
    Bytes b;
    PutId(b, id);
    Put32(b, uint32_t(declared < 0 ? body.size() : uint64_t(declared)));
    b.insert(b.end(), body.begin(), body.end());
    if (pad && (body.size() & 1)) b.push_back(0);
    return b;
}

inline Bytes Fmt(int format, int channels, uint32_t rate, int bits) {
    Bytes b;
    Put16(b, uint32_t(format));
    Put16(b, uint32_t(channels));
    Put32(b, rate);
    Put32(b, rate * uint32_t(channels * bits / 8));
    Put16(b, uint32_t(channels * bits / 8));
    Put16(b, uint32_t(bits));
    return b;
}

inline Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    PutId(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// 16-bit PCM from sample values (interleaved when stereo).
inline Bytes Pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t s : samples) Put16(b, uint16_t(s));
    return b;
}

inline Bytes Wav16(int channels, uint32_t rate, const std::vector<int16_t>& samples) {
    return Riff({Chunk("fmt ", Fmt(1, channels, rate, 16)), Chunk("data", Pcm16(samples))});
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace wavbytes
