// The game's PNG images: read whole, checked complete, decoded only as PNG, and converted once to
// the display's format with a colour key or with per-pixel alpha.
#pragma once

#include <SDL.h>

#include <cstddef>

// The biggest image file and picture the loaders accept; the game's own are far smaller.
constexpr std::size_t PngFileMaxBytes = 32u << 20;
constexpr Uint32 PngMaxPixels = 4096u * 4096u;

// Called at start-up by the font and dashboard media loaders. A new display-format surface with
// cyan as its colour key from a PNG file, or nullptr; the caller owns it.
SDL_Surface* loadKeyedImage(const char* path);
// Likewise, a new display-format surface with per-pixel alpha from a PNG file, or nullptr.
SDL_Surface* loadAlphaImage(const char* path);

// Reads a whole file of at most PngFileMaxBytes and decodes it; nullptr when it is missing,
// unreadable, too big or not a complete PNG. Called by the two loaders above.
SDL_Surface* readPngImage(const char* path);

// ---- Exported for the tests and the image fuzzer only ----

// True when data is a PNG signature followed by whole chunks (each one's declared length inside
// the data), led by an IHDR of a picture of 1 to PngMaxPixels pixels and ended by IEND. Called
// by decodePngImage.
bool isCompletePng(const Uint8* data, std::size_t size);

// Decodes a complete PNG held in memory; nullptr for anything else. SDL_image's decoders are
// never given a cut-short file (its PNG reader ignores short reads and can then spin for
// minutes) nor another format (they are recognised by content whatever the file's name, and
// the GIF decoder can loop forever on a damaged file). Called by readPngImage. The caller owns
// the result.
SDL_Surface* decodePngImage(const Uint8* data, std::size_t size);

// The conversions behind the two loaders, on an image already decoded. The decoded image stays
// the caller's; nullptr when the conversion fails.
SDL_Surface* keyedDisplayCopy(SDL_Surface* loaded);
SDL_Surface* alphaDisplayCopy(SDL_Surface* loaded);
