// The media tool: writes every image, the music and the desktop icons of Glimm from code, the same
// bytes on every run, so the committed media can always be checked and regenerated.
#include "media.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <stb_image_write.h>

Picture makePicture(int width, int height) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    return picture;
}

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothStep(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

namespace {

uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::lround(clamp01(v) * 255.0f));
}

Colour readPixel(const Picture& picture, int x, int y) {
    const uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    auto unit = [](uint8_t v) { return static_cast<float>(v) / 255; };
    return {unit(p[0]), unit(p[1]), unit(p[2]), unit(p[3])};
}

} // namespace

void setPixel(Picture& picture, int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
        return;
    }
    uint8_t* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
    uint8_t alpha = toByte(colour.a);
    // Fully transparent pixels carry no colour, so the sheets hold nothing stray.
    p[0] = alpha ? toByte(colour.r) : 0;
    p[1] = alpha ? toByte(colour.g) : 0;
    p[2] = alpha ? toByte(colour.b) : 0;
    p[3] = alpha;
}

void blendPixel(Picture& picture, int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
        return;
    }
    Colour under = readPixel(picture, x, y);
    float a = colour.a + under.a * (1 - colour.a);
    if (a <= 0) {
        setPixel(picture, x, y, {0, 0, 0, 0});
        return;
    }
    auto over = [&](float top, float bottom) {
        return (top * colour.a + bottom * under.a * (1 - colour.a)) / a;
    };
    setPixel(picture, x, y,
             {over(colour.r, under.r), over(colour.g, under.g), over(colour.b, under.b), a});
}

void writePng(const std::string& path, const Picture& picture, bool withAlpha) {
    std::vector<uint8_t> rgb;
    const uint8_t* data = picture.rgba.data();
    int components = 4;
    if (!withAlpha) {
        rgb.reserve(picture.rgba.size() / 4 * 3);
        for (size_t i = 0; i < picture.rgba.size(); i += 4) {
            rgb.insert(rgb.end(), &picture.rgba[i], &picture.rgba[i] + 3);
        }
        data = rgb.data();
        components = 3;
    }
    stbi_write_png_compression_level = 9;
    if (!stbi_write_png(path.c_str(), picture.width, picture.height, components, data,
                        picture.width * components)) {
        std::fprintf(stderr, "make_media: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out) {
        std::fprintf(stderr, "make_media: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void makeFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error) {
        std::fprintf(stderr, "make_media: cannot make %s\n", path.c_str());
        std::exit(1);
    }
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_media OUTPUT-ROOT [FONT.ttf]\n"
                             "writes Media/ and packaging/icons/ under OUTPUT-ROOT\n");
        return 2;
    }
    std::string root = argv[1];
    std::string font =
        argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
    makeFolders(root + "/Media/Lumadeck");
    makeFolders(root + "/Media/Game");
    makeFont(root, font);
    makeButton(root);
    makeBorder(root);
    makeTopBottomBorder(root);
    makeCursor(root);
    makeIcons(root);
    makeMusic(root);
    return 0;
}
