// A TrueType file made of the fuzz bytes, loaded by LoadFont on the headless twin's software
// display, measured and drawn with every character it maps. The size and style follow from the
// input's length, so a real font file is a seed as it is.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const fuzz::InputScope scope;
    // Sizes 1-32: the glyph atlas code sees tiny and ordinary glyphs without each input costing
    // the rasterisation of 224 large ones.
    const int pixelSize = 1 + int(size % 32);
    const int style = (size / 32) % 2 ? kFontSmooth : 0;
    fuzz::WriteBytes("font.ttf", data, size);

    SelectDirect3D7Backend();
    fuzz::Expect(OpenDisplay(48, 32, 0, 60), "the headless display opens");
    const int font = LoadFont("font.ttf", pixelSize, style);
    SelectFont(font);
    std::string every;
    for (int c = 1; c < 256; ++c) every += char(c);
    // A hostile font may step backwards, so a width can be anything; it must only be computed.
    TextWidthOf(every);
    TextHeightOf();
    SetDrawRotation(15);
    SetDrawScale(1.5f, 0.75f);
    DrawString(every, 2, 3);
    Present(0);
    // Closing the display frees the font's atlas, so inputs do not pile up textures.
    CloseDisplay();
    return 0;
}
