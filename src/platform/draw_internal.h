// What the drawing side of the platform layer shares inside src/platform/: the virtual-resolution
// mapping (input.cpp uses it for VirtualMouseX/Y) and the open display's renderer, which images
// and fonts draw through.
#pragma once

namespace plat {

class Renderer;

// Virtual units to back-buffer pixels under the current SetVirtualResolution mapping, x and y
// scaled separately. With no virtual resolution set, or no display open, the mapping is identity.
void VirtualToDisplay(float vx, float vy, float& dx, float& dy);
void DisplayToVirtual(float dx, float dy, float& vx, float& vy);
// Display pixels per virtual unit, horizontally and vertically.
float DisplayScaleX();
float DisplayScaleY();

// The renderer of the open display, null while no display is open.
Renderer* ActiveRenderer();

}  // namespace plat
