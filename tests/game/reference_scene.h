// The tunnel scene painted the straightforward way, far end first and every shape whole, from
// farthest to nearest, and the score lines drawn copy by copy, glyph by glyph: the oracle that
// the culled scene must match byte for byte. Used by the scene tests and by the scene benchmark.
#pragma once

#include <cstdio>

#include "game/hud.h"
#include "game/scene.h"
#include "game/world.h"
#include "gfx/shapes.h"
#include "platform/display.h"

inline void drawReferenceScoreLines() {
    char line[ScoreLineBufferSize];
    std::snprintf(line, sizeof line, "HighScore %d", highScore);
    drawOutlinedLine(screen, 420, line);
    std::snprintf(line, sizeof line, "Score     %d", score);
    drawOutlinedLine(screen, 435, line);
}

inline void drawReferenceScene() {
    auto project = [](double position, double radius, double aim) {
        return static_cast<int>(position - radius * aim);
    };
    prepareScoreFont();
    const Uint32 black = SDL_MapRGB(screen->format, 0, 0, 0);
    const Uint32 tint = SDL_MapRGB(screen->format, TintRed, TintGreen, TintBlue);
    SDL_FillRect(screen, nullptr, nextRingBlack ? 0 : ringColour);
    for (int r = ringCount - 1; r >= 0; --r) {
        const Ring* ring = rings[r];
        const double radius = ring->radius;
        for (int e = 0; e < enemyCount; ++e) {
            const Enemy* enemy = enemies[e];
            if (enemy->ring != ring) {
                continue;
            }
            const int sx = project(enemy->x, radius, aimX);
            const int sy = project(enemy->y, radius, aimY);
            fillColour = black;
            fillDisc(static_cast<int>(radius * 0.05 + 3.0), sx, sy);
            fillColour = tint;
            fillDisc(static_cast<int>(radius * 0.05), sx, sy);
        }
        fillColour = ring->colour;
        fillOutsideDisc(static_cast<int>(radius), project(ring->x, radius, aimX),
                        project(ring->y, radius, aimY));
    }
    SDL_Rect frame = {18, 423, 604, 29};
    SDL_FillRect(screen, &frame, black);
    SDL_Rect bar = {20, 425, static_cast<Uint16>(shownHealth * 600.0), 25};
    SDL_FillRect(screen, &bar, tint);
    drawReferenceScoreLines();
}
