// Dashboard media loading: the backdrop work surfaces, every image and font sheet, the cell tables.
#include "dashboard/media.h"

#include "app/display.h"
#include "dashboard/png_file.h"
#include "gfx/text.h"

SDL_Surface* backdropCapture = nullptr;
SDL_Surface* backdropFiltered = nullptr;
SDL_Surface* buttonImage = nullptr;
SDL_Surface* borderImage = nullptr;
std::vector<OpaqueRun> borderRuns;
SDL_Surface* topBottomBorderImage = nullptr;
SDL_Surface* cursorImage = nullptr;
SDL_Rect buttonPieceRects[ButtonPieceRows][ButtonPieceColumns] = {};
SDL_Rect cursorRects[CursorCellCount] = {};

namespace {

constexpr int ButtonPieceSize = 21;
constexpr int CursorCellSize = 96;

// A display-format copy of the screen, or nullptr before the window exists.
SDL_Surface* screenCopy() {
    return screen != nullptr ? SDL_DisplayFormat(screen) : nullptr;
}

SDL_Rect cell(int x, int y, int w, int h) {
    return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w),
            static_cast<Uint16>(h)};
}

void fillCellTables() {
    for (int i = 0; i < GlyphCount; ++i) {
        glyphRects[i] = cell(GlyphWidth * i, 0, GlyphWidth, GlyphHeight);
    }
    for (int r = 0; r < ButtonPieceRows; ++r) {
        for (int k = 0; k < ButtonPieceColumns; ++k) {
            buttonPieceRects[r][k] =
                cell(ButtonPieceSize * k, ButtonPieceSize * r, ButtonPieceSize, ButtonPieceSize);
        }
    }
    for (int i = 0; i < CursorCellCount; ++i) {
        cursorRects[i] = cell(CursorCellSize * i, 0, CursorCellSize, CursorCellSize);
    }
}

// The file's picture in the display format by the given conversion; the decoded image is freed
// either way.
SDL_Surface* loadConverted(const char* path, SDL_Surface* (*convert)(SDL_Surface*)) {
    SDL_Surface* loaded = readPngImage(path);
    if (loaded == nullptr) {
        return nullptr;
    }
    SDL_Surface* converted = convert(loaded);
    SDL_FreeSurface(loaded);
    return converted;
}

} // namespace

SDL_Surface* keyedDisplayCopy(SDL_Surface* loaded) {
    SDL_Surface* converted = SDL_DisplayFormat(loaded);
    if (converted != nullptr) {
        // Mapped after the conversion: on 16 bits near-cyan colours are keyed out as well.
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, 0, 255, 255));
    }
    return converted;
}

SDL_Surface* alphaDisplayCopy(SDL_Surface* loaded) {
    return SDL_DisplayFormatAlpha(loaded);
}

SDL_Surface* loadKeyedImage(const char* path) {
    return loadConverted(path, keyedDisplayCopy);
}

SDL_Surface* loadAlphaImage(const char* path) {
    return loadConverted(path, alphaDisplayCopy);
}

void loadDashboardMedia() {
    backdropCapture = screenCopy();
    backdropFiltered = screenCopy();
    fontImage = loadAlphaImage("Media/Lumadeck/Font.png");
    buttonImage = loadAlphaImage("Media/Lumadeck/Button.png");
    borderImage = loadKeyedImage("Media/Lumadeck/Border.png");
    borderRuns = findOpaqueRuns(borderImage); // the border is mostly key: drawn from its runs
    topBottomBorderImage = loadKeyedImage("Media/Lumadeck/TopBottomBorder.png");
    cursorImage = loadAlphaImage("Media/Lumadeck/Cursor.png");
    // A second, independent load: the tint rewrites this one in place.
    tintedFontImage = loadAlphaImage("Media/Lumadeck/Font.png");
    fillCellTables();
}
