// Test support: stretches of play through the real frame routine.
#include "support/play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "dashboard/state.h"
#include "game/world.h"
#include "platform/frame_clock.h"
#include "platform/input.h"
#include "support/headless.h"

namespace {

// Clicks at (x, y) every other frame; presses are held across a frame to be seen.
void playClicking(int frames, int x, int y) {
    SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
    for (int frame = 0; frame < frames; ++frame) {
        pushButton(SDL_BUTTON_LEFT, frame % 2 == 0, x, y);
        runFrameLasting(16);
    }
}

// Escape held for a frame, then frames until the dashboard has eased fully open or closed.
bool easeDashboardTo(double fraction) {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
    for (int frame = 0; frame < 40 && dashboardFraction != fraction; ++frame) {
        runFrameLasting(16);
    }
    return dashboardFraction == fraction;
}

} // namespace

Uint8 focusedAppState() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}
Uint8 unfocusedAppState() {
    return SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

bool playRoundToItsEnd(int roundScore, Uint32 frameMs, int maxFrames) {
    score = roundScore;
    bool hurt = false;
    for (int frame = 0; frame < maxFrames; ++frame) {
        runFrameLasting(frameMs);
        if (shownHealth < 1.0) {
            hurt = true;
        } else if (hurt) {
            return score == 0;
        }
    }
    return false;
}

void playFullSequence() {
    useFakeClock(1000);
    queryAppState = focusedAppState;
    playClicking(20, 320, 240);
    EXPECT_TRUE(playRoundToItsEnd(0));
    EXPECT_TRUE(easeDashboardTo(100.0));
    const std::string before = folderListing();
    playClicking(2, 320, 215); // "Save BMP screenshot"
    EXPECT_NE(folderListing(), before) << "no screenshot was saved";
    SDL_WarpMouse(320, 400); // off the buttons
    EXPECT_TRUE(easeDashboardTo(0.0));
    playClicking(20, 320, 240);
    EXPECT_FALSE(quitRequested);
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeWhole(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string folderListing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) {
        listing += name + " ";
    }
    return listing;
}
