// The page's start and its frame: the desktop's start-up and frame, and what the page does
// around them. Called by the web entry and the page's test hooks.
#pragma once

constexpr int TimedFrames = 4096; // the work times of the latest frames, for the benchmarks

extern int framesRun;                   // game frames run so far
extern double frameWorkMs[TimedFrames]; // the work time of frame n at n % TimedFrames, in ms

// Called once, before the first frame: the desktop's start-up in the game's folder, made ready
// for a page that must never block. False when the game cannot start.
bool startPage();
// Called once per game frame: runs it and times it; when it was the last, the listeners and
// the music stop and the site is told. False once the game has ended.
bool runPageFrame();

extern "C" {
// Called by the page's listeners (events.js) when the page goes hidden: the game pauses at once
// unless its dashboard is open.
void glimmPageHidden();
}
