// PNG files to and from pixel blocks (libpng), shared by images.cpp and the public
// SavePixelsAsPng/LoadPixelsFromPng. Any bytes at all in a file give a result or a clean failure.
#pragma once

#include <string>

#include "platform/platform.h"

namespace plat {

// Largest image accepted, so a hostile header cannot ask for gigabytes.
constexpr int kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(32) * 1024 * 1024;

// Decodes into 0xAARRGGBB. hasAlpha tells whether the file carried transparency (an alpha
// channel or a transparent colour). False, with `out` empty, when the file is unreadable.
bool DecodePngFile(const std::string& file, Pixels& out, bool& hasAlpha);

}  // namespace plat
