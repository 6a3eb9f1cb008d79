// Writing the generator's results: RGBA PNG files through libpng and 16-bit mono PCM WAV files.
// Both return false (after printing why) when the file cannot be written.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

namespace gen {

constexpr int kSampleRate = 44100;

bool WritePng(const std::string& path, const Canvas& canvas);
// Samples in -1..1; they are clipped to 16 bits.
bool WriteWav(const std::string& path, const std::vector<float>& samples);

}  // namespace gen
