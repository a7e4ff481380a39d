// One-row spans of one colour written straight into the display surface's memory.
#pragma once

#include <SDL.h>

#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Where the writer puts its spans, taken by beginSpans. spanPixels is null when the display
// cannot be written directly (it must be locked, or its depth is unknown); spans then go through
// SDL_FillRect. The clip bounds are the surface's clip rectangle, the whole screen otherwise.
extern Uint8* spanPixels;
extern int spanPitch;
extern int spanBytesPerPixel;
extern int spanClipLeft;
extern int spanClipTop;
extern int spanClipRight;
extern int spanClipBottom;
extern bool spanClipWhole; // the clip rectangle holds the whole screen: nothing to clip

// Called once before a run of spans (the scene does so each frame): takes the display surface's
// memory, depth and clip rectangle.
void beginSpans();

// The out-of-line part of fillSpan, for what its inline writer leaves out: one and three bytes
// a pixel, and a display that cannot be written directly (then SDL_FillRect). Called by fillSpan.
void fillSpanOutOfLine(int y, int left, int right, Uint32 colour);

// Spans are short (a wall's edge, a piece of a row), so the fills store 16 bytes at a time
// themselves rather than call out: up to four stores a round, then one more store that ends at
// the span's end and overlaps what is already done.
template <typename Pixel>
[[gnu::always_inline]] inline void fillPixels(Pixel* p, int count, Pixel colour) {
#ifdef __SSE2__
    constexpr int Lane = 16 / static_cast<int>(sizeof(Pixel));
    const __m128i pattern = sizeof(Pixel) == 4 ? _mm_set1_epi32(static_cast<int>(colour))
                                               : _mm_set1_epi16(static_cast<short>(colour));
    Pixel* const start = p;
    Pixel* const end = p + (count > 0 ? count : 0);
    for (; count >= 4 * Lane; count -= 4 * Lane, p += 4 * Lane) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), pattern);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + Lane), pattern);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 2 * Lane), pattern);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 3 * Lane), pattern);
    }
    if (count >= 2 * Lane) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), pattern);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + Lane), pattern);
        count -= 2 * Lane;
        p += 2 * Lane;
    }
    if (count >= Lane) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), pattern);
        count -= Lane;
        p += Lane;
    }
    if (count > 0 && end - start >= Lane) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(end - Lane), pattern);
        return;
    }
#endif
    for (; count > 0; --count) {
        *p++ = colour;
    }
}

// Fills columns [left, right) of row y with a raw colour of the display's format (as
// SDL_MapRGB makes it), exactly as SDL_FillRect of that one-row rectangle would: clipped to the
// clip rectangle, same bytes. Callers: the tunnel scene,
// between beginSpans and the next change of the display; they keep 0 <= left, right <= 640 and
// 0 <= y < 480.
[[gnu::always_inline]] inline void fillSpan(int y, int left, int right, Uint32 colour) {
    if (!spanClipWhole) {
        if (y < spanClipTop || y >= spanClipBottom) {
            return;
        }
        left = left < spanClipLeft ? spanClipLeft : left;
        right = right > spanClipRight ? spanClipRight : right;
        if (right <= left) {
            return;
        }
    }
    if (spanBytesPerPixel == 4) {
        fillPixels(
            reinterpret_cast<Uint32*>(spanPixels + static_cast<std::ptrdiff_t>(y) * spanPitch) +
                left,
            right - left, colour);
    } else if (spanBytesPerPixel == 2) {
        fillPixels(
            reinterpret_cast<Uint16*>(spanPixels + static_cast<std::ptrdiff_t>(y) * spanPitch) +
                left,
            right - left, static_cast<Uint16>(colour));
    } else {
        fillSpanOutOfLine(y, left, right, colour);
    }
}
