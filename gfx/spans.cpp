// The scene's own row writer: SDL_FillRect's bytes without its per-call cost.
#include "gfx/spans.h"

#include <algorithm>
#include <cstring>

#include "platform/display.h"

Uint8* spanPixels = nullptr;
int spanPitch = 0;
int spanBytesPerPixel = 0;
int spanClipLeft = 0;
int spanClipTop = 0;
int spanClipRight = ScreenWidth;
int spanClipBottom = ScreenHeight;
bool spanClipWhole = true;

namespace {

void fillThreeByteSpan(Uint8* p, int count, Uint32 colour) {
    // Low byte first, as SDL writes them on a little-endian machine.
    const auto b0 = static_cast<Uint8>(colour);
    const auto b1 = static_cast<Uint8>(colour >> 8);
    const auto b2 = static_cast<Uint8>(colour >> 16);
    for (; count > 0; --count, p += 3) {
        p[0] = b0;
        p[1] = b1;
        p[2] = b2;
    }
}

} // namespace

void beginSpans() {
    spanPixels = nullptr;
    spanBytesPerPixel = 0;
    // SDL_FillRect clips for itself; the bounds only keep spans on the screen.
    spanClipLeft = 0;
    spanClipTop = 0;
    spanClipRight = ScreenWidth;
    spanClipBottom = ScreenHeight;
    spanClipWhole = true;
    if (screen == nullptr || screen->pixels == nullptr || SDL_MUSTLOCK(screen)) {
        return;
    }
    const int bytes = screen->format->BytesPerPixel;
    if (bytes < 1 || bytes > 4 || (bytes == 3 && SDL_BYTEORDER != SDL_LIL_ENDIAN)) {
        return;
    }
    const SDL_Rect& clip = screen->clip_rect;
    spanClipLeft = std::max<int>(clip.x, 0);
    spanClipTop = std::max<int>(clip.y, 0);
    spanClipRight = std::min<int>(clip.x + clip.w, screen->w);
    spanClipBottom = std::min<int>(clip.y + clip.h, screen->h);
    spanClipWhole = spanClipLeft == 0 && spanClipTop == 0 && spanClipRight >= ScreenWidth &&
                    spanClipBottom >= ScreenHeight;
    spanPitch = screen->pitch;
    spanBytesPerPixel = bytes;
    spanPixels = static_cast<Uint8*>(screen->pixels);
}

void fillSpanOutOfLine(int y, int left, int right, Uint32 colour) {
    if (right <= left) {
        return;
    }
    if (spanPixels == nullptr) {
        SDL_Rect rect = {static_cast<Sint16>(left), static_cast<Sint16>(y),
                         static_cast<Uint16>(right - left), 1};
        SDL_FillRect(screen, &rect, colour);
        return;
    }
    Uint8* row = spanPixels + static_cast<std::ptrdiff_t>(y) * spanPitch;
    if (spanBytesPerPixel == 1) {
        std::memset(row + left, static_cast<int>(colour & 0xFF), static_cast<size_t>(right - left));
    } else {
        fillThreeByteSpan(row + static_cast<std::ptrdiff_t>(left) * 3, right - left, colour);
    }
}
