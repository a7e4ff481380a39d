// A drawing that is the same every frame kept as a picture of what it leaves on the screen: where
// it covers what lies beneath, the picture's bytes are copied; where it blends with it, the
// result for what lay there last time is reused, and only where that ground changed is the
// drawing itself run, clipped to it.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <vector>

// A stretch of one picture row, pixels [x, x + w) of row y. Opaque: the drawing gives the same
// bytes there whatever lies beneath, kept at bytes. Blended: it depends on what lies beneath;
// at bytes what lay there last time, then what the drawing made of it; changed when the ground
// is new this frame.
struct PictureStretch {
    Sint16 x;
    Sint16 y;
    Uint16 w;
    bool blended;
    bool changed;
    std::size_t bytes;
};

// Draws the drawing onto target, a surface of the screen's size: the screen, or a scratch copy.
using DrawRoutine = void (*)(SDL_Surface* target, const void* what);

// One drawing's picture; made by drawThroughPicture, for one area and one screen format.
struct DrawingPicture {
    bool made = false;
    SDL_Rect area = {};
    Uint8 bitsPerPixel = 0;
    Uint32 masks[4] = {};
    std::vector<SDL_Color> palette;
    std::vector<PictureStretch> stretches; // row by row, left to right
    std::vector<Uint8> bytes;
    std::vector<int> changedFrom; // per area row, the columns whose ground is new this frame
    std::vector<int> changedTo;
    int redrawnRows = 0; // rows the latest call drew the slow way
};

// Called by its owner whenever the drawing itself changes (its text, the sheets it draws from):
// the next drawThroughPicture makes the picture afresh.
void forgetPicture(DrawingPicture& picture);

// Called each frame in place of draw(target, what), which blits only inside area and gives the
// same pixels for the same ground: leaves target exactly as draw would. The picture is made
// (draw runs on a scratch surface over three grounds) when it is new, forgotten, or the area or
// target's format changed. A target whose memory cannot be read straight, or that clips inside
// the area, is drawn on directly.
void drawThroughPicture(DrawingPicture& picture, SDL_Surface* target, SDL_Rect area,
                        DrawRoutine draw, const void* what);
