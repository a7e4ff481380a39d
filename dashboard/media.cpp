// Dashboard media loading (to come: the images and tables).
#include "dashboard/media.h"

SDL_Surface* backdropCapture = nullptr;
SDL_Surface* backdropFiltered = nullptr;
SDL_Surface* buttonImage = nullptr;
SDL_Surface* borderImage = nullptr;
SDL_Surface* topBottomBorderImage = nullptr;
SDL_Surface* cursorImage = nullptr;
SDL_Rect buttonPieceRects[ButtonPieceRows][ButtonPieceColumns] = {};
SDL_Rect cursorRects[CursorCellCount] = {};

void loadDashboardMedia() {}
