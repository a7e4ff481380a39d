// The page's music (music.cpp): the one track in an audio element, which sounds while the game
// wants it and the page is shown, and once the player has clicked.
mergeInto(LibraryManager.library, {
  $glimmMusic: {
    music: null,
    wanted: false, // the game's own wish: played and not paused
    listening: null,
    // A hidden tab gets no frames, so the game stands still: the music waits with it.
    follow: function() {
      var music = glimmMusic.music;
      if (!music) return;
      if (glimmMusic.wanted && !document.hidden) {
        music.play().catch(function() {}); // refused until the first click: the page asks for one
      } else {
        music.pause();
      }
    },
  },

  pageLoadMusic__deps: ['$glimmMusic', '$FS'],
  pageLoadMusic: function(path) {
    try {
      var bytes = FS.readFile(UTF8ToString(path));
      var music = new Audio(URL.createObjectURL(new Blob([bytes], {type: 'audio/ogg'})));
      glimmMusic.music = music;
      if (Module['testHooks']) Module['music'] = music;
      if (!glimmMusic.listening) {
        glimmMusic.listening = new AbortController();
        document.addEventListener('visibilitychange', glimmMusic.follow,
                                  {signal: glimmMusic.listening.signal});
      }
      return 1;
    } catch (error) {
      return 0;
    }
  },

  pagePlayMusic__deps: ['$glimmMusic'],
  pagePlayMusic: function(loops) {
    var music = glimmMusic.music;
    music.loop = loops < 0;
    music.currentTime = 0;
    glimmMusic.wanted = true;
    glimmMusic.follow();
  },

  pagePauseMusic__deps: ['$glimmMusic'],
  pagePauseMusic: function() {
    glimmMusic.wanted = false;
    glimmMusic.follow();
  },

  pageResumeMusic__deps: ['$glimmMusic'],
  pageResumeMusic: function() {
    glimmMusic.wanted = true;
    glimmMusic.follow();
  },

  pageSetMusicVolume__deps: ['$glimmMusic'],
  pageSetMusicVolume: function(volume) {
    if (glimmMusic.music) glimmMusic.music.volume = volume / 128;
  },

  pageEndMusic__deps: ['$glimmMusic'],
  pageEndMusic: function() {
    if (glimmMusic.listening) glimmMusic.listening.abort();
    glimmMusic.wanted = false;
    if (glimmMusic.music) {
      glimmMusic.music.pause();
      URL.revokeObjectURL(glimmMusic.music.src); // the track's bytes may go
    }
  },
});
