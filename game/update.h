// The per-frame world update.
#pragma once

// Called once per frame by the frame loop while dashboardFraction is exactly 0.
void updateWorld();
