// The input snapshot: key and mouse-button events become state words once a frame.
#include "platform/input.h"

#include <SDL.h>

#include <cstring>

#include "platform/display.h"
#include "platform/shutdown.h"

int keyState[KeyStateCount] = {};
int mouseButtonState[MouseButtonStateCount] = {};
int pointerX[PointerSlotCount] = {};
int pointerY[PointerSlotCount] = {};
bool quitRequested = false;

namespace {

void ageStates(int* states, int count) {
    for (int i = 0; i < count; ++i) {
        if (states[i] != KeyUp) {
            states[i] = KeyHeld;
        }
    }
}

// Takes every event of one type off the queue and sets the entry its index names; indices past
// the table are taken off and ignored.
template <typename IndexOf>
void takeEvents(Uint32 mask, int* states, int count, int newState, IndexOf indexOf) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, mask) > 0) {
        const int index = indexOf(event);
        if (index >= 0 && index < count) {
            states[index] = newState;
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
    ageStates(keyState, KeyStateCount);
    takeEvents(SDL_KEYDOWNMASK, keyState, KeyStateCount, KeyPressed, keySymbolOf);
    takeEvents(SDL_KEYUPMASK, keyState, KeyStateCount, KeyUp, keySymbolOf);
    ageStates(mouseButtonState, MouseButtonStateCount);
    takeEvents(SDL_MOUSEBUTTONDOWNMASK, mouseButtonState, MouseButtonStateCount, KeyPressed,
               buttonOf);
    takeEvents(SDL_MOUSEBUTTONUPMASK, mouseButtonState, MouseButtonStateCount, KeyUp, buttonOf);
    SDL_GetMouseState(&pointerX[0], &pointerY[0]);
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
