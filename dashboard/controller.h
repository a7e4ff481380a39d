// The pause dashboard's per-frame step: frame clock, backdrop, the visible pieces, cursor, border.
#pragma once

// Called once per frame by the frame loop, after the world step and before the flip.
void runDashboardFrame();
