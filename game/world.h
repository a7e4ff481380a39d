// The world of the tunnel game (rings, enemies, aim, spawn point, health, score) and the round
// reset that puts it back to the start.
#pragma once

#include <SDL.h>

// A wall of the tunnel with its circular hole. Its radius is also its nearness: the view
// offset, its enemies' size and drift all scale with it.
struct Ring {
    double x; // centre before the view offset
    double y;
    double radius; // starts at 1 and grows
    Uint32 colour; // raw pixel in the display's format: a light colour or black
};

// An enemy riding out on a ring, drifting away from the ring's centre.
struct Enemy {
    double x; // position before the view offset
    double y;
    double driftX; // heading at birth x 0.00025: pixels per ms per pixel of ring radius
    double driftY;
    Ring* ring; // not owned; its enemies always leave before the ring does
};

constexpr int ListCapacity = 1000;

// The purple of the enemies, the health bar and the score text.
constexpr Uint8 TintRed = 150;
constexpr Uint8 TintGreen = 100;
constexpr Uint8 TintBlue = 200;

// Where the view puts a ring's centre or one of its enemies: the position less the ring's share
// of the aim (nearer rings, with larger radii, move more). The scene truncates it to a pixel;
// the shots measure from it as it is.
inline double viewPosition(double position, double radius, double aim) {
    return position - radius * aim;
}

// Live objects, oldest first; slots from the count on are null.
extern Ring* rings[ListCapacity];
extern int ringCount;
extern Enemy* enemies[ListCapacity];
extern int enemyCount;

extern double aimX; // view offset per pixel of ring radius
extern double aimY;
extern double spawnX; // the wandering point where new rings are centred
extern double spawnY;
extern double spawnAngle;  // its heading in degrees, 0 to 360
extern int spawnCountdown; // 1-ms steps left until the next ring
extern bool nextRingBlack; // the next ring is black; the far end shows the next colour
extern Uint32 ringColour;  // raw light colour that the next coloured ring takes
extern double health;      // 1 full, 0 empty
extern double shownHealth; // follows health with a lag; 0 ends the round
extern int score;          // points of the current round
extern int highScore;      // best score; survives resets

// The only way objects leave a list: deletes entry i, closes the gap keeping the order, clears
// the freed slot and lowers the count. Callers: the round reset and the world update.
void removeAt(Ring** list, int i);
void removeAt(Enemy** list, int i);

// Called by start-up once and by the world update when the displayed health reaches 0: empties
// the world, settles the high score with "highscore.dat" and picks the first ring colour.
void resetRound();
// Called by the round reset and when a black ring spawns: three random draws (blue, green, red)
// of 175 + draw % 80, mapped through the display's format into ringColour.
void pickRingColour();
