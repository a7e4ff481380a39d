// The per-frame input snapshot (three-valued key and button words, the pointer slots) and the
// quit flag that the event queue raises.
#pragma once

constexpr int KeyStateCount = 500;
constexpr int MouseButtonStateCount = 10;
constexpr int PointerSlotCount = 4;

// State words: 0 up, 1 held, 2 pressed during this frame's events. A press released within the
// same frame still reads 2 for that frame, and 0 from the next.
constexpr int KeyUp = 0;
constexpr int KeyHeld = 1;
constexpr int KeyPressed = 2;

extern int keyState[KeyStateCount];                 // by SDL 1.2 key symbol
extern int mouseButtonState[MouseButtonStateCount]; // by SDL button number, 1 left, 3 right
// Slot 0 is the mouse; slots 1 to 3 are this frame's side taps (takeSideTaps). x is held to
// 0..640, y is not clamped.
extern int pointerX[PointerSlotCount];
extern int pointerY[PointerSlotCount];
// Slot 0 while the window has the mouse focus (refreshPointerFocus); slots 1 to 3 from readInput
// to the next refreshPointerFocus, in a frame that read a side tap there.
extern bool pointerActive[PointerSlotCount];
// Set by a quit event or a termination signal (drainEvents) or the dashboard's "Exit" button;
// nothing clears it.
extern bool quitRequested;

// Called once per frame by the frame loop, after SDL_PumpEvents and before the world update:
// takes the key and button events off the queue in their order, reads the mouse position, and
// fills and activates a slot for each side tap.
void readInput();
// Called once per frame by the frame loop, after the flip: takes every event still queued; a
// quit event among them, or a termination signal caught since the last frame, sets
// quitRequested.
void drainEvents();
