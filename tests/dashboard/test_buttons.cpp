// The buttons: the twelve-piece frame, layout as the dashboard slides, hover and click bounds,
// the three actions, and the labels' placement.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "dashboard/buttons.h"
#include "dashboard/controller.h"
#include "dashboard/state.h"
#include "dashboard_fixture.h"
#include "gfx/text.h"

namespace {

// A button sheet whose every pixel tells where it came from: red = sheet x, green = sheet y,
// blue 255. Black screen pixels are untouched.
void useTellingButtonSheet() {
    buttonImage = SDL_CreateRGBSurface(SDL_SWSURFACE, 189, 42, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int y = 0; y < 42; ++y) {
        for (int x = 0; x < 189; ++x) {
            SDL_Rect dot = {static_cast<Sint16>(x), static_cast<Sint16>(y), 1, 1};
            SDL_FillRect(buttonImage, &dot, mapRgb(buttonImage, x, y, 255));
        }
    }
}

struct SheetPixel {
    int x;
    int y;
    bool drawn;
};

SheetPixel sheetPixelAt(int x, int y) {
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    readRgb(screen, x, y, r, g, b);
    return {r, g, b == 255};
}

void expectFrom(int x, int y, int sheetX, int sheetY) {
    const SheetPixel p = sheetPixelAt(x, y);
    EXPECT_TRUE(p.drawn) << x << "," << y;
    EXPECT_EQ(p.x, sheetX) << x << "," << y;
    EXPECT_EQ(p.y, sheetY) << x << "," << y;
}

class Buttons : public ::testing::Test {
  protected:
    void SetUp() override {
        startDashboardTest(32);
        useTellingButtonSheet();
        fillScreen(0, 0, 0);
        dashboardOpen = true;
        dashboardFraction = 100.0;
    }
};

} // namespace

TEST_F(Buttons, FrameCovers342By57WithEveryPieceInPlace) {
    drawButtonFrame(170, 108, 0);
    for (int y = 80; y < 150; ++y) {
        for (int x = 140; x < 500; ++x) {
            const bool inside = x >= 149 && x <= 490 && y >= 87 && y <= 143;
            ASSERT_EQ(sheetPixelAt(x, y).drawn, inside) << x << "," << y;
        }
    }
    expectFrom(149, 87, 0, 0);    // top-left corner
    expectFrom(169, 143, 41, 20); // bottom-left corner, its last pixel
    expectFrom(490, 87, 62, 0);   // top-right corner
    expectFrom(490, 143, 83, 20); // bottom-right corner
    expectFrom(170, 123, 84, 0);  // bottom edge, first piece
    expectFrom(463, 123, 104, 0); // ... the 14th piece ends at 463
    expectFrom(464, 123, 84, 0);  // its 6-pixel strip
    expectFrom(469, 143, 89, 20);
    expectFrom(470, 108, 105, 0); // right edge, top 15 rows only
    expectFrom(490, 122, 125, 14);
    expectFrom(191, 87, 126, 0);   // top edge, second piece
    expectFrom(469, 107, 131, 20); // top strip
    expectFrom(149, 122, 147, 14); // left edge
    expectFrom(170, 108, 168, 0);  // fill
    expectFrom(469, 122, 173, 14); // fill strip
}

TEST_F(Buttons, HoverLookComesFromTheSecondRow) {
    drawButtonFrame(170, 108, 1);
    expectFrom(149, 87, 0, 21);
    expectFrom(469, 122, 173, 35);
}

TEST_F(Buttons, HitAreaBoundsAreExclusive) {
    mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
    const struct {
        int x;
        int y;
        bool inside;
    } cases[] = {{156, 115, false}, {157, 115, true}, {482, 115, true},  {483, 115, false},
                 {300, 94, false},  {300, 95, true},  {300, 135, true},  {300, 136, false},
                 {157, 95, true},   {482, 135, true}, {156, 136, false}, {640, 115, false}};
    for (const auto& c : cases) {
        pointerX[0] = c.x;
        pointerY[0] = c.y;
        EXPECT_EQ(drawButton(115, "Resume game"), c.inside) << c.x << "," << c.y;
        // The hover look follows the same test: fill pixels come from row 1.
        EXPECT_EQ(sheetPixelAt(300, 110).y >= 21, c.inside) << c.x << "," << c.y;
    }
}

