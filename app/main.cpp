// Glimm's entry: start up, then run frames until the player quits.
#include "app/frame_loop.h"

int main(int /*argc*/, char** /*argv*/) {
    if (!startGame(0)) {
        return 1;
    }
    runGameLoop();
    return 0;
}
