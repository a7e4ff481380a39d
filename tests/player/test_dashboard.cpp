// The pause dashboard as a player meets it: Escape, the pale backdrop and buttons, saving a
// screenshot, resuming, exiting, and the cursor on the mouse.
#include "player/harness.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t Green = 0x00FF00;
// Where the pointer waits, clear of the buttons.
constexpr int RestX = 600;
constexpr int RestY = 30;
// How long a key or button is held: longer than a frame, even a slow one on a busy machine, or
// the press and the release fall into one frame and the game never sees the press.
constexpr int HoldMs = 150;

void sleepFor(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// An opaque PNG painted by colourAt(x, y) as 0xRRGGBB.
void writePng(const std::string& path, int width, int height,
              const std::function<std::uint32_t(int, int)>& colourAt) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = colourAt(x, y);
            rgb.push_back(static_cast<std::uint8_t>(colour >> 16));
            rgb.push_back(static_cast<std::uint8_t>(colour >> 8));
            rgb.push_back(static_cast<std::uint8_t>(colour));
        }
    }
    stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
}

// A game folder whose only images are an all-magenta button sheet and a cursor sheet whose
// cell 3 is green, so the buttons and the cursor can be told apart from everything else.
std::string folderWithMarkedImages() {
    namespace fs = std::filesystem;
    const std::string folder = makeGameFolder(false);
    fs::create_directories(fs::path(folder) / "Media" / "Lumadeck");
    writePng(folder + "/Media/Lumadeck/Button.png", 189, 42, [](int, int) { return Magenta; });
    writePng(folder + "/Media/Lumadeck/Cursor.png", 1536, 96,
             [](int x, int) { return x >= 288 && x < 384 ? Green : 0x0000FFu; });
    return folder;
}

std::string folder;

void startGameWithMarkedImages() {
    folder = folderWithMarkedImages();
    launchGame(folder);
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
}

// Escape held for a few frames (a press and release inside one frame is never seen), in one
// xdotool run so that a slow start of a second one cannot stretch the hold into the X server's
// key repeat. Keys go where the pointer is: the caller keeps it over the window.
void tapEscape() {
    xdotool("keydown Escape sleep " + std::to_string(HoldMs / 1000.0) + " keyup Escape");
}

// A left click held for a few frames, for the same reason.
void clickLeft() {
    xdotool("mousedown 1 sleep " + std::to_string(HoldMs / 1000.0) + " mouseup 1");
}

// Polls until the condition holds or the time is up (frames slow down on a busy machine).
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 8000) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        if (condition()) {
            return true;
        }
        sleepFor(50);
    }
    return condition();
}

// The top button's frame reaches row 87 only once the dashboard is fully open.
bool fullyOpen() {
    return windowPixel(149, 87) == Magenta;
}

// The frame that reaches 100 still blends its backdrop at 99 (the backdrop is drawn before the
// easing step); the plain backdrop follows a frame later.
void letThePlainBackdropFollow() {
    sleepFor(150);
}

// Escape, then the 39 frames of the opening.
void openDashboard() {
    movePointer(RestX, RestY);
    tapEscape();
    ASSERT_TRUE(waitUntil(fullyOpen)) << "the dashboard did not open";
    letThePlainBackdropFollow();
}

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

Picture grab() {
    Picture picture;
    picture.pixels = grabWindow(picture.width, picture.height);
    return picture;
}

bool pale(std::uint32_t rgb) {
    return (rgb >> 16 & 255) >= 100 && (rgb >> 8 & 255) >= 100 && (rgb & 255) >= 100;
}

// Pixels darker than the backdrop can ever be, away from the cursor resting in the top-right
// corner. The game always has some: the black frame of its health bar.
int darkPixels(const Picture& picture) {
    int dark = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const bool underCursor = x >= RestX - 48 && y <= RestY + 48;
            const std::uint32_t rgb = picture.at(x, y);
            dark += pale(rgb) || rgb == Magenta || underCursor ? 0 : 1;
        }
    }
    return dark;
}

// A saved BMP's size and its pixels as 0xRRGGBB, for the 24 and 32-bit forms SDL writes.
Picture readBmp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    Picture picture;
    if (bytes.size() < 54) {
        return picture;
    }
    auto little = [&](size_t at, int count) {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) {
            value = value << 8 | bytes[at + static_cast<size_t>(i)];
        }
        return value;
    };
    const std::uint32_t offset = little(10, 4);
    picture.width = static_cast<int>(little(18, 4));
    const auto rawHeight = static_cast<std::int32_t>(little(22, 4));
    picture.height = rawHeight < 0 ? -rawHeight : rawHeight;
    const int bytesPerPixel = static_cast<int>(little(28, 2)) / 8;
    if (bytesPerPixel < 3) {
        return picture;
    }
    const size_t rowBytes = (static_cast<size_t>(picture.width) * bytesPerPixel + 3) / 4 * 4;
    if (bytes.size() < offset + rowBytes * static_cast<size_t>(picture.height)) {
        return picture;
    }
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        const int row = rawHeight < 0 ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            const size_t at = offset + rowBytes * row + static_cast<size_t>(x) * bytesPerPixel;
            picture.pixels[static_cast<size_t>(y) * picture.width + x] = little(at, 3);
        }
    }
    return picture;
}

} // namespace

