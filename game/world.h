// The world of the tunnel game and the round reset.
#pragma once

// Called by start-up once and by the world update when a round ends.
void resetRound();
