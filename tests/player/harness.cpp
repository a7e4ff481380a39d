// Player-level harness: Xvfb, the real binary, xdotool input and Xlib reads.
#include "player/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

pid_t serverPid = -1;
pid_t gamePid = -1;
Display* display = nullptr;
Window gameWindow = 0;
std::string gameFolder;
std::vector<std::string> madeFolders;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int ignoreXErrors(Display* /*display*/, XErrorEvent* /*error*/) {
    return 0;
}

bool hasCaption(Window window, const char* caption) {
    char* name = nullptr;
    bool found = false;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        found = std::strcmp(name, caption) == 0;
        XFree(name);
    }
    return found;
}

Window findCaptioned(Window parent, const char* caption) {
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &parentOut, &children, &count) == 0) {
        return 0;
    }
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable && hasCaption(children[i], caption)) {
            found = children[i];
        } else {
            found = findCaptioned(children[i], caption);
        }
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

// The window's top-left corner on the root window.
bool windowOrigin(int& x, int& y) {
    Window child = 0;
    return XTranslateCoordinates(display, gameWindow, DefaultRootWindow(display), 0, 0, &x, &y,
                                 &child) != 0;
}

} // namespace

bool startXServer() {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    serverPid = fork();
    if (serverPid == 0) {
        close(fds[0]);
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-noreset",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        return false;
    }
    const std::string name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    XSetErrorHandler(ignoreXErrors);
    display = XOpenDisplay(name.c_str());
    return display != nullptr;
}

void endXServer() {
    if (display != nullptr) {
        XCloseDisplay(display);
        display = nullptr;
    }
    if (serverPid > 0) {
        kill(serverPid, SIGKILL);
        waitpid(serverPid, nullptr, 0);
        serverPid = -1;
    }
}

void freezeXServer(bool frozen) {
    if (serverPid > 0) {
        kill(serverPid, frozen ? SIGSTOP : SIGCONT);
    }
}

std::string makeGameFolder(bool withMedia) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / "glimm-player-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    madeFolders.push_back(pattern);
    if (withMedia) {
        fs::create_directory_symlink(GLIMM_MEDIA_DIR, fs::path(pattern) / "Media");
    }
    return pattern;
}

pid_t launchGame(const std::string& folder, const std::vector<std::string>& extraEnv) {
    gameFolder = folder;
    gameWindow = 0;
    gamePid = fork();
    if (gamePid == 0) {
        if (chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        const int log = open("stderr.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, STDERR_FILENO);
        unsetenv("SDL_VIDEODRIVER");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_VIDEO_WINDOW_POS", "0,0", 1);
        for (const std::string& assignment : extraEnv) {
            putenv(strdup(assignment.c_str()));
        }
        execl(GLIMM_BINARY, GLIMM_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    return gamePid;
}

unsigned long waitForGameWindow(int timeoutMs) {
    const long long end = nowMs() + timeoutMs;
    while (nowMs() < end) {
        gameWindow = findCaptioned(DefaultRootWindow(display), "Glimm");
        if (gameWindow != 0) {
            // Let the first frames reach the screen.
            sleepMs(300);
            return gameWindow;
        }
        sleepMs(50);
    }
    return 0;
}

bool windowSize(int& width, int& height) {
    XWindowAttributes attributes;
    if (gameWindow == 0 || XGetWindowAttributes(display, gameWindow, &attributes) == 0) {
        return false;
    }
    width = attributes.width;
    height = attributes.height;
    return true;
}

std::vector<std::uint32_t> grabWindow(int& width, int& height) {
    std::vector<std::uint32_t> pixels;
    int x = 0;
    int y = 0;
    if (!windowSize(width, height) || !windowOrigin(x, y)) {
        return pixels;
    }
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            pixels[static_cast<size_t>(row) * static_cast<size_t>(width) +
                   static_cast<size_t>(column)] =
                static_cast<std::uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu;
        }
    }
    XDestroyImage(image);
    return pixels;
}

std::uint32_t windowPixel(int x, int y) {
    int originX = 0;
    int originY = 0;
    if (!windowOrigin(originX, originY)) {
        return 0;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), originX + x, originY + y, 1, 1,
                              AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 0;
    }
    const auto value = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFFu;
    XDestroyImage(image);
    return value;
}

std::string windowCaption() {
    char* name = nullptr;
    std::string caption;
    if (gameWindow != 0 && XFetchName(display, gameWindow, &name) != 0 && name != nullptr) {
        caption = name;
        XFree(name);
    }
    return caption;
}

int xdotool(const std::string& arguments) {
    const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void movePointer(int x, int y) {
    int originX = 0;
    int originY = 0;
    windowOrigin(originX, originY);
    xdotool("mousemove --sync " + std::to_string(originX + x) + " " + std::to_string(originY + y));
}

// A press and its release within one frame cancel out in the game's input snapshot, as a
// player's never do: hold each press across a few frames.
constexpr int HoldMs = 70;

void clickButton(int button) {
    xdotool("mousedown " + std::to_string(button));
    sleepMs(HoldMs);
    xdotool("mouseup " + std::to_string(button));
}

void pressKey(const std::string& keyName) {
    // Without a window manager the keys go where the pointer is: keep it over the window.
    int originX = 0;
    int originY = 0;
    windowOrigin(originX, originY);
    Window root = 0;
    Window child = 0;
    int rootX = 0;
    int rootY = 0;
    int winX = 0;
    int winY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &winX, &winY,
                  &mask);
    if (rootX < originX || rootY < originY || rootX >= originX + 640 || rootY >= originY + 480) {
        movePointer(320, 240);
    }
    xdotool("keydown " + keyName);
    sleepMs(HoldMs);
    xdotool("keyup " + keyName);
}

void sendCloseRequest() {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = gameWindow;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, gameWindow, False, NoEventMask, &event);
    XFlush(display);
}

int waitForGameExit(int timeoutMs) {
    const long long end = nowMs() + timeoutMs;
    while (gamePid > 0) {
        int status = 0;
        const pid_t done = waitpid(gamePid, &status, WNOHANG);
        if (done == gamePid) {
            gamePid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (nowMs() >= end) {
            return -1;
        }
        sleepMs(20);
    }
    return -1;
}

std::string gameStderr() {
    std::ifstream log(gameFolder + "/stderr.log");
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
}

void signalGame(int signalNumber) {
    if (gamePid > 0) {
        kill(gamePid, signalNumber);
    }
}

void stopEverything() {
    freezeXServer(false); // a frozen server would hold the close below for ever
    if (gamePid > 0) {
        kill(gamePid, SIGKILL);
        waitpid(gamePid, nullptr, 0);
        gamePid = -1;
    }
    if (display != nullptr) {
        XCloseDisplay(display);
        display = nullptr;
    }
    if (serverPid > 0) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = -1;
    }
    // A failed test keeps its folders, stderr.log included, for a look afterwards.
    if (!::testing::Test::HasFailure()) {
        std::error_code ignored;
        for (const std::string& folder : madeFolders) {
            std::filesystem::remove_all(folder, ignored);
        }
    }
    madeFolders.clear();
}

void PlayerTest::SetUp() {
    ASSERT_TRUE(startXServer()) << "Xvfb did not start";
}

void PlayerTest::TearDown() {
    stopEverything();
}