TEST_F(PlayerTest, EscapeTurnsTheWindowPaleAndSlidesTheButtonsIn) {
    startGameWithMarkedImages();
    movePointer(RestX, RestY);
    sleepFor(500);
    const Picture playing = grab();
    ASSERT_EQ(playing.width, 640);
    EXPECT_GT(darkPixels(playing), 0);
    EXPECT_NE(playing.at(300, 115), Magenta);
    tapEscape();
    sleepFor(100); // a few frames in: the top button is still on its way up
    EXPECT_NE(windowPixel(300, 115), Magenta);
    ASSERT_TRUE(waitUntil(fullyOpen));
    letThePlainBackdropFollow();
    const Picture open = grab();
    EXPECT_EQ(darkPixels(open), 0);
    // Three frames from x 149 to 490 and from y 87 to 243.
    for (int y = 87; y <= 243; y += 4) {
        EXPECT_EQ(open.at(149, y), Magenta) << y;
        EXPECT_EQ(open.at(490, y), Magenta) << y;
        EXPECT_NE(open.at(148, y), Magenta) << y;
        EXPECT_NE(open.at(491, y), Magenta) << y;
    }
    EXPECT_NE(open.at(300, 86), Magenta);
    EXPECT_NE(open.at(300, 244), Magenta);
}

TEST_F(PlayerTest, SaveScreenshotWritesTheGameFrameWithoutTheDashboard) {
    startGameWithMarkedImages();
    sleepFor(500);
    openDashboard();
    movePointer(320, 215);
    clickLeft();
    Picture saved;
    waitUntil([&] {
        saved = readBmp(folder + "/screenshot1.bmp");
        return saved.pixels.size() == size_t{640} * 480;
    });
    ASSERT_EQ(saved.width, 640);
    ASSERT_EQ(saved.height, 480);
    ASSERT_EQ(saved.pixels.size(), 640u * 480u);
    EXPECT_GT(darkPixels(saved), 0); // the game, not the pale backdrop
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_NE(saved.at(x, y), Magenta) << x << "," << y;
            ASSERT_NE(saved.at(x, y), Green) << x << "," << y; // nor the cursor
        }
    }
    EXPECT_FALSE(std::filesystem::exists(folder + "/screenshot2.bmp"));
}

TEST_F(PlayerTest, ResumeGameBringsTheMovingTunnelBack) {
    startGameWithMarkedImages();
    sleepFor(500);
    openDashboard();
    const Picture frozen = grab();
    sleepFor(300);
    const Picture stillFrozen = grab();
    EXPECT_EQ(darkPixels(frozen), 0);
    // Frozen: only the clock in the header may change.
    for (int y = 60; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(frozen.at(x, y), stillFrozen.at(x, y)) << x << "," << y;
        }
    }
    movePointer(320, 115);
    clickLeft();
    movePointer(RestX, RestY);
    EXPECT_TRUE(waitUntil([] { return darkPixels(grab()) > 0; }));
    const Picture first = grab();
    sleepFor(300);
    const Picture later = grab();
    EXPECT_GT(darkPixels(later), 0);
    EXPECT_NE(first.pixels, later.pixels);
}

TEST_F(PlayerTest, ExitEndsTheGameWithStatusZero) {
    startGameWithMarkedImages();
    openDashboard();
    movePointer(320, 165);
    clickLeft();
    EXPECT_EQ(waitForGameExit(8000), 0) << gameStderr();
}

TEST_F(PlayerTest, CursorFollowsTheMouseOverTheWindow) {
    startGameWithMarkedImages();
    movePointer(200, 200);
    EXPECT_TRUE(waitUntil([] { return windowPixel(200, 200) == Green; }));
    EXPECT_EQ(windowPixel(152, 152), Green);
    EXPECT_EQ(windowPixel(247, 247), Green);
    movePointer(400, 300);
    EXPECT_TRUE(waitUntil([] { return windowPixel(400, 300) == Green; }));
    EXPECT_EQ(windowPixel(352, 252), Green);
    EXPECT_NE(windowPixel(200, 200), Green);
}
