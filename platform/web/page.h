// What the page itself does for the game: the canvas, the music, the save folder's storage and
// the downloads. Defined in page.js; the page's SDL and the web frame loop call them.
#pragma once

extern "C" {

// Called by SDL_SetVideoMode: sizes the canvas and starts listening to its pointer, the keys and
// the page being hidden (the music waits while it is).
void pageOpenCanvas(int width, int height);
// Called by SDL_Flip: puts width x height RGBA bytes at rgba on the canvas.
void pagePresent(const void* rgba, int width, int height);
// Called by SDL_WM_SetCaption and SDL_ShowCursor.
void pageSetTitle(const char* title);
void pageShowCursor(int shown);

// Called by the page's SDL_mixer: the track at path (in the page's file system) as the music;
// 0 when it cannot be read. Then play (loops: -1 for ever), pause, resume, volume 0 to 128;
// played or resumed, it sounds only while the page is shown.
int pageLoadMusic(const char* path);
void pagePlayMusic(int loops);
void pagePauseMusic();
void pageResumeMusic();
void pageSetMusicVolume(int volume);

// Called by the save-folder watch after every frame: 1 when an entry of the save folder or of
// the game's folder may have been made, replaced or removed since the last call.
int pageFoldersChanged();
// Called by the save-folder watch after a file in it changed: writes the folder to the
// browser's storage now.
void pageStoreSaveFolder();
// Called by the save-folder watch for a new screenshot: the browser downloads path's bytes
// under name.
void pageDownload(const char* path, const char* name);
// Called by the web frame loop once the game has ended: stops listening and the music, and lets
// the page show its end.
void pageEnded();

} // extern "C"
