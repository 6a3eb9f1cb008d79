// Images: loading from PNG (whole or cut into frames), blank images, drawing a frame at its handle,
// grabbing the screen, and the pixel-exact overlap test. Each image keeps its pixels on the CPU
// (for the overlap test and re-uploads) beside its renderer texture.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/draw_internal.h"
#include "platform/platform.h"
#include "platform/png_io.h"

namespace plat {

namespace {

// One image: its frames laid out in a grid on one pixel sheet, uploaded as one texture.
struct ImageRecord {
    bool live = false;
    int frameWidth = 0;  // pixels
    int frameHeight = 0;
    int frameCount = 0;
    int columns = 0;      // frames per row of the sheet
    float handleX = 0;    // pixels from the frame's top-left corner
    float handleY = 0;
    bool filtered = false;
    int sheetWidth = 0;
    std::vector<uint32_t> sheet;  // 0xAARRGGBB
    int texture = 0;
};

// Every image ever made; id = index + 1. Written by the loaders and FreeImage, emptied of pixels
// by CloseDisplay. Ids are never reused, so a stale id stays harmless.
std::vector<ImageRecord> gImages;
bool gAutoCentre = false;  // SetAutoCentreHandle; lives for the whole run

ImageRecord* Find(int image) {
    if (image < 1 || size_t(image) > gImages.size()) return nullptr;
    ImageRecord& record = gImages[size_t(image) - 1];
    return record.live ? &record : nullptr;
}

uint32_t* FramePixel(ImageRecord& record, int frame, int x, int y) {
    const int sheetX = (frame % record.columns) * record.frameWidth + x;
    const int sheetY = (frame / record.columns) * record.frameHeight + y;
    return &record.sheet[size_t(sheetY) * size_t(record.sheetWidth) + size_t(sheetX)];
}

// A new image with transparent frames, its texture made from the sheet by Upload. 0 when the
// size is unusable or no display is open.
int NewImage(int frameWidth, int frameHeight, int frameCount, int flags) {
    if (!ActiveRenderer() || frameWidth <= 0 || frameHeight <= 0 || frameCount <= 0 ||
        frameWidth > kMaxImageSide || frameHeight > kMaxImageSide ||
        int64_t(frameWidth) * frameHeight * frameCount > kMaxImagePixels) {
        return 0;
    }
    ImageRecord record;
    record.live = true;
    record.frameWidth = frameWidth;
    record.frameHeight = frameHeight;
    record.frameCount = frameCount;
    // A near-square grid keeps the sheet inside the texture limits of every back end.
    record.columns = int(std::ceil(std::sqrt(double(frameCount))));
    while (int64_t(record.columns) * frameWidth > kMaxImageSide && record.columns > 1) --record.columns;
    const int rows = (frameCount + record.columns - 1) / record.columns;
    record.sheetWidth = record.columns * frameWidth;
    record.sheet.assign(size_t(record.sheetWidth) * size_t(rows) * size_t(frameHeight), 0);
    record.filtered = (flags & (kImageFiltered | kImageMipmapped)) != 0;
    if (gAutoCentre) {
        record.handleX = float(frameWidth) * 0.5f;
        record.handleY = float(frameHeight) * 0.5f;
    }
    gImages.push_back(std::move(record));
    return int(gImages.size());
}

bool Upload(ImageRecord& record, int flags) {
    const int sheetHeight = int(record.sheet.size() / size_t(record.sheetWidth));
    record.texture = ActiveRenderer()->CreateTexture(record.sheet.data(), record.sheetWidth,
                                                    sheetHeight, (flags & kImageMipmapped) != 0);
    if (record.texture) return true;
    record = ImageRecord{};
    return false;
}

// Frames cut row by row from decoded pixels, then uploaded. 0 when the file holds too few frames.
int ImageFromPixels(const Pixels& file, bool hasAlpha, int frameWidth, int frameHeight,
                    int firstFrame, int frameCount, int flags) {
    if (frameWidth <= 0 || frameHeight <= 0 || firstFrame < 0 || frameCount <= 0) return 0;
    const int perRow = file.width / frameWidth;
    const int64_t available = int64_t(perRow) * (file.height / frameHeight);
    if (int64_t(firstFrame) + frameCount > available) return 0;
    const int id = NewImage(frameWidth, frameHeight, frameCount, flags);
    if (!id) return 0;
    ImageRecord& record = gImages[size_t(id) - 1];
    const bool mask = (flags & kImageMasked) && !hasAlpha;
    for (int f = 0; f < frameCount; ++f) {
        const int fileX = ((firstFrame + f) % perRow) * frameWidth;
        const int fileY = ((firstFrame + f) / perRow) * frameHeight;
        for (int y = 0; y < frameHeight; ++y) {
            const uint32_t* src = &file.argb[size_t(fileY + y) * size_t(file.width) + size_t(fileX)];
            uint32_t* dst = FramePixel(record, f, 0, y);
            for (int x = 0; x < frameWidth; ++x) {
                const uint32_t c = src[x];
                dst[x] = (mask && (c & 0x00FFFFFFu) == 0) ? 0u : c;
            }
        }
    }
    return Upload(record, flags) ? id : 0;
}

}  // namespace

void FreeAllImages() {
    Renderer* renderer = ActiveRenderer();
    for (ImageRecord& record : gImages) {
        if (record.live && renderer) renderer->DestroyTexture(record.texture);
        record = ImageRecord{};
    }
}

}  // namespace plat

