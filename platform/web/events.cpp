// SDL's event queue, mouse state, focus and clock for the page, and its side taps. The page's
// listeners hand the pointer, its buttons and taps, the keys, the pointer's coming and going and
// the taps of other fingers to the entry points below between two frames, so a frame never sees
// the queue change under it.
#include "platform/web/events.h"

#include <SDL.h>
#include <emscripten.h>

#include <cstring>

#include "platform/input.h"
#include "platform/side_taps.h"

namespace {

constexpr int QueueCapacity = 128; // classic SDL's queue length; later events are dropped

SDL_Event queue[QueueCapacity];
int queued = 0;
int mouseX = 0;
int mouseY = 0;
Uint8 mouseButtons = 0;
bool pointerOver = false;
int sideTapCount = 0;
int sideTapX[PointerSlotCount - 1] = {};
int sideTapY[PointerSlotCount - 1] = {};
// Frames begun since the pointer came over the canvas, up to 2. The game takes the pointer's
// focus at a frame's end and acts on it from the next, so a tap that brought the focus is held
// back until a frame has seen the focus; taps held back wait in heldTaps.
int framesSinceOver = 2;
int heldTaps = 0;
const double startMs = emscripten_get_now();

void enqueue(const SDL_Event& event) {
    if (queued < QueueCapacity) {
        queue[queued++] = event;
    }
}

// A button's press or release at (x, y), the pointer left where it is.
void queueButton(int button, int down, int x, int y) {
    SDL_Event event = {};
    event.type = down != 0 ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.type = event.type;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down != 0 ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = static_cast<Uint16>(x), event.button.y = static_cast<Uint16>(y);
    if (button >= 1 && button <= 8) {
        const auto bit = static_cast<Uint8>(SDL_BUTTON(button));
        mouseButtons = static_cast<Uint8>(down != 0 ? mouseButtons | bit : mouseButtons & ~bit);
    }
    enqueue(event);
}

} // namespace

extern "C" {
// Defined in events.js, called only here.
void pageListen();
void pageStopListening();
}

void startListening() {
    pageListen();
}

void stopListening() {
    pageStopListening();
}

int takeSideTaps(int* x, int* y, int capacity) {
    const int count = sideTapCount < capacity ? sideTapCount : capacity;
    for (int i = 0; i < count; ++i) {
        x[i] = sideTapX[i], y[i] = sideTapY[i];
    }
    sideTapCount = 0;
    return count;
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void glimmPointerMoved(int x, int y) {
    mouseX = x, mouseY = y;
}

EMSCRIPTEN_KEEPALIVE void glimmButton(int button, int down, int x, int y) {
    glimmPointerMoved(x, y);
    queueButton(button, down, x, y);
}

EMSCRIPTEN_KEEPALIVE void glimmKey(int symbol, int down) {
    SDL_Event event = {};
    event.type = down != 0 ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down != 0 ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(symbol);
    enqueue(event);
}

EMSCRIPTEN_KEEPALIVE void glimmPointerOver(int over) {
    if (over != 0 && !pointerOver) {
        framesSinceOver = 0;
    }
    pointerOver = over != 0;
}

EMSCRIPTEN_KEEPALIVE void glimmTap(int x, int y) {
    glimmPointerMoved(x, y);
    if (framesSinceOver < 2) {
        ++heldTaps;
        return;
    }
    queueButton(SDL_BUTTON_LEFT, 1, x, y);
    queueButton(SDL_BUTTON_LEFT, 0, x, y);
}

// The right button's click shoots, as the mouse's would, and the dashboard ignores it: a second
// finger never presses a button under the first.
EMSCRIPTEN_KEEPALIVE void glimmSideTap(int x, int y) {
    if (sideTapCount < PointerSlotCount - 1) {
        sideTapX[sideTapCount] = x, sideTapY[sideTapCount] = y;
        ++sideTapCount;
    }
    queueButton(SDL_BUTTON_RIGHT, 1, x, y);
    queueButton(SDL_BUTTON_RIGHT, 0, x, y);
}

// The listeners queued everything before this frame began; only taps held back for the focus
// may be due.
void SDL_PumpEvents() {
    if (framesSinceOver < 2) {
        ++framesSinceOver;
    }
    for (; heldTaps > 0 && framesSinceOver == 2; --heldTaps) {
        queueButton(SDL_BUTTON_LEFT, 1, mouseX, mouseY);
        queueButton(SDL_BUTTON_LEFT, 0, mouseX, mouseY);
    }
}

// Classic SDL's look into the queue, as far as the game uses it: up to numevents events whose
// type is in mask, taken off in queue order.
int SDL_PeepEvents(SDL_Event* events, int numevents, SDL_eventaction action, Uint32 mask) {
    if (action != SDL_GETEVENT) {
        return -1; // adding and peeking are never asked for
    }
    int found = 0;
    for (int i = 0; i < queued && found < numevents;) {
        if ((SDL_EVENTMASK(queue[i].type) & mask) == 0) {
            ++i;
            continue;
        }
        events[found++] = queue[i];
        std::memmove(&queue[i], &queue[i + 1], sizeof(SDL_Event) * (queued - i - 1));
        --queued;
    }
    return found;
}

Uint8 SDL_GetMouseState(int* x, int* y) {
    if (x != nullptr) {
        *x = mouseX;
    }
    if (y != nullptr) {
        *y = mouseY;
    }
    return mouseButtons;
}

// The page is active and has the keys while shown; the mouse focus follows the pointer over the
// canvas.
Uint8 SDL_GetAppState() {
    return static_cast<Uint8>(SDL_APPACTIVE | SDL_APPINPUTFOCUS |
                              (pointerOver ? SDL_APPMOUSEFOCUS : 0));
}

Uint32 SDL_GetTicks() {
    return static_cast<Uint32>(emscripten_get_now() - startMs);
}

void SDL_Delay(Uint32 /*ms*/) {
    // A page cannot block: the web frame loop paces frames by the browser's frame callbacks and
    // never asks for a wait.
}

} // extern "C"
