// What the drawing side of the platform layer shares inside src/platform/: the virtual-resolution
// mapping (input.cpp uses it for VirtualMouseX/Y), the open display's renderer, and the quad
// builder through which images and fonts draw under the current draw state.
#pragma once

#include "platform/renderer.h"

namespace plat {

// Virtual units to back-buffer pixels under the current SetVirtualResolution mapping, x and y
// scaled separately. With no virtual resolution set, or no display open, the mapping is identity.
void VirtualToDisplay(float vx, float vy, float& dx, float& dy);
void DisplayToVirtual(float dx, float dy, float& vx, float& vy);
// Display pixels per virtual unit, horizontally and vertically.
float DisplayScaleX();
float DisplayScaleY();

// The renderer of the open display, null while no display is open.
Renderer* ActiveRenderer();

// Cosine and sine of the current draw rotation (exact for whole quarter turns).
void CurrentTurn(float& cosine, float& sine);

// A rectangle of texels of a texture.
struct TexelRect {
    float x = 0, y = 0, width = 0, height = 0;
};

// Draws the rectangle (localX, localY, localWidth, localHeight), given in virtual units relative to
// the pivot (pivotX, pivotY), scaled and turned about the pivot by the current draw state, with the
// current colour, alpha and blend. texture 0 fills it with the colour.
void DrawLocalRect(int texture, const TexelRect& texels, bool filtered, float pivotX, float pivotY,
                   float localX, float localY, float localWidth, float localHeight);

// Images and fonts belong to the open display; CloseDisplay calls these before the renderer goes.
void FreeAllImages();
void FreeAllFonts();

}  // namespace plat
