// SDL_mixer's music calls for the page: the one track plays in an audio element of the page,
// which the browser lets sound once the player has clicked.
#include "platform/web/music.h"

#include <SDL_mixer.h>

extern "C" {
// Defined in music.js, called only here: the track at path (on the site, beside the page) as the
// music, streamed as it plays, 0 when the page has no audio element; then play (loops: -1 for
// ever), pause, resume, volume 0 to 128. Played or resumed, it sounds only while the page is shown.
int pageLoadMusic(const char* path);
void pagePlayMusic(int loops);
void pagePauseMusic();
void pageResumeMusic();
void pageSetMusicVolume(int volume);
void pageEndMusic();
}

struct _Mix_Music {
    int track; // the page's number for the loaded track
};

namespace {

Mix_Music loaded = {0};
bool paused = false;
int volume = MIX_MAX_VOLUME;

} // namespace

void endMusic() {
    paused = true;
    pageEndMusic();
}

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