TEST_F(Buttons, OnlyAFreshLeftPressClicks) {
    pointerX[0] = 300;
    pointerY[0] = 115;
    const int others[] = {SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT};
    for (int button : others) {
        mouseButtonState[button] = KeyPressed;
        EXPECT_FALSE(drawButton(115, "Resume game")) << button;
        mouseButtonState[button] = KeyUp;
    }
    mouseButtonState[SDL_BUTTON_LEFT] = KeyHeld;
    EXPECT_FALSE(drawButton(115, "Resume game"));
    mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
    EXPECT_TRUE(drawButton(115, "Resume game"));
}

TEST_F(Buttons, FullyOpenFramesSpanTheirRows) {
    drawDashboardButtons();
    const int tops[] = {87, 137, 187};
    for (int top : tops) {
        EXPECT_TRUE(sheetPixelAt(149, top).drawn) << top;
        EXPECT_EQ(sheetPixelAt(149, top).y, 0) << top;
        // The next frame, drawn later, lies over the last 7 rows of this one.
        EXPECT_EQ(sheetPixelAt(149, top + 49).y, 13) << top;
    }
    EXPECT_EQ(sheetPixelAt(149, 243).y, 20);
    EXPECT_FALSE(sheetPixelAt(149, 86).drawn);
    EXPECT_FALSE(sheetPixelAt(149, 244).drawn);
}

TEST_F(Buttons, FirstOpeningFrameLaysTheTopButtonBelowTheWindow) {
    pointerX[0] = 300;
    dashboardFraction = OpenStep(0.0);
    mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
    // The top button's centre line is at 560: its hit area starts at 540, out of reach.
    pointerY[0] = 479;
    drawDashboardButtons();
    EXPECT_TRUE(dashboardOpen);
    // Its frame reaches up to 532, still below the window.
    for (int x = 140; x < 500; ++x) {
        ASSERT_FALSE(sheetPixelAt(x, 479).drawn) << x;
    }
    dashboardFraction = 50.0; // centre line 355
    pointerY[0] = 375;
    drawDashboardButtons();
    EXPECT_FALSE(dashboardOpen);
}

TEST_F(Buttons, ActionsResumeExitAndSave) {
    mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
    pointerX[0] = 320;
    pointerY[0] = 215;
    drawDashboardButtons();
    struct stat info;
    EXPECT_EQ(stat("screenshot1.bmp", &info), 0);
    EXPECT_TRUE(dashboardOpen);
    EXPECT_FALSE(quitRequested);
    pointerY[0] = 165;
    drawDashboardButtons();
    EXPECT_TRUE(quitRequested);
    EXPECT_TRUE(dashboardOpen);
    EXPECT_NE(stat("screenshot2.bmp", &info), 0);
    pointerY[0] = 115;
    drawDashboardButtons();
    EXPECT_FALSE(dashboardOpen);
}

TEST_F(Buttons, ResumeWhileClosingChangesNothing) {
    dashboardOpen = false;
    dashboardFraction = 60.0;
    pointerX[0] = 320;
    pointerY[0] = slidePosition(595, 115);
    mouseButtonState[SDL_BUTTON_LEFT] = KeyPressed;
    drawDashboardButtons();
    EXPECT_FALSE(dashboardOpen);
    EXPECT_EQ(dashboardFraction, 60.0);
    EXPECT_FALSE(quitRequested);
}

namespace {

bool whiteAt(int x, int y) {
    return screenRgb(x, y) == 0xFFFFFF;
}

} // namespace

TEST_F(Buttons, LabelsAreCentredOn320WithTheirTopsTenAboveTheCentreLine) {
    buttonImage = nullptr; // an invisible button still has its label
    useBlockFont();
    drawDashboardButtons();
    const struct {
        int pen;
        int length;
        int top;
    } labels[] = {{260, 11, 105}, {298, 4, 155}, {216, 19, 205}};
    for (const auto& label : labels) {
        const int last = label.pen + (label.length - 1) * 11 + 14;
        EXPECT_FALSE(whiteAt(label.pen - 1, label.top + 5)) << label.pen;
        EXPECT_TRUE(whiteAt(label.pen, label.top + 5)) << label.pen;
        EXPECT_TRUE(whiteAt(last, label.top + 5)) << label.pen;
        EXPECT_FALSE(whiteAt(last + 1, label.top + 5)) << label.pen;
        EXPECT_FALSE(whiteAt(label.pen, label.top - 1)) << label.pen;
        EXPECT_TRUE(whiteAt(label.pen, label.top + 20)) << label.pen;
    }
}
