// Start-up to the first flipped frame, from process start: fork, exec, dynamic linking, SDL,
// audio, music and media loading, and one frame. Each iteration starts a fresh process.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "app/frame_loop.h"

namespace {

std::string selfPath;
std::string mediaParent;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs in the child: start-up exactly as main does it, one frame, then report and leave at once.
int runChild(int reportFd) {
    const auto start = std::chrono::steady_clock::now();
    if (!startGame(0)) {
        return 1;
    }
    runFrame();
    const double inProcess = secondsSince(start);
    if (write(reportFd, &inProcess, sizeof inProcess) != static_cast<ssize_t>(sizeof inProcess)) {
        return 1;
    }
    _exit(0);
}

// Whole process: fork to the first frame's report, exec and linking included.
void startupToFirstFrame(benchmark::State& state, bool wholeProcess) {
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execl(selfPath.c_str(), selfPath.c_str(), "--child", fd.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        double inProcess = 0;
        const bool reported =
            read(fds[0], &inProcess, sizeof inProcess) == static_cast<ssize_t>(sizeof inProcess);
        const double total = secondsSince(start);
        close(fds[0]);
        waitpid(child, nullptr, 0);
        if (!reported) {
            state.SkipWithError("the child reported no frame");
            return;
        }
        state.SetIterationTime(wholeProcess ? total : inProcess);
    }
}

void BM_ProcessStartToFirstFrame(benchmark::State& state) {
    startupToFirstFrame(state, true);
}
void BM_StartGameAndFirstFrame(benchmark::State& state) {
    startupToFirstFrame(state, false);
}

BENCHMARK(BM_ProcessStartToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartGameAndFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) {
        return runChild(std::atoi(argv[2]));
    }
    char path[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    selfPath.assign(path, length > 0 ? static_cast<size_t>(length) : 0);
    // The game finds its media relative to the working folder: run from the project's root,
    // on the dummy drivers.
    if (chdir(GLIMM_MEDIA_DIR "/..") != 0) {
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
