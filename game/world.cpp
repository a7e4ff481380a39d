// World state and the round reset.
#include "game/world.h"

#include "game/random.h"
#include "platform/display.h"
#include "platform/record_store.h"

Ring* rings[ListCapacity] = {};
int ringCount = 0;
Enemy* enemies[ListCapacity] = {};
int enemyCount = 0;

double aimX = 0.0;
double aimY = 0.0;
double spawnX = 320.0;
double spawnY = 115.0;
double spawnAngle = 0.0;
int spawnCountdown = 0;
bool nextRingBlack = false;
Uint32 ringColour = 0;
double health = 1.0;
double shownHealth = 1.0;
int score = 0;
int highScore = 0;

namespace {

template <typename Object> void removeFrom(Object** list, int& count, int i) {
    if (i < 0 || i >= count) {
        return;
    }
    delete list[i];
    for (int j = i; j + 1 < count; ++j) {
        list[j] = list[j + 1];
    }
    list[count - 1] = nullptr;
    --count;
}

// Only the round that beats the best stores it, and only if no other game stored a higher one
// meanwhile; every other reset reads the stored best, which is how the best of earlier
// runs is loaded at start-up.
void settleHighScore() {
    if (score > highScore) {
        highScore = offerRecord(score);
    } else {
        readStoredBest(highScore);
    }
}

} // namespace

void removeAt(Ring** list, int i) {
    removeFrom(list, ringCount, i);
}

void removeAt(Enemy** list, int i) {
    removeFrom(list, enemyCount, i);
}

void pickRingColour() {
    // Separate statements keep the draw order: blue first, then green, then red.
    const auto blue = static_cast<Uint8>(175 + drawRandom() % 80);
    const auto green = static_cast<Uint8>(175 + drawRandom() % 80);
    const auto red = static_cast<Uint8>(175 + drawRandom() % 80);
    ringColour = SDL_MapRGB(screen->format, red, green, blue);
}

void resetRound() {
    aimX = 0.0;
    aimY = 0.0;
    spawnCountdown = 0;
    nextRingBlack = false;
    spawnX = 320.0;
    spawnY = 115.0;
    spawnAngle = 0.0;
    while (ringCount != 0) {
        removeAt(rings, 0);
    }
    while (enemyCount != 0) {
        removeAt(enemies, 0);
    }
    settleHighScore();
    health = 1.0;
    shownHealth = 1.0;
    score = 0;
    pickRingColour();
}
