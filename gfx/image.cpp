// The game's PNG images: the whole file, its chunks checked, the PNG decoder, then one conversion
// to the display's format.
#include "gfx/image.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t ChunkOverhead = 12; // length, type and CRC around a chunk's data
constexpr std::size_t IhdrLength = 13;
constexpr Uint8 PngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

Uint32 bigEndian32(const Uint8* p) {
    return static_cast<Uint32>(p[0]) << 24 | static_cast<Uint32>(p[1]) << 16 |
           static_cast<Uint32>(p[2]) << 8 | static_cast<Uint32>(p[3]);
}

bool isPictureSizeAccepted(const Uint8* ihdrData) {
    const Uint32 width = bigEndian32(ihdrData);
    const Uint32 height = bigEndian32(ihdrData + 4);
    return width != 0 && height != 0 && width <= PngMaxPixels / height;
}

} // namespace

bool isCompletePng(const Uint8* data, std::size_t size) {
    if (data == nullptr || size < sizeof PngSignature ||
        std::memcmp(data, PngSignature, sizeof PngSignature) != 0) {
        return false;
    }
    std::size_t at = sizeof PngSignature;
    bool first = true;
    while (size - at >= ChunkOverhead) {
        const std::size_t length = bigEndian32(data + at);
        if (length > size - at - ChunkOverhead) {
            return false;
        }
        const Uint8* type = data + at + 4;
        if (first && (std::memcmp(type, "IHDR", 4) != 0 || length != IhdrLength ||
                      !isPictureSizeAccepted(type + 4))) {
            return false;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            return true;
        }
        first = false;
        at += ChunkOverhead + length;
    }
    return false;
}

SDL_Surface* decodePngImage(const Uint8* data, std::size_t size) {
    if (size > PngFileMaxBytes || !isCompletePng(data, size)) {
        return nullptr;
    }
    SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (stream == nullptr) {
        return nullptr;
    }
    SDL_Surface* image = IMG_LoadPNG_RW(stream);
    SDL_RWclose(stream);
    return image;
}

SDL_Surface* readPngImage(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return nullptr;
    }
    // One byte past the limit tells a file that is too big from one that just fits.
    std::vector<Uint8> bytes;
    Uint8 block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0 &&
           bytes.size() <= PngFileMaxBytes) {
        bytes.insert(bytes.end(), block, block + got);
    }
    const bool readWhole = std::ferror(file) == 0 && bytes.size() <= PngFileMaxBytes;
    std::fclose(file);
    return readWhole ? decodePngImage(bytes.data(), bytes.size()) : nullptr;
}

namespace {

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
