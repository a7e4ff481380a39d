// The tunnel scene. It shows exactly what painting the far end, then every ring's enemies and
// wall from the farthest ring to the nearest would show, but paints each pixel of the tunnel
// about once: walls are laid nearest first, each only inside the holes of all nearer rings,
// and enemies last, each only where its ring's wall and the nearer walls leave it visible.
#include "game/scene.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/hud.h"
#include "game/world.h"
#include "gfx/shapes.h"
#include "gfx/spans.h"
#include "platform/display.h"

namespace {

// Each row's clip span: what the walls drawn so far leave open, [clipLeft, clipRight), closed when
// left >= right. Rows outside firstOpenRow..lastOpenRow are all closed.
int clipLeft[ScreenHeight];
int clipRight[ScreenHeight];
int firstOpenRow = 0;
int lastOpenRow = ScreenHeight - 1;
// The columns that any open row still spans: [openColumnsFrom, openColumnsTo).
int openColumnsFrom = 0;
int openColumnsTo = ScreenWidth;

// Scratch kept between frames so that a frame allocates nothing once the world has settled.
std::vector<int> holeWidths;  // the current wall's hole, by distance from its centre row
std::vector<int> discWidths;  // the current enemy disc, likewise
std::vector<int> ringOfEnemy; // index of each enemy's ring, -1 if it has none in the list
std::vector<int> clipSlot;    // per ring: where its clip spans are saved, -1 without enemies
std::vector<int> savedClips;  // per slot: left edges of every row, then right edges

// A ring's hole and its enemies are drawn at their view position, truncated to a pixel.
int project(double position, double radius, double aim) {
    return static_cast<int>(viewPosition(position, radius, aim));
}

void openEveryRow() {
    std::fill(clipLeft, clipLeft + ScreenHeight, 0);
    std::fill(clipRight, clipRight + ScreenHeight, ScreenWidth);
    firstOpenRow = 0;
    lastOpenRow = ScreenHeight - 1;
    openColumnsFrom = 0;
    openColumnsTo = ScreenWidth;
}

void narrowOpenRows() {
    while (firstOpenRow <= lastOpenRow && clipLeft[firstOpenRow] >= clipRight[firstOpenRow]) {
        ++firstOpenRow;
    }
    while (lastOpenRow >= firstOpenRow && clipLeft[lastOpenRow] >= clipRight[lastOpenRow]) {
        --lastOpenRow;
    }
    openColumnsFrom = ScreenWidth;
    openColumnsTo = 0;
    for (int y = firstOpenRow; y <= lastOpenRow; ++y) {
        if (clipLeft[y] < clipRight[y]) {
            openColumnsFrom = std::min(openColumnsFrom, clipLeft[y]);
            openColumnsTo = std::max(openColumnsTo, clipRight[y]);
        }
    }
}

// Finds each enemy's ring and gives every ring that carries one a slot for its clip spans.
void assignClipSlots() {
    ringOfEnemy.assign(static_cast<size_t>(enemyCount), -1);
    clipSlot.assign(static_cast<size_t>(ringCount), -1);
    int slots = 0;
    for (int e = 0; e < enemyCount; ++e) {
        for (int r = 0; r < ringCount; ++r) {
            if (enemies[e]->ring == rings[r]) {
                ringOfEnemy[static_cast<size_t>(e)] = r;
                if (clipSlot[static_cast<size_t>(r)] < 0) {
                    clipSlot[static_cast<size_t>(r)] = slots++;
                }
                break;
            }
        }
    }
    if (savedClips.size() < static_cast<size_t>(slots) * 2 * ScreenHeight) {
        savedClips.resize(static_cast<size_t>(slots) * 2 * ScreenHeight);
    }
}

int* savedClip(int slot) {
    return savedClips.data() + static_cast<std::ptrdiff_t>(slot) * 2 * ScreenHeight;
}

// Cuts one row's clip span by a wall whose hole spans [cx - width, cx + width) on it (none when
// width is 0): the wall shows left and right of the hole, and the hole is what stays open.
[[gnu::always_inline]] inline void cutRow(int y, int cx, int width, Uint32 colour) {
    const int left = clipLeft[y];
    const int right = clipRight[y];
    if (left >= right) {
        return;
    }
    if (width == 0) {
        fillSpan(y, left, right, colour);
        clipRight[y] = left;
        return;
    }
    const int holeLeft = cx - width;
    const int holeRight = cx + width;
    if (holeLeft > left) {
        fillSpan(y, left, std::min(right, holeLeft), colour);
        clipLeft[y] = holeLeft;
    }
    if (holeRight < right) {
        fillSpan(y, std::max(left, holeRight), right, colour);
        clipRight[y] = holeRight;
    }
}

// Paints the part of one wall that the nearer walls leave open and narrows every row's clip span
// to the wall's hole, as the painter's order would leave it.
void layWall(const Ring* ring) {
    const double radius = ring->radius;
    const int r = static_cast<int>(radius);
    const int cx = project(ring->x, radius, aimX);
    const int cy = project(ring->y, radius, aimY);
    const Uint32 colour = ring->colour;
    const int reach = std::max(std::abs(firstOpenRow - cy), std::abs(lastOpenRow - cy));
    // The near rings' holes often hold everything still open: nothing of the wall shows.
    if (holeHolds(r, std::max(cx - openColumnsFrom, openColumnsTo - cx), reach)) {
        return;
    }
    const int maxDy = std::min(reach, r - 1);
    // Rows first..holeTop-1 and holeBottom+1..last have no hole; the table covers the rest.
    int holeTop = lastOpenRow + 1;
    int holeBottom = lastOpenRow;
    if (maxDy >= 0) {
        if (holeWidths.size() < static_cast<size_t>(maxDy) + 1) {
            holeWidths.resize(static_cast<size_t>(maxDy) + 1);
        }
        holeHalfWidths(r, maxDy, holeWidths.data());
        holeTop = std::max(firstOpenRow, cy - maxDy);
        holeBottom = std::min(lastOpenRow, cy + maxDy);
    }
    const int* widths = holeWidths.data();
    for (int y = firstOpenRow; y < holeTop && y <= lastOpenRow; ++y) {
        cutRow(y, cx, 0, colour);
    }
    for (int y = holeTop; y <= holeBottom && y < cy; ++y) {
        cutRow(y, cx, widths[cy - y], colour);
    }
    for (int y = std::max(holeTop, cy); y <= holeBottom; ++y) {
        cutRow(y, cx, widths[y - cy], colour);
    }
    for (int y = std::max(holeBottom + 1, firstOpenRow); y <= lastOpenRow; ++y) {
        cutRow(y, cx, 0, colour);
    }
    narrowOpenRows();
}

// One enemy disc, only inside the clip spans its ring's wall left open.
void layDisc(int r, int cx, int cy, const int* openLeft, const int* openRight, Uint32 colour) {
    if (r <= 0) {
        return;
    }
    if (discWidths.size() < static_cast<size_t>(r) + 1) {
        discWidths.resize(static_cast<size_t>(r) + 1);
    }
    discHalfWidths(r, discWidths.data());
    for (int dy = 0; dy <= r; ++dy) {
        const int width = discWidths[static_cast<size_t>(dy)];
        if (width == 0) {
            continue;
        }
        for (int y : {cy - dy, cy + dy}) {
            if (y < 0 || y >= ScreenHeight) {
                continue;
            }
            const int left = std::max(openLeft[y], cx - width);
            const int right = std::min(openRight[y], cx + width);
            if (left < right) {
                fillSpan(y, left, right, colour);
            }
            if (dy == 0) {
                break;
            }
        }
    }
}

// Enemies in the painter's order, farthest ring first and list order within a ring, so that
// where they overlap the same one ends on top.
void layEnemies(int ringsLaid, Uint32 black, Uint32 tint) {
    for (int r = ringsLaid - 1; r >= 0; --r) {
        const int slot = clipSlot[static_cast<size_t>(r)];
        if (slot < 0) {
            continue;
        }
        const int* openLeft = savedClip(slot);
        const int* openRight = openLeft + ScreenHeight;
        const double radius = rings[r]->radius;
        for (int e = 0; e < enemyCount; ++e) {
            if (ringOfEnemy[static_cast<size_t>(e)] != r) {
                continue;
            }
            const int sx = project(enemies[e]->x, radius, aimX);
            const int sy = project(enemies[e]->y, radius, aimY);
            layDisc(static_cast<int>(radius * 0.05 + 3.0), sx, sy, openLeft, openRight, black);
            layDisc(static_cast<int>(radius * 0.05), sx, sy, openLeft, openRight, tint);
        }
    }
}

} // namespace

