// The tunnel scene: far end, walls with holes, enemies, then the health bar and score lines.
#pragma once

// Called once per world update, after the round-end check and before the shots: repaints the
// whole screen from the world, nearest ring last, then the health bar and the score lines.
void drawScene();
