// The real game in a real window: the tunnel appears and the health bar sits in its frame.
#include "player/harness.h"

#include <chrono>
#include <set>
#include <thread>

namespace {

// Distinct colours above the health bar and score lines, where only the tunnel is drawn.
size_t tunnelColours() {
    int width = 0;
    int height = 0;
    const std::vector<std::uint32_t> pixels = grabWindow(width, height);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < 400 && y < height; y += 4) {
        for (int x = 0; x < width; x += 4) {
            colours.insert(pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                  static_cast<size_t>(x)]);
        }
    }
    return colours.size();
}

} // namespace

TEST_F(PlayerTest, TunnelAppearsWithinTwoSecondsAndHealthBarSitsInItsFrame) {
    launchGame(makeGameFolder());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(waitForGameWindow(), 0UL) << gameStderr();
    movePointer(320, 100); // keep the game's own cursor off the bar

    size_t colours = tunnelColours();
    while (colours < 2 && std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        colours = tunnelColours();
    }
    EXPECT_GE(colours, 2u) << "the window is still one colour two seconds after start";

    // The score lines cover the bar's left part; from x 400 on only the bar is there.
    const std::uint32_t black = 0x000000;
    const std::uint32_t purple = 0x9664C8;
    for (int x = 400; x <= 621; ++x) {
        EXPECT_EQ(windowPixel(x, 423), black) << "top frame at x " << x;
        EXPECT_EQ(windowPixel(x, 451), black) << "bottom frame at x " << x;
    }
    for (int y = 423; y <= 451; ++y) {
        EXPECT_EQ(windowPixel(620, y), black) << "right frame at y " << y;
        EXPECT_EQ(windowPixel(621, y), black) << "right frame at y " << y;
        if (y >= 425 && y <= 449) {
            EXPECT_EQ(windowPixel(619, y), purple) << "bar's right end at y " << y;
            EXPECT_EQ(windowPixel(400, y), purple) << "bar at y " << y;
        }
    }
}
