// The pause dashboard's per-frame step: frame clock, backdrop, the visible pieces, cursor, border;
// and, while it stays fully open, no drawing at all for a frame that would look as the last.
#pragma once

// Called once per frame by the frame loop, after the world step and before the flip. True when
// it drew the frame; false when the dashboard is fully open and the frame would show exactly
// the picture already on the screen: then nothing is drawn, a click still acts, and the frame
// loop leaves the screen unflipped.
bool runDashboardFrame();
// Called by the frame loop when the window has been uncovered: the next frame is drawn in full.
void redrawDashboardNextFrame();
