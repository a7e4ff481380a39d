// The game's folder on the page. The save folder is kept by the browser (storage.js mounts it
// before the game starts); the best score's file is a link into it, and the game's own writer
// follows links, so its record lands there. Each new screenshot is downloaded, then emptied: an
// empty file keeps its number taken, in the game's folder and, as a mark, in the save folder.
#include "platform/web/storage.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/web/page.h"

namespace {

constexpr const char* GameFolder = "/glimm";
constexpr const char* SaveFolder = "/save";
constexpr const char* SavedBest = "/save/highscore.dat";

struct FileMark {
    ino_t node;
    off_t size;
    long long changedNs;
};

FileMark bestMark = {0, -1, 0};
int nextScreenshot = 1; // every lower number is known taken

FileMark markOf(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0) {
        return {0, -1, 0};
    }
    return {info.st_ino, info.st_size, info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

bool sameMark(const FileMark& a, const FileMark& b) {
    return a.node == b.node && a.size == b.size && a.changedNs == b.changedNs;
}

void makeEmptyFile(const char* path) {
    std::FILE* file = std::fopen(path, "w");
    if (file != nullptr) {
        std::fclose(file);
    }
}

} // namespace

void prepareGameFolder() {
    chdir(GameFolder);
    symlink(SavedBest, "highscore.dat");
    bestMark = markOf(SavedBest);
    DIR* folder = opendir(SaveFolder);
    for (dirent* entry; folder != nullptr && (entry = readdir(folder)) != nullptr;) {
        int number = 0;
        char name[32];
        if (std::sscanf(entry->d_name, "screenshot%d", &number) == 1 && number > 0 &&
            std::snprintf(name, sizeof name, "screenshot%d.bmp", number) > 0 &&
            std::strcmp(name, entry->d_name) == 0) {
            makeEmptyFile(name);
        }
    }
    if (folder != nullptr) {
        closedir(folder);
    }
}

void noteSavedFiles() {
    if (pageFoldersChanged() == 0) {
        // Each file the game writes is made new (a screenshot) or renamed into place (the best
        // score), and either moves its folder's change time.
        return;
    }
    bool changed = false;
    const FileMark best = markOf(SavedBest);
    if (!sameMark(best, bestMark)) {
        bestMark = best;
        changed = true;
    }
    char name[32];
    char mark[48];
    struct stat info;
    for (; std::snprintf(name, sizeof name, "screenshot%d.bmp", nextScreenshot),
           lstat(name, &info) == 0;
         ++nextScreenshot) {
        if (info.st_size == 0) {
            continue; // taken on an earlier visit
        }
        pageDownload(name, name);
        truncate(name, 0);
        std::snprintf(mark, sizeof mark, "%s/%s", SaveFolder, name);
        makeEmptyFile(mark);
        changed = true;
    }
    if (changed) {
        pageStoreSaveFolder();
    }
}
