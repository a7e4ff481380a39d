// The per-frame world update: aim, spawning, growth, damage, drift, health, scene, shots, music.
#pragma once

// Called once per frame by the frame loop while dashboardFraction is exactly 0. Advances the
// world by frameMs (the previous frame's length), draws the scene, then resolves the frame's
// shots and pauses or resumes the music.
void updateWorld();
