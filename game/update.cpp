// World update (to come).
#include "game/update.h"

void updateWorld() {}
