// Test support: font sheets whose cells are numbered by colour, so placement can be read back.
#pragma once

#include <SDL.h>

constexpr Uint8 PlainMark = 200;  // green of every cell of the plain test sheet
constexpr Uint8 TintedMark = 100; // green of every cell of the tinted test sheet
constexpr int NoCell = -1;

// A sheet of the font's layout (width defaults to all 95 cells) whose cell i is opaque red i,
// green mark, blue 7.
SDL_Surface* makeNumberedSheet(Uint8 mark, int width = 95 * 15);
// Puts a plain and a tinted numbered sheet in place of the loaded font sheets.
void useNumberedSheets();
// The cell that the sheet with this mark put at (x, y) of the screen, or NoCell.
int cellAt(int x, int y, Uint8 mark = PlainMark);
