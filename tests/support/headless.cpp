// Test support: the routines behind headless.h.
#include "support/headless.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>

#include "app/frame_loop.h"
#include "dashboard/state.h"
#include "gfx/pixels.h"
#include "gfx/text.h"
#include "platform/frame_clock.h"

namespace {
Uint32 fakeNow = 0;
std::vector<std::string> scratchFolders; // removed at exit; a linked Media loses the link
} // namespace

std::string enterScratchFolder(bool withMedia) {
    namespace fs = std::filesystem;
    std::string path = (fs::temp_directory_path() / "glimm-test-XXXXXX").string();
    EXPECT_NE(mkdtemp(path.data()), nullptr);
    if (scratchFolders.empty()) {
        std::atexit([] {
            std::error_code ignored;
            for (const std::string& folder : scratchFolders) {
                fs::remove_all(folder, ignored);
            }
        });
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

bool startInScratchFolder(bool withMedia, int bitsPerPixel) {
    enterScratchFolder(withMedia);
    useFakeClock(1000);
    queryAppState = focusedAppState;
    return startHeadless(bitsPerPixel);
}

void useFakeClock(Uint32 startMs) {
    fakeNow = startMs;
    queryTicks = [] { return fakeNow; };
    delayFrame = [](Uint32) {};
}

void runFrameLasting(Uint32 ms) {
    fakeNow += ms;
    runFrame();
}

void pushKey(int symbol, bool down) {
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = static_cast<SDLKey>(symbol);
    SDL_PushEvent(&event);
}

void pushButton(int button, bool down, int x, int y) {
    SDL_Event event = {};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = static_cast<Uint8>(button);
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    SDL_PushEvent(&event);
}

Uint32 rgbAt(int x, int y, SDL_Surface* surface) {
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(getPixel(surface, x, y), surface->format, &r, &g, &b);
    return Uint32(r) << 16 | Uint32(g) << 8 | b;
}

std::vector<Uint8> bytesOf(SDL_Surface* surface) {
    const auto* bytes = static_cast<const Uint8*>(surface->pixels);
    return {bytes, bytes + static_cast<size_t>(surface->pitch) * surface->h};
}

void useNumberedSheets() {
    ++fontRevision;
    for (SDL_Surface** sheet : {&fontImage, &tintedFontImage}) {
        SDL_FreeSurface(*sheet);
        *sheet = SDL_CreateRGBSurface(SDL_SWSURFACE | SDL_SRCALPHA, GlyphCount * GlyphWidth,
                                      GlyphHeight, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
        const Uint8 mark = sheet == &fontImage ? PlainMark : TintedMark;
        for (Sint16 x = 0; x < (*sheet)->w; x += GlyphWidth) {
            SDL_Rect cell = {x, 0, GlyphWidth, GlyphHeight};
            SDL_FillRect(*sheet, &cell,
                         SDL_MapRGBA((*sheet)->format, x / GlyphWidth, mark, 7, 255));
        }
    }
}

int cellAt(int x, int y, Uint8 mark) {
    const Uint32 rgb = rgbAt(x, y);
    return (rgb & 0xFFFF) == Uint32(mark << 8 | 7) ? int(rgb >> 16) : NoCell;
}

Uint8 focusedAppState() {
    return SDL_APPMOUSEFOCUS | SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

Uint8 unfocusedAppState() {
    return SDL_APPINPUTFOCUS | SDL_APPACTIVE;
}

std::string readWhole(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

void writeWhole(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool underSizeLimit(long bytes, const std::function<bool()>& act) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails instead of killing us
    rlimit usual = {};
    getrlimit(RLIMIT_FSIZE, &usual);
    const rlimit cut = {bytes < 0 ? usual.rlim_cur : rlim_t(bytes), usual.rlim_max};
    setrlimit(RLIMIT_FSIZE, &cut); // the soft limit only
    const bool result = act();
    setrlimit(RLIMIT_FSIZE, &usual);
    return result;
}

// A press is held across a frame.
bool play(int n, Uint32 ms, int x, int y, const std::function<bool()>& done, bool click) {
    SDL_WarpMouse(static_cast<Uint16>(x), static_cast<Uint16>(y));
    for (int frame = 0; frame < n; ++frame) {
        click ? pushButton(SDL_BUTTON_LEFT, frame % 2 == 0, x, y) : void();
        runFrameLasting(ms);
        if (done()) {
            return true;
        }
    }
    return false;
}

bool easeDashboardTo(double fraction) {
    pushKey(SDLK_ESCAPE, true);
    runFrameLasting(16);
    pushKey(SDLK_ESCAPE, false);
    return play(
        40, 16, 320, 400, [=] { return dashboardFraction == fraction; }, false);
}
