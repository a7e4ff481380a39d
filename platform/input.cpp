// The input snapshot: key and mouse-button events become state words once a frame.
#include "platform/input.h"

#include <SDL.h>

#include <cstring>

#include "platform/display.h"
#include "platform/shutdown.h"
#include "platform/side_taps.h"

int keyState[KeyStateCount] = {};
int mouseButtonState[MouseButtonStateCount] = {};
int pointerX[PointerSlotCount] = {};
int pointerY[PointerSlotCount] = {};
bool pointerActive[PointerSlotCount] = {};
bool quitRequested = false;

namespace {

// Entries whose press and release came in the same frame: they read as pressed for that frame
// and drop to up at the next, so a tap (a laptop's tap-to-click, a quick Escape) is never lost.
bool keyReleaseDue[KeyStateCount] = {};
bool mouseButtonReleaseDue[MouseButtonStateCount] = {};

void ageStates(int* states, bool* releaseDue, int count) {
    for (int i = 0; i < count; ++i) {
        if (releaseDue[i]) {
            releaseDue[i] = false;
            states[i] = KeyUp;
        } else if (states[i] != KeyUp) {
            states[i] = KeyHeld;
        }
    }
}

// Takes every down and up event of one device off the queue, in the order they came, and sets
// the entry its index names; indices past the table are taken off and ignored.
template <typename IndexOf>
void takeEvents(Uint8 downType, Uint8 upType, int* states, bool* releaseDue, int count,
                IndexOf indexOf) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT,
                          SDL_EVENTMASK(downType) | SDL_EVENTMASK(upType)) > 0) {
        const int index = indexOf(event);
        if (index < 0 || index >= count) {
            continue;
        }
        if (event.type == downType) {
            states[index] = KeyPressed;
            releaseDue[index] = false;
        } else if (states[index] == KeyPressed) {
            releaseDue[index] = true; // pressed in this very frame: seen first, released next
        } else {
            states[index] = KeyUp;
        }
    }
}

// Read as a plain number: a symbol past the known keys must be ignored, not loaded as an SDLKey.
int keySymbolOf(const SDL_Event& event) {
    static_assert(sizeof(event.key.keysym.sym) == sizeof(Uint32), "SDLKey is 32 bits");
    Uint32 symbol = 0;
    std::memcpy(&symbol, &event.key.keysym.sym, sizeof symbol);
    return symbol < static_cast<Uint32>(KeyStateCount) ? static_cast<int>(symbol) : -1;
}
int buttonOf(const SDL_Event& event) {
    return static_cast<int>(event.button.button);
}

} // namespace

void readInput() {
    ageStates(keyState, keyReleaseDue, KeyStateCount);
    takeEvents(SDL_KEYDOWN, SDL_KEYUP, keyState, keyReleaseDue, KeyStateCount, keySymbolOf);
    ageStates(mouseButtonState, mouseButtonReleaseDue, MouseButtonStateCount);
    takeEvents(SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP, mouseButtonState, mouseButtonReleaseDue,
               MouseButtonStateCount, buttonOf);
    SDL_GetMouseState(&pointerX[0], &pointerY[0]);
    // A side tap shoots at its own place in the frame that reads it, beside the pointer's.
    const int sideTaps = takeSideTaps(&pointerX[1], &pointerY[1], PointerSlotCount - 1);
    for (int slot = 1; slot < PointerSlotCount; ++slot) {
        pointerActive[slot] = slot <= sideTaps;
    }
    for (int slot = 0; slot < PointerSlotCount; ++slot) {
        if (pointerX[slot] < 0) {
            pointerX[slot] = 0;
        } else if (pointerX[slot] > ScreenWidth) {
            pointerX[slot] = ScreenWidth;
        }
    }
}

void drainEvents() {
    if (terminationRequested()) {
        quitRequested = true;
    }
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_ALLEVENTS) > 0) {
        if (event.type == SDL_QUIT) {
            quitRequested = true;
        }
    }
}
