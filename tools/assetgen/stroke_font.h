// A tiny vector font of our own for the capitals the logos spell: each letter is a few
// polylines in a box one unit high (y down, baseline at 1), drawn as thick round-capped strokes.
#pragma once

#include <string>
#include <vector>

#include "raster.h"

namespace gen {

using Strokes = std::vector<std::vector<Vec>>;

// Letter strokes placed with the top-left of the cap box at (x, y) and cap height `height`;
// `advance` receives the box width. Letters without a design yield nothing, with advance 0.5.
Strokes LetterStrokes(char letter, float x, float y, float height, float& advance);
// Width of `text` in pixels: letters' boxes plus `gap` x height between them, a space 0.5 high.
float TextWidth(const std::string& text, float height, float gap);
// All strokes of `text` starting at (x, y).
Strokes TextStrokes(const std::string& text, float x, float y, float height, float gap);
Inside StrokesShape(const Strokes& strokes, float radius);

}  // namespace gen
