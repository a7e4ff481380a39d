// The page's music (music.cpp): the one track in an audio element, streamed from the site beside
// the game rather than packed with it, so the game starts without waiting for it and plays
// silent until enough has arrived. It sounds while the game wants it and the page is shown, and
// once the player has clicked. A track that cannot play is said once, and the game plays on.
mergeInto(LibraryManager.library, {
  $glimmMusic: {
    music: null,
    wanted: false, // the game's own wish: played and not paused
    listening: null,
    said: false,

    failed: function(why) {
      if (glimmMusic.said) return;
      glimmMusic.said = true;
      console.warn('Glimm: the music cannot be played (' + why + '); the game goes on silent.');
    },
    // A hidden tab gets no frames, so the game stands still: the music waits with it.
    follow: function() {
      var music = glimmMusic.music;
      if (!music) return;
      if (glimmMusic.wanted && !document.hidden) {
        music.play().catch(function(error) {
          // Refused until the first click (the page asks for one), or cut short by a pause.
          if (error.name !== 'NotAllowedError' && error.name !== 'AbortError') {
            glimmMusic.failed(error.name + ': ' + error.message);
          }
        });
      } else {
        music.pause();
      }
    },
  },

  // path is the track's address on the site, beside the page.
  pageLoadMusic__deps: ['$glimmMusic'],
  pageLoadMusic: function(path) {
    try {
      var music = new Audio();
      music.preload = 'auto';
      music.addEventListener('error', function() {
        if (!glimmMusic.listening || glimmMusic.listening.signal.aborted) return; // let go
        var error = music.error;
        glimmMusic.failed(error ? 'media error ' + error.code + (error.message ? ': ' +
                                                                  error.message : '') : 'error');
      });
      music.src = UTF8ToString(path);
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
      glimmMusic.music.removeAttribute('src'); // the rest of the track need not come
      glimmMusic.music.load();
    }
  },
});
