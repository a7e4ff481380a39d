// Shared pieces of the media tool: the RGBA picture type, file writing and the makers of each file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture in straight (not premultiplied) RGBA, rows top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Colour with alpha in 0..1 floats; the makers compose in this form and quantise once at the end.
struct Colour {
    float r = 0, g = 0, b = 0, a = 0;
};

Picture makePicture(int width, int height);
void setPixel(Picture& picture, int x, int y, Colour colour);
// "Source over" of a straight-alpha colour onto one pixel.
void blendPixel(Picture& picture, int x, int y, Colour colour);
Colour mix(Colour a, Colour b, float t);
float clamp01(float v);
float smoothStep(float edge0, float edge1, float x);

// Each writer stops the tool with a message when the file cannot be written.
void writePng(const std::string& path, const Picture& picture, bool withAlpha);
void writeText(const std::string& path, const std::string& text);
void makeFolders(const std::string& path);

// The files, each written under the output root.
void makeFont(const std::string& root, const std::string& fontPath);
void makeButton(const std::string& root);
void makeBorder(const std::string& root);
void makeTopBottomBorder(const std::string& root);
void makeCursor(const std::string& root);
void makeIcons(const std::string& root);
void makeMusic(const std::string& root);
