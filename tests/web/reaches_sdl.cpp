// The link guard's probe: the page with a call each of emscripten's own SDL, SDL_image and
// SDL_mixer, none of which the page provides. Its link must fail (tests/web/link-guard).
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>

int main() {
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    SDL_Surface* picture = IMG_Load("Media/Lumadeck/Font.png");
    Mix_FadeInMusic(nullptr, -1, 100);
    return info != nullptr && picture != nullptr ? 0 : 1;
}
