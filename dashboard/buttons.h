// The dashboard's three buttons with their hover look and actions, and the game's own cursor.
#pragma once

// Called by the dashboard step in every visible frame, after the backdrop and before the header
// and footer: slides the buttons in with the fraction, draws them and carries out a click.
void drawDashboardButtons();
// Called by the dashboard step in every frame before the border: refreshes the pointer focus
// and, when the pointer is over the window, draws the cursor centred on the mouse.
void drawCursor();

// ---- Exported for the tests only ----

// Draws one button on centre line y with its label, hovered when the mouse is within its hit
// area; true when the left button went down on it this frame. Called by drawDashboardButtons.
bool drawButton(int y, const char* label);
// Draws a button frame in twelve blits from buttonImage row (0 normal, 1 hover) around the
// interior whose top-left corner is (x, y). Called by drawButton.
void drawButtonFrame(int x, int y, int row);
