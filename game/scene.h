// The tunnel scene: far end, walls with holes, enemies, health bar and score lines.
#pragma once

#include <SDL.h>

// The purple of the enemies, the health bar and the score text.
constexpr Uint8 TintRed = 150;
constexpr Uint8 TintGreen = 100;
constexpr Uint8 TintBlue = 200;

// Called once per world update, after the round-end check and before the shots: repaints the
// whole screen from the world, nearest ring last, then the health bar and the score lines.
void drawScene();
