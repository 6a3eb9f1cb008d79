// PNG reading through libpng's simplified API and writing through its classic API (the one that
// takes a compression level). Saving goes to a temporary file beside the target, renamed over it
// only when every byte reached the disk.
#include "platform/png_io.h"

#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/files_internal.h"

namespace plat {

namespace {

// libpng reports write errors by longjmp, so this function holds no C++ objects that would be
// skipped; everything it needs is prepared by the caller.
bool WritePngStream(FILE* stream, const uint8_t* bytes, int width, int height, bool withAlpha,
                    int level) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_compression_level(png, level);
    // One filter for every row: choosing per row (libpng's default) costs most of the time at
    // high levels for files hardly smaller.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = size_t(width) * (withAlpha ? 4 : 3);
    for (int y = 0; y < height; ++y) png_write_row(png, bytes + size_t(y) * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool DecodePngFile(const std::string& file, Pixels& out, bool& hasAlpha) {
    out = Pixels{};
    hasAlpha = false;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return false;
    const int64_t width = image.width, height = image.height;
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels) {
        png_image_free(&image);
        return false;
    }
    hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        hasAlpha = false;
        return false;
    }
    out.width = int(width);
    out.height = int(height);
    out.argb.resize(size_t(width * height));
    for (size_t i = 0; i < out.argb.size(); ++i) {
        const uint8_t* p = &bytes[i * 4];  // B, G, R, A
        out.argb[i] = uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    return true;
}

}  // namespace plat

bool SavePixelsAsPng(const Pixels& pixels, const std::string& file, int level) {
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.width > plat::kMaxImageSide ||
        pixels.height > plat::kMaxImageSide ||
        pixels.argb.size() != size_t(pixels.width) * size_t(pixels.height) || file.empty()) {
        return false;
    }
    bool withAlpha = false;
    for (uint32_t c : pixels.argb) withAlpha = withAlpha || (c >> 24) != 0xFF;
    const size_t channels = withAlpha ? 4 : 3;
    std::vector<uint8_t> bytes(pixels.argb.size() * channels);
    for (size_t i = 0; i < pixels.argb.size(); ++i) {
        const uint32_t c = pixels.argb[i];
        uint8_t* p = &bytes[i * channels];
        p[0] = uint8_t(c >> 16);
        p[1] = uint8_t(c >> 8);
        p[2] = uint8_t(c);
        if (withAlpha) p[3] = uint8_t(c >> 24);
    }
    std::string tempName;
    const int fd = plat::OpenTemporary(file, tempName);
    if (fd < 0) return false;
    // The encoder writes through its own stdio stream on a second descriptor, so the first (and
    // the lock on the temporary file) stays ours until the file is renamed into place.
    const int encoderFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    FILE* stream = encoderFd < 0 ? nullptr : fdopen(encoderFd, "wb");
    if (!stream) {
        if (encoderFd >= 0) close(encoderFd);
        plat::FinishTemporary(fd, tempName, file, false);
        return false;
    }
    bool ok = plat::WritePngStream(stream, bytes.data(), pixels.width, pixels.height, withAlpha,
                                   level < 0 ? 0 : level > 9 ? 9 : level);
    ok = std::fflush(stream) == 0 && ok && !std::ferror(stream);
    ok = std::fclose(stream) == 0 && ok;
    return plat::FinishTemporary(fd, tempName, file, ok);
}

Pixels LoadPixelsFromPng(const std::string& file) {
    Pixels pixels;
    bool hasAlpha = false;
    plat::DecodePngFile(file, pixels, hasAlpha);
    return pixels;
}
