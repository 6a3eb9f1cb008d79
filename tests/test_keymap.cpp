// The physical-key map from SDL scancodes to the Windows virtual-key numbers of the key codes.
#include <gtest/gtest.h>

#include <SDL_keyboard.h>

#include <set>

#include "platform/sdl/keymap.h"

namespace {

struct KeyCase {
    SDL_Scancode scancode;
    int vk;
};

// Every key the program's key codes name, and the neighbours most easily confused with them.
constexpr KeyCase kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},          {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_ESCAPE, 27},      {SDL_SCANCODE_SPACE, 32},
    {SDL_SCANCODE_PAGEUP, 33},       {SDL_SCANCODE_PAGEDOWN, 34},    {SDL_SCANCODE_END, 35},
    {SDL_SCANCODE_HOME, 36},         {SDL_SCANCODE_LEFT, 37},        {SDL_SCANCODE_UP, 38},
    {SDL_SCANCODE_RIGHT, 39},        {SDL_SCANCODE_DOWN, 40},        {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},       {SDL_SCANCODE_0, 48},           {SDL_SCANCODE_1, 49},
    {SDL_SCANCODE_5, 53},            {SDL_SCANCODE_9, 57},           {SDL_SCANCODE_A, 65},
    {SDL_SCANCODE_M, 77},            {SDL_SCANCODE_Z, 90},           {SDL_SCANCODE_KP_0, 96},
    {SDL_SCANCODE_KP_1, 97},         {SDL_SCANCODE_KP_9, 105},       {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},     {SDL_SCANCODE_KP_MINUS, 109},   {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_F1, 112},         {SDL_SCANCODE_F4, 115},
    {SDL_SCANCODE_F11, 122},         {SDL_SCANCODE_F12, 123},        {SDL_SCANCODE_LSHIFT, 160},
    {SDL_SCANCODE_RSHIFT, 161},      {SDL_SCANCODE_LCTRL, 162},      {SDL_SCANCODE_RCTRL, 163},
    {SDL_SCANCODE_LALT, 164},        {SDL_SCANCODE_RALT, 165},       {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},      {SDL_SCANCODE_COMMA, 188},      {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},      {SDL_SCANCODE_SLASH, 191},      {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},  {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
};

TEST(Keymap, ScancodesGiveVirtualKeys) {
    for (const KeyCase& k : kKeys)
        EXPECT_EQ(plat::VirtualKeyFromScancode(k.scancode), k.vk) << SDL_GetScancodeName(k.scancode);
}

TEST(Keymap, UnknownScancodesGiveNothingAndNoTwoKeysCollide) {
    for (int code : {int(SDL_SCANCODE_UNKNOWN), int(SDL_SCANCODE_MUTE), int(SDL_SCANCODE_AUDIONEXT), -1, 100000})
        EXPECT_EQ(plat::VirtualKeyFromScancode(code), 0) << code;

    // Apart from the two Return keys and the two places ISO and ANSI boards put the backslash,
    // every scancode has its own number, and every number is a valid key code.
    std::set<int> seen;
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
        const int vk = plat::VirtualKeyFromScancode(code);
        if (vk == 0 || code == SDL_SCANCODE_KP_ENTER || code == SDL_SCANCODE_NONUSHASH) continue;
        EXPECT_TRUE(vk >= 1 && vk <= 255) << code;
        EXPECT_TRUE(seen.insert(vk).second) << "number " << vk << " used twice, scancode " << code;
    }
}

TEST(Keymap, SidedModifiersHaveAGenericKey) {
    const int expected[][2] = {{160, 16}, {161, 16}, {162, 17}, {163, 17}, {164, 18}, {165, 18},
                               {16, 0},   {65, 0},   {166, 0}};
    for (const auto& e : expected) EXPECT_EQ(plat::GenericVirtualKey(e[0]), e[1]) << e[0];
}

}  // namespace
