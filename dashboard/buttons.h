// The dashboard's three buttons with their hover look and actions, and the game's own cursor.
#pragma once

constexpr int DashboardButtonCount = 3; // "Resume game", "Exit", "Save BMP screenshot"
constexpr int NoButton = -1;

// Called by the dashboard step in every visible frame that is drawn, after the backdrop and
// before the header and footer: slides the buttons in with the fraction, draws them and carries
// out a click.
void drawDashboardButtons();
// Called by the dashboard step in a fully open frame that is not drawn again: carries out a
// click as drawDashboardButtons would, drawing nothing.
void pressDashboardButtons();
// Called by the dashboard step to tell whether a frame would look as the last one: the place of
// the button under the pointer at the current fraction (0 the top one), or NoButton.
int hoveredDashboardButton();
// Called by the dashboard step in every drawn frame before the border: when shown (the pointer
// is over the window), draws the cursor centred on the mouse.
void drawCursor(bool shown);

// ---- Exported for the tests only ----

// Draws one button on centre line y with its label, hovered when the mouse is within its hit
// area; true when the left button went down on it this frame. Called by drawDashboardButtons.
bool drawButton(int y, const char* label);
// Draws a button frame in twelve blits from buttonImage row (0 normal, 1 hover) around the
// interior whose top-left corner is (x, y). Called by drawButton.
void drawButtonFrame(int x, int y, int row);
