// How the game ends: SDL shut down at exit, termination signals, and a display that goes away.
#pragma once

// Called once by startGame right after SDL_Init. From then on SDL is shut down at exit, unless
// the exit comes from inside the frame loop (a lost display, see shutdown.cpp); SIGTERM and
// SIGINT end the loop after the current frame, and end the process at once outside it.
void installShutdownHandling();
// Called by runGameLoop with true on entering the loop and false on leaving it.
void markFrameLoop(bool running);
// Read by the frame's event drain: true once a termination signal asked the loop to end.
bool terminationRequested();
