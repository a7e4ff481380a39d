// Test support: stretches of play through the real frame routine.
#include "support/play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/frame_clock.h"
#include "support/headless.h"

namespace {

constexpr int EasingFrames = 39; // the dashboard opens or closes fully in 39 frames

void pressEscape() {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
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

void playClicking(int frames, Uint32 frameMs) {
    SDL_WarpMouse(320, 240);
    for (int frame = 0; frame < frames; ++frame) {
        pushButton(SDL_BUTTON_LEFT, frame % 2 == 0, 320, 240);
        runFrameLasting(frameMs);
    }
}

bool openDashboardFully() {
    pressEscape();
    for (int frame = 0; frame < EasingFrames && dashboardFraction != 100.0; ++frame) {
        runFrameLasting(16);
    }
    return dashboardOpen && dashboardFraction == 100.0;
}

void clickSaveScreenshot() {
    SDL_WarpMouse(320, 215);
    pushButton(SDL_BUTTON_LEFT, true, 320, 215);
    runFrameLasting(16);
    pushButton(SDL_BUTTON_LEFT, false, 320, 215);
    runFrameLasting(16);
}

bool closeDashboardFully() {
    SDL_WarpMouse(320, 400);
    pressEscape();
    for (int frame = 0; frame < EasingFrames + 1 && dashboardFraction != 0.0; ++frame) {
        runFrameLasting(16);
    }
    return !dashboardOpen && dashboardFraction == 0.0;
}

void playFullSequence() {
    useFakeClock(1000);
    queryAppState = focusedAppState;
    playClicking(20);
    EXPECT_TRUE(playRoundToItsEnd(0));
    playClicking(10);
    EXPECT_TRUE(openDashboardFully());
    const std::string before = folderListing();
    clickSaveScreenshot();
    EXPECT_NE(folderListing(), before) << "no screenshot was saved";
    EXPECT_TRUE(closeDashboardFully());
    playClicking(20);
    EXPECT_FALSE(quitRequested);
}

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeWhole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
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
