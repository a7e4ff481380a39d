// The world update: one frame of the tunnel game.
#include "game/update.h"

#include <cmath>

#include <SDL_mixer.h>

#include "game/random.h"
#include "game/scene.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "platform/input.h"

namespace {

constexpr double AimScale = 750.0;
constexpr double AimNew = 0.15;
constexpr double AimOld = 0.85;
constexpr double HeadingStep = 0.1;
constexpr double DegreesToRadians = 0.0174532925;
constexpr double SpawnSpeed = 0.25;
constexpr int RingInterval = 200;
constexpr double EnemyDrift = 0.00025;
constexpr double RingGrowth = 0.15;
constexpr double PassingRadius = 850.0;
constexpr double Damage = 0.21;
constexpr double RemovalRadius = 1250.0;
constexpr double HealthEasing = 0.005;
constexpr double HealthDrain = 0.00005;
constexpr double HitBase = 12.0;
constexpr double HitPerRadius = 0.05;
constexpr int HitReward = 5;

// The view follows the mouse with per-frame smoothing, only while it is over the window.
void moveAim() {
    if (!pointerActive[0]) {
        return;
    }
    for (int step = 0; step < frameSteps; ++step) {
        aimX = (pointerX[0] - 320) / AimScale * AimNew + aimX * AimOld;
        aimY = (pointerY[0] - 240) / AimScale * AimNew + aimY * AimOld;
    }
}

// A new ring at the spawn point, and one time in three an enemy on it. A full
// list skips the spawn (only a frame of minutes could fill it) rather than write past it.
void spawnRing(double heading) {
    if (ringCount >= ListCapacity) {
        return;
    }
    auto* ring = new Ring{spawnX, spawnY, 1.0, 0};
    if (nextRingBlack) {
        nextRingBlack = false;
        ring->colour = SDL_MapRGB(screen->format, 0, 0, 0);
        rings[ringCount++] = ring;
        pickRingColour();
    } else {
        nextRingBlack = true;
        ring->colour = ringColour;
        rings[ringCount++] = ring;
    }
    if (drawRandom() % 3 == 0 && enemyCount < ListCapacity) {
        enemies[enemyCount++] = new Enemy{ring->x, ring->y, std::cos(heading) * EnemyDrift,
                                          std::sin(heading) * EnemyDrift, ring};
    }
}

// The spawn point wanders a circle in 1-ms steps, dropping a ring every 200 steps.
void runSpawnSteps() {
    for (int step = 0; step < frameMs; ++step) {
        spawnAngle += HeadingStep;
        if (spawnAngle > 360.0) {
            spawnAngle -= 360.0;
        }
        const double heading = spawnAngle * DegreesToRadians;
        spawnX += std::cos(heading) * SpawnSpeed;
        spawnY += std::sin(heading) * SpawnSpeed;
        --spawnCountdown;
        if (spawnCountdown >= 0) {
            continue;
        }
        spawnCountdown += RingInterval;
        spawnRing(heading);
    }
}

// A ring past the passing radius takes all its enemies with it, each one a hit on the
// player. The scan starts over after each removal.
void passEnemies() {
    for (int r = 0; r < ringCount; ++r) {
        const Ring* ring = rings[r];
        if (ring->radius <= PassingRadius) {
            continue;
        }
        int e = 0;
        while (e < enemyCount) {
            if (enemies[e]->ring == ring) {
                removeAt(enemies, e);
                health -= Damage;
                e = 0;
            } else {
                ++e;
            }
        }
    }
}

// Rings past the removal radius leave the world; their enemies are already gone.
void removeFarRings() {
    int r = 0;
    while (r < ringCount) {
        if (rings[r]->radius > RemovalRadius) {
            removeAt(rings, r);
            r = 0;
        } else {
            ++r;
        }
    }
}

// The shown health eases toward health and drains a little; reaching exactly 0 ends
// the round within this frame.
void settleHealth() {
    if (health < 0.0) {
        health = 0.0;
    }
    shownHealth -= (shownHealth - health) * HealthEasing * frameMs;
    if (shownHealth > health) {
        shownHealth -= frameMs * HealthDrain;
    }
    if (shownHealth < health) {
        shownHealth = health;
    }
    if (shownHealth == 0.0) {
        resetRound();
    }
}

// A click kills every enemy under an active pointer; both buttons together count once.
void resolveShots() {
    const bool clicked = mouseButtonState[1] == KeyPressed || mouseButtonState[3] == KeyPressed;
    if (!clicked) {
        return;
    }
    for (int slot = 0; slot < PointerSlotCount; ++slot) {
        if (!pointerActive[slot]) {
            continue;
        }
        int e = 0;
        while (e < enemyCount) {
            const Enemy* enemy = enemies[e];
            const double r = enemy->ring->radius;
            const double dx = pointerX[slot] - viewPosition(enemy->x, r, aimX);
            const double dy = pointerY[slot] - viewPosition(enemy->y, r, aimY);
            if (std::sqrt(dx * dx + dy * dy) < HitBase + HitPerRadius * r) {
                removeAt(enemies, e);
                score += HitReward;
                e = 0;
            } else {
                ++e;
            }
        }
    }
}

// Escape pauses the music (the dashboard opens in the same frame); any other world
// frame resumes it.
void settleMusic() {
    if (keyState[SDLK_ESCAPE] == KeyPressed) {
        Mix_PauseMusic();
    } else if (Mix_PausedMusic() != 0) {
        Mix_ResumeMusic();
    }
}

} // namespace

void updateWorld() {
    moveAim();
    runSpawnSteps();
    for (int r = 0; r < ringCount; ++r) {
        rings[r]->radius += frameMs * RingGrowth;
    }
    passEnemies();
    removeFarRings();
    for (int e = 0; e < enemyCount; ++e) {
        Enemy* enemy = enemies[e];
        enemy->x += enemy->ring->radius * enemy->driftX * frameMs;
        enemy->y += enemy->ring->radius * enemy->driftY * frameMs;
    }
    settleHealth();
    drawScene();
    resolveShots();
    settleMusic();
}
