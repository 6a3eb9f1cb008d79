// Fonts: TrueType files rasterised once by FreeType into a glyph atlas per font (white glyphs,
// coverage in alpha, so colour and alpha tint them), code points 32-255 from the Latin-1 byte.
// Glyphs are rasterised at the display scale current at load time; metrics answer in virtual units.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/draw_internal.h"
#include "platform/platform.h"

namespace plat {

namespace {

constexpr int kFirstChar = 32;
constexpr int kCharCount = 256 - kFirstChar;
constexpr int kGlyphGap = 1;  // empty texels between glyphs, so filtering never mixes two
constexpr int kMaxPixelSize = 400;  // display pixels; larger glyphs would need atlases past any limit
constexpr int kMaxAtlasHeight = 16384;

struct Glyph {
    int atlasX = 0, atlasY = 0;  // texels
    int width = 0, height = 0;   // display pixels (= texels)
    int left = 0;                // from the pen to the bitmap's left edge, display pixels
    int top = 0;                 // from the baseline up to the bitmap's top edge
    int advance = 0;             // pen step, display pixels
};

struct FontRecord {
    bool live = false;
    int texture = 0;
    int ascent = 0;      // display pixels above the baseline
    int lineHeight = 0;  // ascent + descent, display pixels
    float scaleX = 1, scaleY = 1;  // display pixels per virtual unit when rasterised
    Glyph glyphs[kCharCount];
};

// The fonts of the open display; id = gFontIdBase + index + 1. Written by LoadFont, emptied by
// CloseDisplay, which moves the base past the ids it drops: ids are never reused, and a display
// reopened again and again does not keep the glyph tables of the fonts it closed.
std::vector<FontRecord> gFonts;
int gFontIdBase = 0;
int gCurrentFont = 0;  // SelectFont's choice

FT_Library Library() {
    static FT_Library library = nullptr;
    static bool failed = false;
    if (!library && !failed && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        failed = true;
    }
    return library;
}

FontRecord* Find(int font) {
    if (font <= gFontIdBase || size_t(font - gFontIdBase) > gFonts.size()) return nullptr;
    FontRecord& record = gFonts[size_t(font - gFontIdBase) - 1];
    return record.live ? &record : nullptr;
}

// One rendered glyph waiting for its place in the atlas.
struct Bitmap {
    std::vector<uint8_t> coverage;  // width * height
};

void CopyBitmap(const FT_Bitmap& bitmap, Bitmap& out) {
    const int width = int(bitmap.width), height = int(bitmap.rows);
    out.coverage.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        for (int x = 0; x < width; ++x) {
            uint8_t c;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
                c = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
                c = uint8_t(std::min<int>(255, row[x] * 255 / std::max(1, int(bitmap.num_grays) - 1)));
            } else {
                c = 0;  // colour bitmaps (emoji fonts) are not drawn
            }
            out.coverage[size_t(y) * size_t(width) + size_t(x)] = c;
        }
    }
}

// Rasterises every glyph of `face` into `record` and its atlas texture.
bool BuildFont(FT_Face face, bool smooth, int pixelHeight, FontRecord& record) {
    // Rows of glyphs are stacked downwards; wide atlases keep big fonts inside the height limit.
    const int atlasWidth = pixelHeight > 128 ? 4096 : 1024;
    const FT_Int32 loadFlags =
        FT_LOAD_RENDER | (smooth ? FT_LOAD_TARGET_NORMAL : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME));
    std::vector<Bitmap> bitmaps(kCharCount);
    int penX = kGlyphGap, penY = kGlyphGap, shelfHeight = 0;
    for (int i = 0; i < kCharCount; ++i) {
        Glyph& g = record.glyphs[i];
        if (FT_Load_Char(face, FT_ULong(kFirstChar + i), loadFlags) != 0) continue;
        const FT_GlyphSlot slot = face->glyph;
        g.advance = int((slot->advance.x + 32) >> 6);
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        const int width = int(slot->bitmap.width), height = int(slot->bitmap.rows);
        if (width <= 0 || height <= 0 || width > atlasWidth - 2 * kGlyphGap || height > kMaxAtlasHeight / 4) {
            continue;
        }
        CopyBitmap(slot->bitmap, bitmaps[size_t(i)]);
        if (penX + width + kGlyphGap > atlasWidth) {
            penX = kGlyphGap;
            penY += shelfHeight + kGlyphGap;
            shelfHeight = 0;
        }
        g.atlasX = penX;
        g.atlasY = penY;
        g.width = width;
        g.height = height;
        penX += width + kGlyphGap;
        shelfHeight = std::max(shelfHeight, height);
    }
    const int atlasHeight = penY + shelfHeight + kGlyphGap;
    if (atlasHeight > kMaxAtlasHeight) return false;
    std::vector<uint32_t> atlas(size_t(atlasWidth) * size_t(atlasHeight), 0x00FFFFFFu);
    for (int i = 0; i < kCharCount; ++i) {
        const Glyph& g = record.glyphs[i];
        const Bitmap& b = bitmaps[size_t(i)];
        for (int y = 0; y < g.height; ++y) {
            for (int x = 0; x < g.width; ++x) {
                const uint32_t coverage = b.coverage[size_t(y) * size_t(g.width) + size_t(x)];
                atlas[size_t(g.atlasY + y) * size_t(atlasWidth) + size_t(g.atlasX + x)] = coverage << 24 | 0x00FFFFFFu;
            }
        }
    }
    record.texture = ActiveRenderer()->CreateTexture(atlas.data(), atlasWidth, atlasHeight, false);
    return record.texture != 0;
}

