// Font tint (to come); pixel access itself is inline in the header.
#include "gfx/pixels.h"

void tintFont(Uint32 /*colour*/) {}
