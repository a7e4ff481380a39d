// Screenshots: the captured game frame as a numbered BMP file, never over an existing file.
#include "dashboard/screenshot.h"

#include <SDL.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "dashboard/media.h"
#include "platform/downloads.h"
#include "platform/record_store.h"

namespace {

// Writes the capture through the fresh file; false if SDL or the file reported any failure.
// The stream is always closed.
bool writeCapture(int fd) {
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        return false;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, 0);
    bool written = false;
    if (stream != nullptr) {
        // Classic SDL judges its own success by an empty error text: start from one.
        SDL_ClearError();
        written = SDL_SaveBMP_RW(backdropCapture, stream, 0) == 0;
        SDL_RWclose(stream); // leaves the file open: it was made without auto-close
    }
    // A short write may only show once the buffer is flushed; look at the stream itself.
    written = written && std::fflush(file) == 0 && std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

} // namespace

bool saveScreenshot() {
    if (backdropCapture == nullptr) {
        return false;
    }
    const int number = takeScreenshotNumber();
    if (number == 0) {
        return false;
    }
    char name[32];
    std::snprintf(name, sizeof name, "screenshot%d.bmp", number);
    // The store may have made the file already, empty, to take its number.
    const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0 && writeCapture(fd)) {
        handOverFile(name);
        return true;
    }
    unlink(name);
    return false;
}
