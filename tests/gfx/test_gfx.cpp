// The drawing layer: pixel access at every depth, disc and hole shapes and the hole bound, text
// placement and the font tint, and the PNG check in front of the decoder.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "gfx/pixels.h"
#include "gfx/shapes.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "support/headless.h"
#include "support/numbered_font.h"
#include "support/play.h"
#include "support/png_writer.h"

namespace {

// Every depth over rows padded by an odd 5 bytes, so words start unaligned: values round-trip,
// bits past the depth are dropped, 3 bytes go least significant first, the padding stays.
TEST(PixelAccess, RoundTripsEveryDepthAcrossPaddedRows) {
    const Uint32 masks[5][4] = {{},
                                {},
                                {0xF800, 0x07E0, 0x001F, 0},
                                {0xFF0000, 0xFF00, 0xFF, 0},
                                {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};
    for (int bytes = 1; bytes <= 4; ++bytes) {
        SCOPED_TRACE(bytes);
        const int pitch = 7 * bytes + 5;
        std::vector<Uint8> memory(static_cast<size_t>(pitch * 5 + 1), 0xA5);
        const Uint32* m = masks[bytes];
        SDL_Surface* s =
            SDL_CreateRGBSurfaceFrom(&memory[1], 7, 5, bytes * 8, pitch, m[0], m[1], m[2], m[3]);
        const Uint32 keep = bytes == 4 ? ~0u : (1u << (bytes * 8)) - 1;
        auto value = [&](int x, int y) {
            return 0x9E3779B9u * static_cast<Uint32>(y * 7 + x + 1) & keep;
        };
        for (int i = 0; i < 35; ++i) {
            putPixel(s, i % 7, i / 7, value(i % 7, i / 7) | ~keep);
        }
        for (int i = 0; i < 35; ++i) {
            const Uint8* at = &memory[1 + static_cast<size_t>(i / 7 * pitch + i % 7 * bytes)];
            Uint32 stored = 0;
            for (int b = bytes - 1; b >= 0; --b) {
                stored = stored << 8 | at[b];
            }
            ASSERT_EQ(getPixel(s, i % 7, i / 7), value(i % 7, i / 7)) << i;
            ASSERT_EQ(stored, value(i % 7, i / 7)) << i;
        }
        for (int y = 0; y < 5; ++y) {
            for (int b = 7 * bytes; b < pitch; ++b) {
                ASSERT_EQ(memory[static_cast<size_t>(1 + y * pitch + b)], 0xA5) << y;
            }
        }
        EXPECT_EQ(memory[0], 0xA5);
        SDL_FreeSurface(s);
    }
}

// Rows: a shape, then rows "y=runs" of what it painted ("[a)b" paints columns a to b - 1). Discs
// paint a row's widest span; holes lack their top and bottom rows and are narrower on rows
// written twice; both clip to the screen.
TEST(Shapes, DiscsAndHolesPaintTheirExactSpans) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(16));
    const Uint32 paint = SDL_MapRGB(screen->format, 250, 240, 230);
    auto runs = [&](int y) {
        std::string text;
        for (int x = 0; x <= ScreenWidth; ++x) {
            const bool on = x < ScreenWidth && getPixel(screen, x, y) == paint;
            const bool before = x > 0 && getPixel(screen, x - 1, y) == paint;
            text += on != before ? (on ? "[" : ")") + std::to_string(x) : "";
        }
        return text;
    };
    const std::pair<std::function<void()>, const char*> rows[] = {
        {[] { fillDisc(1, 100, 100); }, "99= 100=[99)101 101="},
        {[] { fillDisc(2, 100, 100); }, "97= 98=[99)101 99=[98)102 100=[98)102 102=[99)101 103="},
        {[] { fillDisc(10, 100, 100); }, "89= 90=[97)103 100=[90)110 110=[97)103 111="},
        {[] { fillDisc(0, 100, 100), fillDisc(-3, 100, 100); }, "100="},
        {[] { fillDisc(20, 5, 200); }, "200=[0)25"},
        {[] { fillDisc(2, 300, 0); }, "0=[298)302 2=[299)301 3="},
        {[] { fillDisc(2, 638, 479); }, "476= 477=[637)639 479=[636)640"},
        {[] { fillOutsideDisc(10, 100, 100); },
         "0=[0)640 90=[0)640 91=[0)96[104)640 97=[0)90[110)640 103=[0)90[110)640 "
         "109=[0)96[104)640 110=[0)640 479=[0)640"},
        {[] { fillOutsideDisc(0, 320, 240), fillOutsideDisc(-5, 320, 1000); },
         "0=[0)640 240=[0)640 479=[0)640"},
        {[] { fillRowSpans(-10, 200, 10, 0), fillRowSpans(650, 200, 10, 0); }, "200="},
        {[] { fillRowSpans(-9, 200, 10, 0), fillRowSpans(649, 200, 10, 0); }, "200=[0)1[639)640"},
        {[] { fillRowOutside(-50, 200, 10, 5); }, "195=[0)640 205=[0)640"}};
    for (const auto& [draw, expected] : rows) {
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 10, 20, 30));
        fillColour = paint;
        draw();
        std::istringstream in(expected);
        for (std::string row; in >> row;) {
            const int y = std::stoi(row);
            EXPECT_EQ(std::to_string(y) + "=" + runs(y), row);
        }
    }
}