using plat::ImageRecord;

void SetAutoCentreHandle(bool on) { plat::gAutoCentre = on; }

int LoadImageFile(const std::string& file, int flags) {
    if (!plat::ActiveRenderer()) return 0;
    Pixels pixels;
    bool hasAlpha = false;
    if (!plat::DecodePngFile(file, pixels, hasAlpha)) return 0;
    return plat::ImageFromPixels(pixels, hasAlpha, pixels.width, pixels.height, 0, 1, flags);
}

int LoadImageStrip(const std::string& file, int frameWidth, int frameHeight, int firstFrame,
                   int frameCount, int flags) {
    if (!plat::ActiveRenderer()) return 0;
    Pixels pixels;
    bool hasAlpha = false;
    if (!plat::DecodePngFile(file, pixels, hasAlpha)) return 0;
    return plat::ImageFromPixels(pixels, hasAlpha, frameWidth, frameHeight, firstFrame, frameCount,
                                 flags);
}

int CreateBlankImage(int width, int height, int frameCount, int flags) {
    const int id = plat::NewImage(width, height, frameCount, flags);
    if (!id) return 0;
    return plat::Upload(plat::gImages[size_t(id) - 1], flags) ? id : 0;
}

void FreeImage(int image) {
    ImageRecord* record = plat::Find(image);
    if (!record) return;
    if (plat::Renderer* renderer = plat::ActiveRenderer()) renderer->DestroyTexture(record->texture);
    *record = ImageRecord{};
}

int ImageWidth(int image) {
    const ImageRecord* record = plat::Find(image);
    return record ? record->frameWidth : 0;
}

int ImageHeight(int image) {
    const ImageRecord* record = plat::Find(image);
    return record ? record->frameHeight : 0;
}

int ImageFrameCount(int image) {
    const ImageRecord* record = plat::Find(image);
    return record ? record->frameCount : 0;
}

void DrawImageFrame(int image, float x, float y, int frame) {
    const ImageRecord* record = plat::Find(image);
    if (!record || frame < 0 || frame >= record->frameCount) return;
    const plat::TexelRect texels{float((frame % record->columns) * record->frameWidth),
                                 float((frame / record->columns) * record->frameHeight),
                                 float(record->frameWidth), float(record->frameHeight)};
    plat::DrawLocalRect(record->texture, texels, record->filtered, x, y, -record->handleX,
                        -record->handleY, float(record->frameWidth), float(record->frameHeight));
}

void GrabScreenToImage(int image, int x, int y, int frame) {
    ImageRecord* record = plat::Find(image);
    plat::Renderer* renderer = plat::ActiveRenderer();
    if (!record || !renderer || frame < 0 || frame >= record->frameCount) return;
    std::vector<uint32_t> grabbed(size_t(record->frameWidth) * size_t(record->frameHeight));
    renderer->ReadPixels(x, y, record->frameWidth, record->frameHeight, grabbed.data());
    for (int row = 0; row < record->frameHeight; ++row) {
        std::copy_n(&grabbed[size_t(row) * size_t(record->frameWidth)], record->frameWidth,
                    plat::FramePixel(*record, frame, 0, row));
    }
    renderer->UpdateTexture(record->texture, (frame % record->columns) * record->frameWidth,
                            (frame / record->columns) * record->frameHeight, record->frameWidth,
                            record->frameHeight, grabbed.data(), record->frameWidth);
}

