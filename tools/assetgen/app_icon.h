// The application icon the desktop's menus show, drawn at the hicolor theme's usual sizes.
// Kept apart from the game's Files/ folder: the game never loads it.
#pragma once

#include <string>

#include "raster.h"

namespace gen {

// One square icon, `size` pixels wide, from a single design.
Canvas DrawAppIcon(int size);
// Writes <folder>/hicolor/NxN/apps/crockery-drift.png for every size; false when one fails.
bool WriteAppIcons(const std::string& folder);

}  // namespace gen
