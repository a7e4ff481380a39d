// World state and round reset (to come).
#include "game/world.h"

void resetRound() {}
