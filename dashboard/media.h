// The dashboard's images, the two backdrop work surfaces and the cell tables, loaded at start-up.
#pragma once

#include <SDL.h>

#include <vector>

constexpr int ButtonPieceRows = 2;
constexpr int ButtonPieceColumns = 9;
constexpr int CursorCellCount = 16;

// Display-format surfaces of 640 x 480: the raw capture (saved as the screenshot) and the
// filtered backdrop. Absent when they could not be made.
extern SDL_Surface* backdropCapture;
extern SDL_Surface* backdropFiltered;
extern SDL_Surface* buttonImage;          // per-pixel alpha, 2 rows x 9 pieces of 21 x 21
extern SDL_Surface* borderImage;          // cyan-keyed, drawn whole over every frame
extern std::vector<SDL_Rect> borderRuns;  // borderImage's opaque runs, recorded at its load
extern SDL_Surface* topBottomBorderImage; // cyan-keyed, header and footer band
extern SDL_Surface* cursorImage;          // per-pixel alpha, 16 cells of 96 x 96

extern SDL_Rect buttonPieceRects[ButtonPieceRows][ButtonPieceColumns];
extern SDL_Rect cursorRects[CursorCellCount];
// Each cursor cell's visible box (findVisibleBox): what the cursor needs to blit on a screen of
// two or more bytes a pixel.
extern SDL_Rect cursorVisibleRects[CursorCellCount];

// Called once by start-up after the font and before the first frame: makes the work surfaces,
// loads the dashboard's images and fills its cell tables.
void loadDashboardMedia();
