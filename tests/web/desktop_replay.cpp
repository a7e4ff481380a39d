// The desktop half of the page's pixel comparison: from a seed, plays a script of pointer moves,
// button and key presses and 16 ms frames on the dummy drivers, in a working folder that holds
// Media, and writes the screen's bytes at each mark to <mark>.raw, printing the mark and score.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/frame_loop.h"
#include "game/random.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

// Script lines: "move X Y", "focus 1" (the pointer over the window) or "focus 0", "down B",
// "up B", "keydown SYMBOL", "keyup SYMBOL", "frames N", "mark NAME".
int main(int argc, char** argv) {
    if (argc != 2 || !startHeadless(32)) {
        std::fprintf(stderr, "usage: desktop_replay SEED < SCRIPT\n");
        return 2;
    }
    useFakeClock(0);
    queryAppState = focusedAppState;
    seedRandom(static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
    resetRound();
    int x = 0, y = 0, number = 0;
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream words(line);
        std::string verb, name;
        words >> verb;
        if (verb == "move") {
            words >> x >> y;
            SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
        } else if (verb == "focus") {
            words >> number;
            queryAppState = number != 0 ? focusedAppState : unfocusedAppState;
        } else if (verb == "down" || verb == "up") {
            words >> number;
            pushButton(number, verb == "down", x, y);
        } else if (verb == "keydown" || verb == "keyup") {
            words >> number;
            pushKey(number, verb == "keydown");
        } else if (verb == "frames") {
            for (words >> number; number > 0; --number) {
                runFrameLasting(FrameBudgetMs);
            }
        } else if (verb == "mark") {
            words >> name;
            std::ofstream(name + ".raw", std::ios::binary)
                .write(static_cast<const char*>(screen->pixels), screen->pitch * screen->h);
            std::printf("%s %d\n", name.c_str(), score);
        }
    }
    return 0;
}
