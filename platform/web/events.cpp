// SDL's event queue, mouse state, focus and clock for the page. The page's listeners hand the
// pointer, its buttons, the keys and the pointer's coming and going to the entry points below
// between two frames, so a frame never sees the queue change under it.
#include "platform/web/events.h"

#include <SDL.h>
#include <emscripten.h>

#include <cstring>

namespace {

constexpr int QueueCapacity = 128; // classic SDL's queue length; later events are dropped

SDL_Event queue[QueueCapacity];
int queued = 0;
int mouseX = 0;
int mouseY = 0;
Uint8 mouseButtons = 0;
bool pointerOver = false;
const double startMs = emscripten_get_now();

void enqueue(const SDL_Event& event) {
    if (queued < QueueCapacity) {
        queue[queued++] = event;
    }
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

extern "C" {

EMSCRIPTEN_KEEPALIVE void glimmPointerMoved(int x, int y) {
    mouseX = x, mouseY = y;
}

EMSCRIPTEN_KEEPALIVE void glimmButton(int button, int down, int x, int y) {
    glimmPointerMoved(x, y);
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

EMSCRIPTEN_KEEPALIVE void glimmKey(int symbol, int down) {
    SDL_Event event = {};
    event.type = down != 0 ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.type = event.type;
    event.key.state = down != 0 ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = static_cast<SDLKey>(symbol);
    enqueue(event);
}

EMSCRIPTEN_KEEPALIVE void glimmPointerOver(int over) {
    pointerOver = over != 0;
}

void SDL_PumpEvents() {
    // Nothing to fetch: the listeners queued everything before this frame began.
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
