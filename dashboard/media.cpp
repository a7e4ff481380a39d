// Dashboard media loading: the backdrop work surfaces, the dashboard's images, the cell tables.
#include "dashboard/media.h"

#include "gfx/image.h"
#include "gfx/opaque_runs.h"
#include "platform/display.h"

SDL_Surface* backdropCapture = nullptr;
SDL_Surface* backdropFiltered = nullptr;
SDL_Surface* buttonImage = nullptr;
SDL_Surface* borderImage = nullptr;
std::vector<SDL_Rect> borderRuns;
SDL_Surface* topBottomBorderImage = nullptr;
SDL_Surface* cursorImage = nullptr;
SDL_Rect buttonPieceRects[ButtonPieceRows][ButtonPieceColumns] = {};
SDL_Rect cursorRects[CursorCellCount] = {};
SDL_Rect cursorVisibleRects[CursorCellCount] = {};

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
    for (int r = 0; r < ButtonPieceRows; ++r) {
        for (int k = 0; k < ButtonPieceColumns; ++k) {
            buttonPieceRects[r][k] =
                cell(ButtonPieceSize * k, ButtonPieceSize * r, ButtonPieceSize, ButtonPieceSize);
        }
    }
    for (int i = 0; i < CursorCellCount; ++i) {
        cursorRects[i] = cell(CursorCellSize * i, 0, CursorCellSize, CursorCellSize);
        cursorVisibleRects[i] = findVisibleBox(cursorImage, cursorRects[i]);
    }
}

} // namespace

void loadDashboardMedia() {
    backdropCapture = screenCopy();
    backdropFiltered = screenCopy();
    buttonImage = loadAlphaImage("Media/Lumadeck/Button.png");
    borderImage = loadKeyedImage("Media/Lumadeck/Border.png");
    borderRuns = findOpaqueRuns(borderImage); // the border is mostly key: drawn from its runs
    topBottomBorderImage = loadKeyedImage("Media/Lumadeck/TopBottomBorder.png");
    cursorImage = loadAlphaImage("Media/Lumadeck/Cursor.png");
    fillCellTables();
}
