// Test support: writing PNG files of our own making, whole or damaged.
#pragma once

#include <SDL.h>

#include <string>

// Writes the surface (any format, alpha included) as an 8-bit RGBA PNG; true when written.
bool savePng(SDL_Surface* surface, const std::string& path);
// A new 32-bit RGBA software surface of the given size filled with one colour.
SDL_Surface* makeRgbaSurface(int w, int h, Uint8 r, Uint8 g, Uint8 b, Uint8 a);
