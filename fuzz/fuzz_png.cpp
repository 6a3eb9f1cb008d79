// A PNG file made of the fuzz bytes, loaded as pixels, as an image and as a strip of frames on the
// headless twin's software display, then drawn once so every decoded pixel is touched.
#include "fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InputScope scope;
    fuzz::WriteBytes("image.png", data, size);

    const Pixels pixels = LoadPixelsFromPng("image.png");
    fuzz::Expect(pixels.argb.size() == size_t(pixels.width) * size_t(pixels.height),
                 "pixel count matches the size");

    SelectDirect3D7Backend();
    fuzz::Expect(OpenDisplay(32, 24, 0, 60), "the headless display opens");
    SetAutoCentreHandle(true);
    const int image = LoadImageFile("image.png", kImageMasked | kImageFiltered);
    fuzz::Expect((image != 0) == (pixels.width > 0), "an image loads exactly when its pixels do");
    const int strip = LoadImageStrip("image.png", 3, 2, 1, 4, kImageMasked);
    for (const int loaded : {image, strip}) {
        for (int frame = 0; frame < ImageFrameCount(loaded); ++frame) {
            SetDrawRotation(float(frame) * 30.0f);
            DrawImageFrame(loaded, 16, 12, frame);
        }
    }
    ImagesOverlap(image, 10, 10, 0, strip, 12, 12, 3);
    Present(0);
    FreeImage(image);
    FreeImage(strip);
    CloseDisplay();
    return 0;
}
