// Score lines (to come).
#include "game/score_lines.h"

bool fontTinted = false;

void prepareScoreFont() {}
void drawScoreLines() {}
void drawOutlinedLine(Sint16 /*y*/, const char* /*text*/) {}
