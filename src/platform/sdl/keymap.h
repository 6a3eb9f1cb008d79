// SDL scancodes to the Windows virtual-key numbers the program's key codes use.
#pragma once

namespace plat {

// 0 for keys the program has no number for. Takes an SDL_Scancode value.
int VirtualKeyFromScancode(int scancode);

// The side-neutral key (16 shift, 17 ctrl, 18 alt) of a left/right key (160-165), else 0.
// Left keys are the even numbers, each followed by its right key.
int GenericVirtualKey(int vk);

}  // namespace plat
