// The desktop's record store: the best score's file, read and written crash-safe under a lock
// on its folder, and the screenshot numbers taken by the files themselves.
#include "platform/record_store.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The same number a formatted extraction into an int would accept, except that an overflowing
// one is refused instead of being clamped to the nearest limit.
bool parseLeadingNumber(std::FILE* file, int& value) {
    int c = std::fgetc(file);
    while (c != EOF && std::isspace(c) != 0) {
        c = std::fgetc(file);
    }
    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = std::fgetc(file);
    }
    if (c == EOF || std::isdigit(c) == 0) {
        return false;
    }
    // The magnitude of INT_MIN is one more than INT_MAX; stop as soon as neither fits.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    while (c != EOF && std::isdigit(c) != 0) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) {
            return false;
        }
        c = std::fgetc(file);
    }
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

// The mode a freshly created file would get: what fopen's "w" gives under the current umask.
mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// The folder part of a path, with its slash; "" for a bare name.
std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool folderExists(const std::string& folder) {
    struct stat info;
    return stat(folder.empty() ? "." : folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Players keep the file as a link into a synced folder: the record belongs to the file at the
// end of the link chain (a relative target counts from its link's folder), which may not exist
// yet. path itself when it is no link, or when the chain cannot be followed (too long, a loop).
std::string linkChainEnd(const std::string& path) {
    constexpr int MostLinks = 40; // the kernel's own limit on a chain
    std::string current = path;
    for (int hop = 0; hop < MostLinks; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), target, sizeof target);
        if (length < 0) {
            return errno == EINVAL || errno == ENOENT ? current : path; // a file, or nothing
        }
        if (length == 0 || static_cast<size_t>(length) >= sizeof target) {
            return path;
        }
        const std::string next(target, static_cast<size_t>(length));
        current = next[0] == '/' ? next : folderOf(current) + next;
    }
    return path;
}

// The file a write replaces: the end of the link chain, beside which the temporary file is made
// so the rename keeps the link. A dangling link into a folder that is gone points nowhere: it is
// replaced, as a plain file.
std::string replacedFile(const char* linkOrFile) {
    const std::string end = linkChainEnd(linkOrFile);
    return end != linkOrFile && !folderExists(folderOf(end)) ? std::string(linkOrFile) : end;
}

// Makes the rename itself durable; a failure here no longer endangers either file.
void syncFolderOf(const std::string& path) {
    const std::string folder = folderOf(path).empty() ? "." : folderOf(path);
    std::FILE* handle = std::fopen(folder.c_str(), "r");
    if (handle != nullptr) {
        fsync(fileno(handle));
        std::fclose(handle);
    }
}

} // namespace

bool readHighScoreFile(const char* path, int& value) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) {
        return false;
    }
    int read = 0;
    const bool ok = parseLeadingNumber(file, read);
    std::fclose(file);
    if (ok) {
        value = read;
    }
    return ok;
}

bool writeHighScoreFile(const char* linkOrFile, int value) {
    const std::string where = replacedFile(linkOrFile);
    const char* path = where.c_str();
    std::string temporary = where + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        return false;
    }
    std::FILE* file = fdopen(descriptor, "w");
    if (file == nullptr) {
        close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }
    bool ok = fchmod(descriptor, newFileMode()) == 0;
    ok = ok && std::fprintf(file, "%d\n", value) > 0;
    ok = ok && std::fflush(file) == 0;
    ok = ok && fsync(descriptor) == 0;
    // Close in every case; a failing close can still mean lost data.
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path) == 0;
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    syncFolderOf(path);
    return true;
}

int recordHighScore(const char* linkOrFile, int value) {
    // The lock is on the folder, not the file: the rename swaps the file for a new one, so a lock
    // on it would guard nothing. Where the folder cannot be locked the write goes ahead unlocked.
    const std::string folder = folderOf(replacedFile(linkOrFile));
    const int lock =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    while (lock >= 0 && flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    int stored = value;
    if (!readHighScoreFile(linkOrFile, stored) || stored < value) {
        stored = value;
        writeHighScoreFile(linkOrFile, value);
    }
    if (lock >= 0) {
        close(lock); // releases the lock
    }
    return stored;
}

bool readStoredBest(int& value) {
    return readHighScoreFile(HighScoreFileName, value);
}

int offerRecord(int score) {
    return recordHighScore(HighScoreFileName, score);
}

int takeScreenshotNumber() {
    char name[32];
    for (int n = 1; n < INT_MAX; ++n) {
        std::snprintf(name, sizeof name, "screenshot%d.bmp", n);
        struct stat info;
        if (lstat(name, &info) == 0) {
            continue;
        }
        if (errno != ENOENT) {
            return 0; // the folder itself cannot be looked into
        }
        // Any mode the player's umask allows, as for every file a program makes.
        const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue; // it appeared since the look-up
            }
            return 0;
        }
        close(fd);
        return n;
    }
    return 0;
}
