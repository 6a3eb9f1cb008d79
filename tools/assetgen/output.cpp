// PNG files carry no time or text chunks, so a rebuild writes the same bytes.
#include "output.h"

#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace gen {

bool WritePng(const std::string& path, const Canvas& canvas) {
    // Built before setjmp: a longjmp must not skip a destructor.
    const std::vector<uint8_t> rgba = ToRgba8(canvas);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        std::fprintf(stderr, "assetgen: libpng failed on %s\n", path.c_str());
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(canvas.width), png_uint_32(canvas.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < canvas.height; ++y) {
        png_write_row(png, rgba.data() + size_t(y) * size_t(canvas.width) * 4);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v & 255));
    out.push_back(uint8_t((v >> 8) & 255));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutId(std::vector<uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

}  // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    PutId(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    PutId(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        const float c = s < -1 ? -1 : (s > 1 ? 1 : s);
        Put16(out, uint32_t(uint16_t(int16_t(std::lround(c * 32767)))));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace gen