Pixels GrabScreenPixels(int x, int y, int width, int height) {
    Pixels pixels;
    plat::Renderer* renderer = plat::ActiveRenderer();
    if (!renderer || width <= 0 || height <= 0 || width > plat::kMaxImageSide ||
        height > plat::kMaxImageSide) {
        return pixels;
    }
    pixels.width = width;
    pixels.height = height;
    pixels.argb.resize(size_t(width) * size_t(height));
    renderer->ReadPixels(x, y, width, height, pixels.argb.data());
    return pixels;
}

uint32_t ReadPixelArgb(const Pixels& pixels, int x, int y) {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return 0;
    const size_t index = size_t(y) * size_t(pixels.width) + size_t(x);
    return index < pixels.argb.size() ? pixels.argb[index] : 0;
}

void WritePixelArgb(Pixels& pixels, int x, int y, uint32_t argb) {
    if (x < 0 || y < 0 || x >= pixels.width || y >= pixels.height) return;
    const size_t index = size_t(y) * size_t(pixels.width) + size_t(x);
    if (index < pixels.argb.size()) pixels.argb[index] = argb;
}

// Both frames sit under the same scale and rotation, so B's frame seen from A's is a plain shift
// by d texels: A's pixel square (i, j) covers [i + dx, i + dx + 1) x [j + dy, j + dy + 1) of B.
// The test is exact on those squares; squares that only share an edge do not overlap.
bool ImagesOverlap(int imageA, float xA, float yA, int frameA, int imageB, float xB, float yB,
                   int frameB) {
    ImageRecord* a = plat::Find(imageA);
    ImageRecord* b = plat::Find(imageB);
    if (!a || !b || frameA < 0 || frameA >= a->frameCount || frameB < 0 || frameB >= b->frameCount) {
        return false;
    }
    float sx, sy, cosine, sine;
    GetDrawScale(sx, sy);
    plat::CurrentTurn(cosine, sine);
    if (sx == 0 || sy == 0 || !std::isfinite(sx) || !std::isfinite(sy)) return false;
    const double wx = double(xA) - xB, wy = double(yA) - yB;
    double dx = (cosine * wx + sine * wy) / sx + b->handleX - a->handleX;
    double dy = (-sine * wx + cosine * wy) / sy + b->handleY - a->handleY;
    if (!std::isfinite(dx) || !std::isfinite(dy)) return false;
    // Positions that should be whole texels apart often miss by a rounding error; snap them, or
    // frames that merely touch would count as overlapping.
    constexpr double kSnap = 1.0 / 1024;
    if (std::fabs(dx - std::round(dx)) < kSnap) dx = std::round(dx);
    if (std::fabs(dy - std::round(dy)) < kSnap) dy = std::round(dy);
    const int wA = a->frameWidth, hA = a->frameHeight, wB = b->frameWidth, hB = b->frameHeight;
    if (!(dx < wB && dx + wA > 0 && dy < hB && dy + hA > 0)) return false;
    const int shiftX = int(std::floor(dx)), shiftY = int(std::floor(dy));
    const int spanX = dx > shiftX ? 1 : 0, spanY = dy > shiftY ? 1 : 0;  // straddles two texels
    // A's pixels whose squares reach into B at all.
    const int iBegin = std::max(0, -shiftX - spanX), iEnd = std::min(wA, wB - shiftX);
    const int jBegin = std::max(0, -shiftY - spanY), jEnd = std::min(hA, hB - shiftY);
    const uint32_t* originB = plat::FramePixel(*b, frameB, 0, 0);
    const size_t strideB = size_t(b->sheetWidth);
    auto solidB = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < wB && y < hB && (originB[size_t(y) * strideB + size_t(x)] >> 24) != 0;
    };
    for (int j = jBegin; j < jEnd; ++j) {
        const uint32_t* rowA = plat::FramePixel(*a, frameA, 0, j);
        for (int i = iBegin; i < iEnd; ++i) {
            if ((rowA[i] >> 24) == 0) continue;
            const int bx = i + shiftX, by = j + shiftY;
            if (solidB(bx, by) || (spanX && solidB(bx + 1, by)) || (spanY && solidB(bx, by + 1)) ||
                (spanX && spanY && solidB(bx + 1, by + 1))) {
                return true;
            }
        }
    }
    return false;
}