// The width of a text in display pixels of the font.
int TextPixels(const FontRecord& font, const std::string& text) {
    int pixels = 0;
    for (unsigned char c : text) {
        if (c >= kFirstChar) pixels += font.glyphs[c - kFirstChar].advance;
    }
    return pixels;
}

}  // namespace

void FreeAllFonts() {
    Renderer* renderer = ActiveRenderer();
    for (FontRecord& record : gFonts) {
        if (record.live && renderer) renderer->DestroyTexture(record.texture);
    }
    gFontIdBase += int(gFonts.size());
    gFonts.clear();
    gCurrentFont = 0;
}

}  // namespace plat

int LoadFont(const std::string& file, int pixelSize, int style) {
    FT_Library library = plat::Library();
    if (!library || !plat::ActiveRenderer() || pixelSize <= 0) return 0;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0) return 0;
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);  // Latin-1 bytes are Unicode code points
    plat::FontRecord record;
    record.scaleX = plat::DisplayScaleX();
    record.scaleY = plat::DisplayScaleY();
    const long pixelsX = std::max(1L, std::lround(double(pixelSize) * record.scaleX));
    const long pixelsY = std::max(1L, std::lround(double(pixelSize) * record.scaleY));
    bool ok = pixelsX <= plat::kMaxPixelSize && pixelsY <= plat::kMaxPixelSize &&
              FT_Set_Pixel_Sizes(face, FT_UInt(pixelsX), FT_UInt(pixelsY)) == 0 && face->size;
    if (ok) {
        record.ascent = int((face->size->metrics.ascender + 63) >> 6);
        const int descent = int((-face->size->metrics.descender + 63) >> 6);
        record.lineHeight = std::max(1, record.ascent + descent);
        ok = plat::BuildFont(face, (style & kFontSmooth) != 0, int(pixelsY), record);
    }
    FT_Done_Face(face);
    if (!ok) return 0;
    record.live = true;
    plat::gFonts.push_back(record);
    return plat::gFontIdBase + int(plat::gFonts.size());
}

void SelectFont(int font) { plat::gCurrentFont = font; }

int TextWidthOf(const std::string& text) {
    const plat::FontRecord* font = plat::Find(plat::gCurrentFont);
    if (!font) return 0;
    return int(std::lround(float(plat::TextPixels(*font, text)) / font->scaleX));
}

int TextHeightOf() {
    const plat::FontRecord* font = plat::Find(plat::gCurrentFont);
    if (!font) return 0;
    return int(std::lround(float(font->lineHeight) / font->scaleY));
}

void DrawString(const std::string& text, float x, float y) {
    const plat::FontRecord* font = plat::Find(plat::gCurrentFont);
    if (!font) return;
    float sx, sy, cosine, sine;
    GetDrawScale(sx, sy);
    plat::CurrentTurn(cosine, sine);
    // Unturned, unscaled text maps texels one to one onto pixels: sample them exactly.
    const bool filtered = !(sx == 1 && sy == 1 && cosine == 1 && sine == 0);
    int pen = 0;  // display pixels of the font
    for (unsigned char c : text) {
        if (c < plat::kFirstChar) continue;
        const plat::Glyph& g = font->glyphs[c - plat::kFirstChar];
        if (g.width > 0) {
            const plat::TexelRect texels{float(g.atlasX), float(g.atlasY), float(g.width),
                                         float(g.height)};
            plat::DrawLocalRect(font->texture, texels, filtered, x, y,
                                float(pen + g.left) / font->scaleX,
                                float(font->ascent - g.top) / font->scaleY,
                                float(g.width) / font->scaleX, float(g.height) / font->scaleY);
        }
        pen += g.advance;
    }
}
