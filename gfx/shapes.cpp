// Discs and holes from one-row rectangle fills laid out by the midpoint circle iteration.
#include "gfx/shapes.h"

#include <algorithm>

#include "platform/display.h"

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

// The midpoint iteration shared by both shapes and by their row tables: calls row(dx, dy) for
// each building-block call, stopping once dy would pass stopDy on the growing side.
template <typename Row> void walkCircle(int r, int stopDy, Row row) {
    if (r < 0) {
        return;
    }
    int x = r;
    int y = 0;
    int err = -r;
    while (x >= y && y <= stopDy) {
        if (x != 0) {
            row(x, y);
            if (x != y) {
                row(y, x);
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

constexpr int EveryRow = 1 << 30;

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
    walkCircle(r, EveryRow, [cx, cy](int dx, int dy) { fillRowSpans(cx, cy, dx, dy); });
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
    walkCircle(r, EveryRow, [cx, cy](int dx, int dy) { fillRowOutside(cx, cy, dx, dy); });
}

void discHalfWidths(int r, int* halfWidth) {
    for (int dy = 0; dy <= r; ++dy) {
        halfWidth[dy] = 0;
    }
    walkCircle(r, EveryRow,
               [halfWidth](int dx, int dy) { halfWidth[dy] = std::max(halfWidth[dy], dx); });
}

void holeHalfWidths(int r, int maxDy, int* halfWidth) {
    for (int dy = 0; dy <= maxDy; ++dy) {
        halfWidth[dy] = dy < r ? HoleWholeRow : 0;
    }
    // The iteration of fillOutsideDisc written out, keeping the narrowest span of each row. Rows
    // past maxDy are of no interest, and once y passes maxDy so has every later row.
    if (r <= 0) {
        return;
    }
    int x = r;
    int y = 0;
    int err = -r;
    // While x is beyond maxDy only the rows dy = y matter, and each is written here first.
    while (x > maxDy && y <= maxDy) {
        halfWidth[y] = x;
        err += 2 * y + 1;
        ++y;
        if (err >= 0) {
            --x;
            err -= 2 * x;
        }
    }
    while (x >= y && y <= maxDy) {
        if (x < halfWidth[y]) {
            halfWidth[y] = x;
        }
        if (x <= maxDy && x != y && y < halfWidth[x]) {
            halfWidth[x] = y;
        }
        err += 2 * y + 1;
        ++y;
        if (err >= 0) {
            --x;
            err -= 2 * x;
        }
    }
}

bool holeHolds(int r, int reach, int dyMax) {
    if (r > HoleBoundRadius || dyMax < 0 || dyMax >= r) {
        return false;
    }
    // Every row dy < r of the hole is at least isqrt(r^2 - dy^2 - dy) - 1 wide on each side,
    // a bound that shrinks with dy: the row dyMax decides.
    const long long room =
        static_cast<long long>(r) * r - static_cast<long long>(dyMax) * dyMax - dyMax;
    const long long need = static_cast<long long>(reach) + 1;
    return reach <= 0 || need * need <= room;
}
