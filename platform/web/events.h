// The page's input: its listeners (events.js) call the entry points below between two frames,
// and the page's SDL turns them into the events and the mouse state that readInput takes.
#pragma once

// Called by SDL_SetVideoMode: the listeners start, once.
void startListening();
// Called by the web frame loop once the game has ended: every listener stops.
void stopListening();

extern "C" {

// The pointer moved to (x, y) in screen pixels, already mapped from the canvas's page size.
void glimmPointerMoved(int x, int y);
// A button (1 left, 2 middle, 3 right) went down (down 1) or up at (x, y).
void glimmButton(int button, int down, int x, int y);
// A key went down or up, by its SDL 1.2 symbol; the page passes no key repeats.
void glimmKey(int symbol, int down);
// The pointer entered (1) or left (0) the canvas: the window's mouse focus. A finger brings it,
// and it stays once the finger is lifted.
void glimmPointerOver(int over);
// The aiming finger's tap at (x, y): the pointer goes there and the left button clicks, seen by
// a frame that already knows the pointer's focus.
void glimmTap(int x, int y);
// Another finger's tap at (x, y): it shoots there, the pointer staying with the aiming finger.
void glimmSideTap(int x, int y);

} // extern "C"
