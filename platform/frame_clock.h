// The frame clock and the pointer focus, both taken late in the frame by the dashboard step, and
// the three seams through which tests stand in for the clock, the focus and the frame wait.
#pragma once

#include <SDL.h>

#include "platform/input.h"

constexpr int MaxFrameMs = 100; // the most one frame advances the world, however long it took
constexpr int StepMs = 16;      // the frame length the once-a-frame easings were tuned for

extern Uint32 lastFrameTicks; // SDL_GetTicks of the previous measureFrame
extern int frameMs; // ms between the two latest measureFrame calls, at most MaxFrameMs; 0 at start
// How many times this frame runs the steps made once a frame (the dashboard's slide, the aim's
// easing): 1, unless stepsFollowFrameLength, then max(1, round(frameMs / StepMs)).
extern int frameSteps;
// Set once by the page's start: a slow browser gives fewer frame callbacks than the 60 a second
// the easings were made for. The desktop paces its own frames and leaves it false.
extern bool stepsFollowFrameLength;

// The one clock of the frame loop and the frame clock; SDL_GetTicks unless a test stands in.
extern Uint32 (*queryTicks)();
// The one place the window's focus state is asked for; SDL_GetAppState unless a test stands in.
extern Uint8 (*queryAppState)();
// How the frame loop waits out the rest of a frame; SDL_Delay unless a test stands in.
extern void (*delayFrame)(Uint32 ms);

// Called once per frame as the dashboard step's first action, open or closed: sets frameMs and
// frameSteps.
void measureFrame();
// Called once per frame by the cursor step just before it draws; true when the pointer is over
// the window. The very first call reports false and clears every slot.
bool refreshPointerFocus();
