// SDL_mixer's music calls for the page: the one track plays in an audio element of the page,
// which the browser lets sound once the player has clicked.
#include <SDL_mixer.h>

#include "platform/web/page.h"

struct _Mix_Music {
    int track; // the page's number for the loaded track
};

namespace {

Mix_Music loaded = {0};
bool paused = false;
int volume = MIX_MAX_VOLUME;

} // namespace

extern "C" {

int Mix_OpenAudio(int /*frequency*/, Uint16 /*format*/, int /*channels*/, int /*chunksize*/) {
    return 0; // the browser picks the output itself
}

// One track at a time: the page plays a single music track.
Mix_Music* Mix_LoadMUS(const char* file) {
    loaded.track = file != nullptr ? pageLoadMusic(file) : 0;
    return loaded.track != 0 ? &loaded : nullptr;
}

int Mix_VolumeMusic(int newVolume) {
    const int was = volume;
    if (newVolume >= 0) {
        volume = newVolume > MIX_MAX_VOLUME ? MIX_MAX_VOLUME : newVolume;
        pageSetMusicVolume(volume);
    }
    return was;
}

int Mix_PlayMusic(Mix_Music* music, int loops) {
    if (music == nullptr) {
        return -1;
    }
    paused = false;
    pagePlayMusic(loops);
    return 0;
}

void Mix_PauseMusic() {
    paused = true;
    pagePauseMusic();
}

void Mix_ResumeMusic() {
    paused = false;
    pageResumeMusic();
}

int Mix_PausedMusic() {
    return paused ? 1 : 0;
}

} // extern "C"
