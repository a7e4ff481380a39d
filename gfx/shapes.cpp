// Discs and holes from one-row rectangle fills laid out by the midpoint circle iteration.
#include "gfx/shapes.h"

#include <algorithm>

#include "app/display.h"

Uint32 fillColour = 0;

namespace {

void fillRow(int x, int y, int w) {
    SDL_Rect rect = {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w), 1};
    SDL_FillRect(screen, &rect, fillColour);
}

void spanOnRow(int cx, int dx, int row) {
    if (row < 0 || row >= ScreenHeight) {
        return;
    }
    const int left = std::max(cx - dx, 0);
    const int right = std::min(cx + dx, ScreenWidth);
    if (right - left > 0) {
        fillRow(left, row, right - left);
    }
}

void outsideOnRow(int cx, int dx, int row) {
    if (row < 0 || row >= ScreenHeight) {
        return;
    }
    if (cx - dx > 0) {
        fillRow(0, row, std::min(cx - dx, ScreenWidth));
    }
    const int start = std::clamp(cx + dx, 0, ScreenWidth);
    if (start < ScreenWidth) {
        fillRow(start, row, ScreenWidth - start);
    }
}

// The midpoint iteration shared by both shapes; rowPair is one of the two building blocks.
void walkCircle(int r, int cx, int cy, void (*rowPair)(int, int, int, int)) {
    if (r < 0) {
        return;
    }
    int x = r;
    int y = 0;
    int err = -r;
    while (x >= y) {
        if (x != 0) {
            rowPair(cx, cy, x, y);
            if (x != y) {
                rowPair(cx, cy, y, x);
            }
        }
        err += 2 * y + 1;
        ++y;
        if (err >= 0) {
            --x;
            err -= 2 * x;
        }
    }
}

} // namespace

void fillRowSpans(int cx, int cy, int dx, int dy) {
    if (dy != 0) {
        spanOnRow(cx, dx, cy - dy);
    }
    spanOnRow(cx, dx, cy + dy);
}

void fillRowOutside(int cx, int cy, int dx, int dy) {
    if (dy != 0) {
        outsideOnRow(cx, dx, cy - dy);
    }
    outsideOnRow(cx, dx, cy + dy);
}

void fillDisc(int r, int cx, int cy) {
    walkCircle(r, cx, cy, fillRowSpans);
}

void fillOutsideDisc(int r, int cx, int cy) {
    if (cy - r > 0) {
        SDL_Rect top = {0, 0, ScreenWidth, static_cast<Uint16>(cy - r)};
        SDL_FillRect(screen, &top, fillColour);
    }
    if (ScreenHeight - cy - r > 0) {
        SDL_Rect bottom = {0, static_cast<Sint16>(cy + r), ScreenWidth,
                           static_cast<Uint16>(ScreenHeight - cy - r)};
        SDL_FillRect(screen, &bottom, fillColour);
    }
    walkCircle(r, cx, cy, fillRowOutside);
}
