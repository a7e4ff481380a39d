// SDL's streams, its BMP writer and SDL_image's PNG reader for the page: the stdio and memory
// streams the game opens, the BMP bytes classic SDL 1.2 writes, PNGs decoded by stb_image.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/web/surfaces.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace {

SDL_RWops* newStream(Uint32 type) {
    auto* stream = static_cast<SDL_RWops*>(std::calloc(1, sizeof(SDL_RWops)));
    if (stream != nullptr) {
        stream->type = type;
    }
    return stream;
}

int closeStream(SDL_RWops* stream) {
    std::free(stream);
    return 0;
}

int seekFile(SDL_RWops* stream, int offset, int whence) {
    std::FILE* file = stream->hidden.stdio.fp;
    return std::fseek(file, offset, whence) == 0 ? static_cast<int>(std::ftell(file)) : -1;
}
int readFile(SDL_RWops* stream, void* to, int size, int count) {
    const size_t got = std::fread(to, static_cast<size_t>(size), static_cast<size_t>(count),
                                  stream->hidden.stdio.fp);
    return got == 0 && std::ferror(stream->hidden.stdio.fp) != 0 ? -1 : static_cast<int>(got);
}
int writeFile(SDL_RWops* stream, const void* from, int size, int count) {
    const size_t put = std::fwrite(from, static_cast<size_t>(size), static_cast<size_t>(count),
                                   stream->hidden.stdio.fp);
    return put == 0 && std::ferror(stream->hidden.stdio.fp) != 0 ? -1 : static_cast<int>(put);
}
int closeFile(SDL_RWops* stream) {
    const int closed =
        stream->hidden.stdio.autoclose != 0 ? std::fclose(stream->hidden.stdio.fp) : 0;
    closeStream(stream);
    return closed == 0 ? 0 : -1;
}

int seekMemory(SDL_RWops* stream, int offset, int whence) {
    auto& memory = stream->hidden.mem;
    const long size = memory.stop - memory.base;
    const long from = whence == SEEK_SET   ? 0
                      : whence == SEEK_CUR ? memory.here - memory.base
                                           : size;
    const long at = std::clamp(from + offset, 0L, size);
    memory.here = memory.base + at;
    return static_cast<int>(at);
}
int readMemory(SDL_RWops* stream, void* to, int size, int count) {
    auto& memory = stream->hidden.mem;
    if (size <= 0 || count <= 0) {
        return 0;
    }
    const int whole = static_cast<int>((memory.stop - memory.here) / size);
    const int taken = count < whole ? count : whole;
    std::memcpy(to, memory.here, static_cast<size_t>(taken) * size);
    memory.here += static_cast<size_t>(taken) * size;
    return taken;
}
int refuseWrite(SDL_RWops* /*stream*/, const void* /*from*/, int /*size*/, int /*count*/) {
    return -1;
}

void putLittle(std::vector<Uint8>& bytes, Uint32 value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes.push_back(static_cast<Uint8>(value >> (8 * i)));
    }
}

} // namespace

extern "C" {

SDL_RWops* SDL_RWFromFP(FILE* fp, int autoclose) {
    SDL_RWops* stream = fp != nullptr ? newStream(2) : nullptr;
    if (stream != nullptr) {
        stream->seek = seekFile, stream->read = readFile, stream->write = writeFile;
        stream->close = closeFile;
        stream->hidden.stdio.fp = fp;
        stream->hidden.stdio.autoclose = autoclose;
    }
    return stream;
}

SDL_RWops* SDL_RWFromConstMem(const void* mem, int size) {
    SDL_RWops* stream = mem != nullptr && size >= 0 ? newStream(5) : nullptr;
    if (stream != nullptr) {
        stream->seek = seekMemory, stream->read = readMemory, stream->write = refuseWrite;
        stream->close = closeStream;
        auto* base = static_cast<Uint8*>(const_cast<void*>(mem));
        stream->hidden.mem = {base, base, base + size};
    }
    return stream;
}

// As classic SDL writes a surface without a palette: a 54-byte header, then 24-bit blue, green,
// red rows from the bottom up, each padded to 4 bytes.
int SDL_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* dst, int freedst) {
    int result = -1;
    if (surface != nullptr && dst != nullptr) {
        const int rowBytes = surface->w * 3;
        const int padding = (4 - rowBytes % 4) % 4;
        const Uint32 imageBytes = static_cast<Uint32>((rowBytes + padding) * surface->h);
        std::vector<Uint8> bytes = {'B', 'M'};
        putLittle(bytes, 54 + imageBytes, 4); // the file's size
        putLittle(bytes, 0, 4);
        putLittle(bytes, 54, 4); // where the rows start
        putLittle(bytes, 40, 4); // the info header's size
        putLittle(bytes, static_cast<Uint32>(surface->w), 4);
        putLittle(bytes, static_cast<Uint32>(surface->h), 4);
        putLittle(bytes, 1, 2);  // planes
        putLittle(bytes, 24, 2); // bits a pixel
        putLittle(bytes, 0, 4);  // no compression
        putLittle(bytes, imageBytes, 4);
        putLittle(bytes, 0, 16); // resolution and colour counts, all 0
        bytes.reserve(54 + imageBytes);
        for (int y = surface->h - 1; y >= 0; --y) {
            for (int x = 0; x < surface->w; ++x) {
                Uint8 r, g, b;
                SDL_GetRGB(readRawPixel(surface, x, y), surface->format, &r, &g, &b);
                bytes.push_back(b), bytes.push_back(g), bytes.push_back(r);
            }
            putLittle(bytes, 0, padding);
        }
        const int count = static_cast<int>(bytes.size());
        result = SDL_RWwrite(dst, bytes.data(), 1, count) == count ? 0 : -1;
    }
    if (dst != nullptr && freedst != 0) {
        SDL_RWclose(dst);
    }
    return result;
}

// The whole stream decoded; RGB pictures as 24-bit surfaces and those with alpha as 32-bit, in
// red, green, blue (, alpha) byte order, as SDL_image gives them.
SDL_Surface* IMG_LoadPNG_RW(SDL_RWops* src) {
    if (src == nullptr) {
        return nullptr;
    }
    std::vector<Uint8> bytes;
    std::vector<Uint8> block(65536); // off the stack: a page's stack may be just 64 KB
    for (int got; (got = SDL_RWread(src, block.data(), 1, static_cast<int>(block.size()))) > 0;) {
        bytes.insert(bytes.end(), block.begin(), block.begin() + got);
    }
    int w = 0, h = 0, channels = 0;
    if (bytes.empty() || stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h,
                                               &channels) == 0) {
        return nullptr;
    }
    const int wanted = channels == 2 || channels == 4 ? 4 : 3;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h,
                                            &channels, wanted);
    if (pixels == nullptr) {
        return nullptr;
    }
    SDL_Surface* image = SDL_CreateRGBSurface(0, w, h, wanted * 8, 0x0000FF, 0x00FF00, 0xFF0000,
                                              wanted == 4 ? 0xFF000000 : 0);
    if (image != nullptr) {
        for (int y = 0; y < h; ++y) {
            std::memcpy(static_cast<Uint8*>(image->pixels) + y * image->pitch,
                        pixels + static_cast<size_t>(y) * w * wanted,
                        static_cast<size_t>(w) * wanted);
        }
    }
    stbi_image_free(pixels);
    return image;
}

} // extern "C"
