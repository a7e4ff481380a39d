// Reading the dashboard's PNG images safely: whole, checked complete, decoded only as PNG.
#pragma once

#include <SDL.h>

#include <cstddef>

// The biggest image file and picture the loaders accept; the game's own are far smaller.
constexpr std::size_t PngFileMaxBytes = 32u << 20;
constexpr Uint32 PngMaxPixels = 4096u * 4096u;

// True when data is a PNG signature followed by whole chunks (each one's declared length inside
// the data), led by an IHDR of a picture of 1 to PngMaxPixels pixels and ended by IEND. Called
// by decodePngImage.
bool isCompletePng(const Uint8* data, std::size_t size);

// Decodes a complete PNG held in memory; nullptr for anything else. SDL_image's decoders are
// never given a cut-short file (its PNG reader ignores short reads and can then spin for
// minutes) nor another format (they are recognised by content whatever the file's name, and
// the GIF decoder can loop forever on a damaged file). Called by readPngImage and the image
// fuzzer. The caller owns the result.
SDL_Surface* decodePngImage(const Uint8* data, std::size_t size);

// Reads a whole file of at most PngFileMaxBytes and decodes it; nullptr when it is missing,
// unreadable, too big or not a complete PNG. Called by the media loaders.
SDL_Surface* readPngImage(const char* path);
