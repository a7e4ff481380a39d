// The dashboard's three buttons with their hover look and actions, and the game's own cursor.
#pragma once

constexpr int ButtonFrameLeft = 170;     // left edge of a button frame's interior
constexpr int ButtonInteriorWidth = 300; // 14 whole pieces of 21 and a strip of 6
constexpr int ButtonInteriorHeight = 15;
constexpr int ButtonBorder = 21;
constexpr int ButtonSpacing = 50; // between centre lines
constexpr int ButtonLabelCentre = 320;
constexpr int CursorCell = 3;
constexpr int CursorHalf = 48;

// Called by the dashboard step in every visible frame, after the backdrop and before the header
// and footer: slides the buttons in with the fraction, draws them and carries out a click.
void drawDashboardButtons();
// Draws one button on centre line y with its label, hovered when the mouse is within its hit
// area; true when the left button went down on it this frame. Called by drawDashboardButtons.
bool drawButton(int y, const char* label);
// Draws a button frame in twelve blits from buttonImage row (0 normal, 1 hover) around the
// interior whose top-left corner is (x, y). Called by drawButton.
void drawButtonFrame(int x, int y, int row);
// Called by the dashboard step in every frame before the border: refreshes the pointer focus
// and, when the pointer is over the window, draws the cursor centred on the mouse.
void drawCursor();
