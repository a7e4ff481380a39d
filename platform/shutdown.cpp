// How the game ends: SDL shut down at exit, termination signals, and a display that goes away.
#include "platform/shutdown.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t loopRunning = 0;
volatile std::sig_atomic_t terminationPending = 0;

// How long the frame that a termination signal interrupted may take to end before the process
// is stopped anyway: a display that stopped answering holds the frame for good.
constexpr unsigned FrameGraceSeconds = 5;

void endByDefault(int signalNumber) {
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

void onTerminationSignal(int signalNumber) {
    if (loopRunning != 0 && terminationPending == 0) {
        // The frame is finished first, so a high score or screenshot being written is whole.
        terminationPending = 1;
        alarm(FrameGraceSeconds);
        return;
    }
    // Outside the loop (start-up, shut-down) or asked a second time: nothing to finish.
    endByDefault(signalNumber);
}

void onFrameGraceOver(int /*signalNumber*/) {
    static const char message[] = "glimm: the last frame did not end after a termination "
                                  "signal; stopping at once\n";
    const ssize_t ignored = write(STDERR_FILENO, message, sizeof message - 1);
    (void)ignored;
    endByDefault(SIGTERM);
}

void takeSignal(int signalNumber, void (*handler)(int)) {
    struct sigaction action = {};
    sigaction(signalNumber, nullptr, &action);
    if (action.sa_handler == SIG_IGN && signalNumber != SIGALRM) {
        return; // started with it ignored (in the background of a shell): keep it so
    }
    action = {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signalNumber, &action, nullptr);
}

// The exit handler in place of a bare SDL_Quit.
void shutDownAtExit() {
    if (loopRunning == 0) {
        SDL_Quit();
        return;
    }
    // exit() from inside a frame: Xlib's handler of a broken display connection calls it (after
    // its "XIO: fatal IO error" line). SDL_Quit would now take the window down over the dead
    // connection, and on sdl12-compat SDL 2 then waits in XIfEvent for an UnmapNotify that can
    // never come, spinning for ever with SIGTERM unheard. Leave SDL alone; the exit goes on.
    std::fputs("glimm: the connection to the display was lost; the game ends\n", stderr);
}

} // namespace

void installShutdownHandling() {
    std::atexit(shutDownAtExit);
    // In place of SDL's own handlers, which only queue a quit event for a frame to find.
    takeSignal(SIGTERM, onTerminationSignal);
    takeSignal(SIGINT, onTerminationSignal);
    takeSignal(SIGALRM, onFrameGraceOver);
}

void markFrameLoop(bool running) {
    loopRunning = running ? 1 : 0;
}

bool terminationRequested() {
    return terminationPending != 0;
}
