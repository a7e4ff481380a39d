// Taps beside the pointer: on a touch screen, the fingers other than the one that aims.
#pragma once

// Called by readInput once a frame: writes the places, in screen pixels, of the side taps made
// since the last call (at most capacity, the first ones kept) to x and y and returns how many.
// The desktop has only its mouse and never any (platform/side_taps.cpp); the page's come from
// its touch listeners (platform/web/events.cpp).
int takeSideTaps(int* x, int* y, int capacity);