// The scene skips a wall when the bound says its hole holds what is open: never when the hole
// does not, and it loses at most two columns.
TEST(Shapes, TheHoleBoundNeverClaimsMoreThanTheHole) {
    std::vector<int> table(HoleBoundRadius + 1);
    for (int r = 1; r <= HoleBoundRadius; ++r) {
        holeHalfWidths(r, r, table.data());
        int narrowest = table[0];
        for (int dyMax = 0; dyMax < r; ++dyMax) {
            narrowest = std::min(narrowest, table[dyMax]);
            ASSERT_FALSE(holeHolds(r, narrowest + 1, dyMax)) << r << " " << dyMax;
            ASSERT_TRUE(narrowest < 2 || holeHolds(r, narrowest - 2, dyMax)) << r << " " << dyMax;
        }
        ASSERT_FALSE(holeHolds(r, 0, r)); // the hole's top row is painted whole
    }
    EXPECT_FALSE(holeHolds(HoleBoundRadius + 1, 1, 0));
}

// Rows: a text drawn at x, y 50 with an alignment, then where its cells start and which cells.
// Cells advance 11 pixels and are 15 wide; other bytes draw as spaces; positions keep their low
// 16 bits; a pen left of the screen clips.
TEST(Text, EachCellLandsWhereTheAlignmentSays) {
    enterScratchFolder(false);
    ASSERT_TRUE(startHeadless(32));
    useNumberedSheets();
    const struct {
        int x, align;
        const char* text;
        int left;
        std::vector<int> cells;
    } rows[] = {
        {100, AlignLeft, "AB", 100, {33, 34}},
        {100, AlignCentre, "ABC", 84, {33, 34, 35}},
        {100, AlignCentre, "AB", 89, {33, 34}},
        {100, AlignRight, "ABC", 67, {33, 34, 35}},
        {300, 0, "AB", 0, {33, 34}},
        {300, 4, "AB", 0, {33, 34}},
        {200, AlignLeft, "A\t\xC8\x7F\x1F~", 200, {33, 0, 0, 0, 0, 94}},
        {65536 + 100, AlignLeft, "AB", 100, {33, 34}},
        {5, AlignRight, "ABC", -28, {33, 34, 35}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        SDL_FillRect(screen, nullptr, 0);
        drawText(row.x, 50, row.text, row.align);
        const int count = static_cast<int>(row.cells.size());
        const int right = row.left + (count - 1) * glyphAdvance + GlyphWidth;
        for (int x = 0; x < ScreenWidth; ++x) {
            const int i = x < row.left ? -1 : std::min((x - row.left) / glyphAdvance, count - 1);
            const int expected =
                x < row.left || x >= right ? NoCell : row.cells[static_cast<size_t>(i)];
            ASSERT_EQ(cellAt(x, 50, PlainMark), expected) << x;
            ASSERT_EQ(cellAt(x, 50 + GlyphHeight - 1, PlainMark), expected) << x;
            ASSERT_EQ(cellAt(x, 50 + GlyphHeight, PlainMark), NoCell) << x;
        }
    }
    SDL_FillRect(screen, nullptr, 0);
    drawTintedText(50, "AB");
    EXPECT_EQ(cellAt(25, 50, TintedMark), 33);
    EXPECT_EQ(cellAt(24, 50, TintedMark), NoCell);
    // Missing sheets draw nothing; a sheet two cells wide draws none of the cells past its edge.
    SDL_FreeSurface(fontImage);
    fontImage = nullptr;
    drawText(100, 100, "AB", AlignLeft);
    EXPECT_EQ(cellAt(100, 100), NoCell);
    fontImage = makeNumberedSheet(PlainMark, 2 * GlyphWidth);
    drawText(100, 150, "!~ ", AlignLeft);
    EXPECT_EQ(cellAt(114, 150), 1);
    EXPECT_EQ(cellAt(115, 150), NoCell);
    EXPECT_EQ(cellAt(122, 150), 0);
}

// The tint rewrites the purple sheet in the colour with the plain sheet's alpha, over only the
// extent both sheets share (the file may change between the two loads), and not at all when
// either sheet is missing.
TEST(Text, TheTintKeepsAlphaAndTheSharedExtent) {
    auto sheet = [](int w, int h) {
        return SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, w, h, 32, 0xFF0000, 0xFF00, 0xFF,
                                    0xFF000000);
    };
    fontImage = sheet(6, 2);
    std::vector<Uint32> tinted(4 * 3, 0x12345678u); // exactly sized: AddressSanitizer sees strays
    tintedFontImage =
        SDL_CreateRGBSurfaceFrom(tinted.data(), 4, 3, 32, 16, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
    for (int x = 0; x < 6; ++x) {
        for (int y = 0; y < 2; ++y) {
            putPixel(fontImage, x, y,
                     SDL_MapRGBA(fontImage->format, 10, 20, 30, static_cast<Uint8>(x * 50)));
        }
    }
    tintFont(SDL_MapRGB(tintedFontImage->format, 150, 100, 200));
    for (int i = 0; i < 12; ++i) {
        const Uint32 purple =
            SDL_MapRGBA(tintedFontImage->format, 150, 100, 200, static_cast<Uint8>(i % 4 * 50));
        EXPECT_EQ(tinted[static_cast<size_t>(i)], i < 8 ? purple : 0x12345678u) << i;
    }
    EXPECT_EQ(getPixel(fontImage, 1, 1), SDL_MapRGBA(fontImage->format, 10, 20, 30, 50));
    std::swap(fontImage, tintedFontImage);
    SDL_FreeSurface(tintedFontImage);
    tintedFontImage = nullptr;
    tinted[0] = 0x12345678u;
    tintFont(0xFFFFFFFFu);
    EXPECT_EQ(tinted[0], 0x12345678u);
    SDL_FreeSurface(fontImage);
    fontImage = nullptr;
}

std::vector<Uint8> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

void putBigEndian(std::vector<Uint8>& data, size_t at, Uint32 value) {
    for (int i = 0; i < 4; ++i) {
        data[at + static_cast<size_t>(i)] = static_cast<Uint8>(value >> (24 - 8 * i));
    }
}

// Rows: a change to a whole 7 x 5 PNG, then whether the check passes it. IHDR's length is at
// byte 8, its type at 12, width at 16, height at 20; IEND's type 8 bytes before the end.
TEST(PngCheck, OnlyWholePngFilesOfAcceptedSizeReachTheDecoder) {
    enterScratchFolder(false);
    SDL_Surface* picture = makeRgbaSurface(7, 5, 10, 20, 30, 200);
    ASSERT_TRUE(savePng(picture, "small.png"));
    const std::vector<Uint8> png = bytesOf(readWhole("small.png"));
    const struct {
        const char* what;
        std::function<void(std::vector<Uint8>&)> change;
        bool complete;
    } rows[] = {
        {"whole", [](auto&) {}, true},
        {"a chunk longer than the file", [](auto& d) { putBigEndian(d, 8, 0x7FFFFFF0); }, false},
        {"no width", [](auto& d) { putBigEndian(d, 16, 0); }, false},
        {"4097 x 4096", [](auto& d) { putBigEndian(d, 16, 4097), putBigEndian(d, 20, 4096); },
         false},
        {"4096 x 4096", [](auto& d) { putBigEndian(d, 16, 4096), putBigEndian(d, 20, 4096); },
         true},
        {"a size whose product overflows",
         [](auto& d) { putBigEndian(d, 16, ~0u), putBigEndian(d, 20, ~0u); }, false},
        {"first chunk not IHDR", [](auto& d) { d[12] = 'X'; }, false},
        {"no IEND", [](auto& d) { d[d.size() - 8] = 'X'; }, false},
        {"bytes after IEND", [](auto& d) { d.resize(d.size() + 100); }, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<Uint8> data = png;
        row.change(data);
        EXPECT_EQ(isCompletePng(data.data(), data.size()), row.complete);
    }
    for (size_t size = 0; size < png.size(); ++size) {
        ASSERT_FALSE(isCompletePng(png.data(), size)) << size;
        ASSERT_EQ(decodePngImage(png.data(), size), nullptr) << size;
    }
    // Files: other kinds, the two that hung the decoder, and the size limit.
    const std::string hung = std::string(GLIMM_SOURCE_DIR) + "/fuzz/regressions/fuzz_image/";
    ASSERT_EQ(SDL_SaveBMP(picture, "bitmap.png"), 0);
    std::filesystem::create_directory("folder.png");
    writeWhole("big.png", readWhole("small.png"));
    std::filesystem::resize_file("big.png", PngFileMaxBytes + 1);
    for (const std::string& path :
         {hung + "gif-decoder-loops-forever.png", hung + "cut-short-text-chunk-spins.png",
          std::string("bitmap.png"), std::string("no such.png"), std::string("folder.png"),
          std::string("big.png")}) {
        EXPECT_EQ(readPngImage(path.c_str()), nullptr) << path;
    }
    std::filesystem::resize_file("small.png", PngFileMaxBytes);
    SDL_Surface* image = readPngImage("small.png");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->w == 7 && image->h == 5);
    SDL_FreeSurface(image);
    SDL_FreeSurface(picture);
}

} // namespace
