// The dashboard's buttons (layout, hover, click, actions) and the game's cursor.
#include "dashboard/buttons.h"

#include <SDL.h>

#include "dashboard/media.h"
#include "dashboard/screenshot.h"
#include "dashboard/state.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/input.h"

namespace {

constexpr int ButtonFrameLeft = 170;     // left edge of a button frame's interior
constexpr int ButtonInteriorWidth = 300; // 14 whole pieces of 21 and a strip of 6
constexpr int ButtonInteriorHeight = 15;
constexpr int ButtonBorder = 21;
constexpr int ButtonSpacing = 50; // between centre lines
constexpr int ButtonLabelCentre = 320;
constexpr int CursorCell = 3;
constexpr int CursorHalf = 48;

constexpr int WholePieces = 14;
constexpr int StripWidth = 6;
constexpr int PieceSize = 21;

enum PieceColumn {
    TopLeftCorner,
    BottomLeftCorner,
    TopRightCorner,
    BottomRightCorner,
    BottomEdge,
    RightEdge,
    TopEdge,
    LeftEdge,
    Fill
};

// Blits the part of a button piece w x h from its top-left corner; SDL clips at the edges.
void blitPiece(int row, int column, int w, int h, int x, int y) {
    if (buttonImage == nullptr) {
        return;
    }
    SDL_Rect source = buttonPieceRects[row][column];
    source.w = static_cast<Uint16>(w);
    source.h = static_cast<Uint16>(h);
    SDL_Rect target = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
    SDL_UpperBlit(buttonImage, &source, screen, &target);
}

// A run along one side: 14 whole pieces and the 6-pixel strip that completes the 300 pixels.
void blitRun(int row, int column, int h, int x, int y) {
    for (int i = 0; i < WholePieces; ++i) {
        blitPiece(row, column, PieceSize, h, x + PieceSize * i, y);
    }
    blitPiece(row, column, StripWidth, h, x + PieceSize * WholePieces, y);
}

// Whether the pointer is within the hit area of the button on centre line y.
bool pointerOnButton(int y) {
    const int mouseX = pointerX[0];
    const int mouseY = pointerY[0];
    return mouseX > 156 && mouseX < 483 && mouseY > y - 21 && mouseY < y + 21;
}

int firstButtonLine() {
    return slidePosition(595, 115);
}

// What a click on the button of the given place (0 at the top) does.
void carryOutButton(int place) {
    if (place == 0) {
        dashboardOpen = false;
    } else if (place == 1) {
        quitRequested = true;
    } else if (place == 2) {
        saveScreenshot();
    }
}

} // namespace

void drawButtonFrame(int x, int y, int row) {
    const int right = x + ButtonInteriorWidth;
    const int below = y + ButtonInteriorHeight;
    const int above = y - ButtonBorder;
    const int left = x - ButtonBorder;
    blitPiece(row, TopLeftCorner, PieceSize, PieceSize, left, above);
    blitPiece(row, BottomLeftCorner, PieceSize, PieceSize, left, below);
    blitPiece(row, TopRightCorner, PieceSize, PieceSize, right, above);
    blitPiece(row, BottomRightCorner, PieceSize, PieceSize, right, below);
    blitRun(row, BottomEdge, PieceSize, x, below);
    blitPiece(row, RightEdge, PieceSize, ButtonInteriorHeight, right, y);
    blitRun(row, TopEdge, PieceSize, x, above);
    blitPiece(row, LeftEdge, PieceSize, ButtonInteriorHeight, left, y);
    blitRun(row, Fill, ButtonInteriorHeight, x, y);
}

bool drawButton(int y, const char* label) {
    const bool hovered = pointerOnButton(y);
    const bool clicked = hovered && mouseButtonState[SDL_BUTTON_LEFT] == KeyPressed;
    drawButtonFrame(ButtonFrameLeft, y - 7, hovered ? 1 : 0);
    drawText(screen, ButtonLabelCentre, static_cast<Sint16>(y - 10), label, AlignCentre);
    return clicked;
}

void drawDashboardButtons() {
    const int y0 = firstButtonLine();
    const char* const labels[DashboardButtonCount] = {"Resume game", "Exit", "Save BMP screenshot"};
    for (int place = 0; place < DashboardButtonCount; ++place) {
        if (drawButton(y0 + place * ButtonSpacing, labels[place])) {
            carryOutButton(place);
        }
    }
}

int hoveredDashboardButton() {
    const int y0 = firstButtonLine();
    for (int place = 0; place < DashboardButtonCount; ++place) {
        if (pointerOnButton(y0 + place * ButtonSpacing)) {
            return place;
        }
    }
    return NoButton;
}

void pressDashboardButtons() {
    const int place = hoveredDashboardButton();
    if (place != NoButton && mouseButtonState[SDL_BUTTON_LEFT] == KeyPressed) {
        carryOutButton(place);
    }
}

void drawCursor(bool shown) {
    if (!shown || cursorImage == nullptr) {
        return;
    }
    SDL_Rect source = cursorRects[CursorCell];
    SDL_Rect target = {static_cast<Sint16>(pointerX[0] - CursorHalf),
                       static_cast<Sint16>(pointerY[0] - CursorHalf), 0, 0};
    // The cell is mostly clear, and clear pixels leave the screen as it is: blit only the box
    // that shows. Not on a palettised screen, where a blend may map a pixel to another index.
    if (screen->format->BytesPerPixel > 1) {
        const SDL_Rect& box = cursorVisibleRects[CursorCell];
        target.x = static_cast<Sint16>(target.x + box.x - source.x);
        target.y = static_cast<Sint16>(target.y + box.y - source.y);
        source = box;
        if (source.w == 0 || source.h == 0) {
            return;
        }
    }
    SDL_UpperBlit(cursorImage, &source, screen, &target);
}
