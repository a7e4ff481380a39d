// Test support: scratch folders, headless start-up and a controllable clock.
#include "support/headless.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "app/frame_loop.h"
#include "gfx/pixels.h"
#include "platform/frame_clock.h"

namespace {

Uint32 fakeNow = 0;
std::vector<std::string> scratchFolders;

// At exit; a linked Media folder loses only the link.
void removeScratchFolders() {
    std::error_code ignored;
    for (const std::string& folder : scratchFolders) {
        std::filesystem::remove_all(folder, ignored);
    }
}

} // namespace

std::string enterScratchFolder(bool withMedia) {
    namespace fs = std::filesystem;
    std::string path = (fs::temp_directory_path() / "glimm-test-XXXXXX").string();
    if (mkdtemp(path.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a scratch folder";
        return {};
    }
    if (scratchFolders.empty()) {
        std::atexit(removeScratchFolders);
    }
    scratchFolders.push_back(path);
    if (withMedia) {
        fs::create_directory_symlink(GLIMM_MEDIA_DIR, fs::path(path) / "Media");
    }
    fs::current_path(path);
    return path;
}

bool startHeadless(int bitsPerPixel) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    return startGame(bitsPerPixel);
}

void useFakeClock(Uint32 startMs) {
    fakeNow = startMs;
    queryTicks = [] { return fakeNow; };
    delayFrame = [](Uint32) {};
}

void advanceFakeClock(Uint32 ms) {
    fakeNow += ms;
}

void runFrameLasting(Uint32 ms) {
    advanceFakeClock(ms);
    runFrame();
}

void pushKey(int symbol, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    const auto raw = static_cast<Uint32>(symbol); // any number, even past the known keys
    std::memcpy(&event.key.keysym.sym, &raw, sizeof raw);
    SDL_PushEvent(&event);
}

void pushButton(int button, bool down, int x, int y) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    SDL_PushEvent(&event);
}

void readRgb(SDL_Surface* surface, int x, int y, Uint8& red, Uint8& green, Uint8& blue) {
    SDL_GetRGB(getPixel(surface, x, y), surface->format, &red, &green, &blue);
}