void drawScene() {
    prepareScoreFont();
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    const Uint32 tint = SDL_MapRGB(screen->format, TintRed, TintGreen, TintBlue);
    beginSpans();
    openEveryRow();
    assignClipSlots();
    int ringsLaid = 0;
    while (ringsLaid < ringCount && firstOpenRow <= lastOpenRow) {
        layWall(rings[ringsLaid]);
        const int slot = clipSlot[static_cast<size_t>(ringsLaid)];
        if (slot >= 0) {
            int* saved = savedClip(slot);
            std::memcpy(saved, clipLeft, sizeof clipLeft);
            std::memcpy(saved + ScreenHeight, clipRight, sizeof clipRight);
        }
        ++ringsLaid;
    }
    // The far end shows through whatever all the holes leave open. Its black is the raw 0, not
    // the mapped black of the walls and enemies: on a palettised display the two can differ.
    const Uint32 farEnd = nextRingBlack ? 0 : ringColour;
    for (int y = firstOpenRow; y <= lastOpenRow; ++y) {
        if (clipLeft[y] < clipRight[y]) {
            fillSpan(y, clipLeft[y], clipRight[y], farEnd);
        }
    }
    layEnemies(ringsLaid, black, tint);
    // The last shape of the painter's order is the nearest wall; leave its colour behind too.
    if (ringCount > 0) {
        fillColour = rings[0]->colour;
    }
    drawHealthBar(black, tint);
    drawScoreLines();
}
