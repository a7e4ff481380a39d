// The page's music beyond SDL_mixer's calls: its end.
#pragma once

// Called by the web frame loop once the game has ended: the music stops for good and the page
// lets its bytes go.
void endMusic();
