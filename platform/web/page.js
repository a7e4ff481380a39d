// What the page does for the game (see page.h): the canvas and its listeners, the music's audio
// element, storing the save folder and downloading screenshots.
mergeInto(LibraryManager.library, {
  $glimmPage: {
    listening: null, // aborts every listener at the end
    context: null,
    image: null,
    music: null,
    musicWanted: false, // the game's own wish: played and not paused
    storing: false,
    storeAgain: false,
    folders: null, // the save folder's and the game folder's nodes
    stamp: 0, // their latest change time at the last look, and when that look was
    lookedAt: 0,
    // SDL 1.2's symbols for the keys a browser names; other printable keys are their lower-case
    // character. 0: not a key the game knows.
    keySymbol: function(event) {
      var named = {Escape: 27, Enter: 13, Backspace: 8, Tab: 9, Delete: 127, ' ': 32,
                   ArrowUp: 273, ArrowDown: 274, ArrowRight: 275, ArrowLeft: 276};
      if (named[event.key] !== undefined) return named[event.key];
      if (event.key.length !== 1) return 0;
      var code = event.key.toLowerCase().charCodeAt(0);
      return code < 128 ? code : 0;
    },
    // The pointer in screen pixels, whatever size the page gives the canvas.
    // The music plays while the game wants it and the page is shown.
    followMusicWish: function() {
      var music = glimmPage.music;
      if (!music) return;
      if (glimmPage.musicWanted && !document.hidden) {
        music.play().catch(function() {}); // refused until the first click: the page asks for one
      } else {
        music.pause();
      }
    },
    toScreen: function(canvas, event) {
      var box = canvas.getBoundingClientRect();
      return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
              Math.floor((event.clientY - box.top) * canvas.height / box.height)];
    },
  },

  pageOpenCanvas__deps: ['$glimmPage'],
  pageOpenCanvas: function(width, height) {
    var canvas = Module['canvas'];
    canvas.width = width;
    canvas.height = height;
    glimmPage.context = canvas.getContext('2d', {alpha: false}); // opaque: nothing to blend
    glimmPage.image = null;
    if (glimmPage.listening) return;
    glimmPage.listening = new AbortController();
    var options = {signal: glimmPage.listening.signal};
    var sdlButton = function(event) { return event.button === 1 ? 2 : event.button === 2 ? 3 : 1; };
    canvas.addEventListener('mousemove', function(event) {
      var at = glimmPage.toScreen(canvas, event);
      _glimmPointerOver(1);
      _glimmPointerMoved(at[0], at[1]);
    }, options);
    canvas.addEventListener('mouseenter', function() { _glimmPointerOver(1); }, options);
    canvas.addEventListener('mouseleave', function() { _glimmPointerOver(0); }, options);
    canvas.addEventListener('mousedown', function(event) {
      var at = glimmPage.toScreen(canvas, event);
      _glimmButton(sdlButton(event), 1, at[0], at[1]);
      event.preventDefault();
    }, options);
    // A button let go outside the canvas still ends its press, as in a desktop window.
    window.addEventListener('mouseup', function(event) {
      var at = glimmPage.toScreen(canvas, event);
      _glimmButton(sdlButton(event), 0, at[0], at[1]);
    }, options);
    canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); }, options);
    var key = function(down) {
      return function(event) {
        var symbol = glimmPage.keySymbol(event);
        if (symbol === 0 || (down && event.repeat)) return; // no key repeat, as in the game
        _glimmKey(symbol, down);
      };
    };
    window.addEventListener('keydown', key(1), options);
    window.addEventListener('keyup', key(0), options);
    // A hidden tab gets no frames, so the game stands still: the music waits with it.
    document.addEventListener('visibilitychange', glimmPage.followMusicWish, options);
  },

  pagePresent__deps: ['$glimmPage'],
  pagePresent: function(rgba, width, height) {
    var image = glimmPage.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba) {
      image = glimmPage.image =
          new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
    }
    glimmPage.context.putImageData(image, 0, 0);
  },

  pageSetTitle: function(title) {
    document.title = UTF8ToString(title);
  },

  pageShowCursor: function(shown) {
    Module['canvas'].style.cursor = shown ? 'auto' : 'none';
  },

  pageLoadMusic__deps: ['$glimmPage'],
  pageLoadMusic: function(path) {
    try {
      var bytes = FS.readFile(UTF8ToString(path));
      var music = new Audio(URL.createObjectURL(new Blob([bytes], {type: 'audio/ogg'})));
      glimmPage.music = Module['music'] = music;
      return 1;
    } catch (error) {
      return 0;
    }
  },

  pagePlayMusic__deps: ['$glimmPage'],
  pagePlayMusic: function(loops) {
    var music = glimmPage.music;
    music.loop = loops < 0;
    music.currentTime = 0;
    glimmPage.musicWanted = true;
    glimmPage.followMusicWish();
  },

  pagePauseMusic__deps: ['$glimmPage'],
  pagePauseMusic: function() {
    glimmPage.musicWanted = false;
    glimmPage.followMusicWish();
  },

  pageResumeMusic__deps: ['$glimmPage'],
  pageResumeMusic: function() {
    glimmPage.musicWanted = true;
    glimmPage.followMusicWish();
  },

  pageSetMusicVolume__deps: ['$glimmPage'],
  pageSetMusicVolume: function(volume) {
    if (glimmPage.music) glimmPage.music.volume = volume / 128;
  },

  // A look at the two folders' own change times, without resolving a path: file stats cost a
  // tenth of a frame. A change later in the very millisecond of the last look would leave the
  // time as it was, so a look in such a millisecond counts as a change once more.
  pageFoldersChanged__deps: ['$glimmPage'],
  pageFoldersChanged: function() {
    if (!glimmPage.folders) {
      glimmPage.folders = [FS.lookupPath('/save').node, FS.lookupPath('/glimm').node];
    }
    var now = Date.now();
    var stamp = Math.max(glimmPage.folders[0].timestamp, glimmPage.folders[1].timestamp);
    var changed = stamp !== glimmPage.stamp || glimmPage.stamp === glimmPage.lookedAt;
    glimmPage.stamp = stamp;
    glimmPage.lookedAt = now;
    return changed ? 1 : 0;
  },

  // One store at a time; a change during a store is stored right after it.
  pageStoreSaveFolder__deps: ['$glimmPage'],
  pageStoreSaveFolder: function() {
    if (Module['storageFailed']) return;
    if (glimmPage.storing) {
      glimmPage.storeAgain = true;
      return;
    }
    glimmPage.storing = true;
    FS.syncfs(false, function(error) {
      glimmPage.storing = false;
      if (error) Module['storageLost'](error);
      if (glimmPage.storeAgain) {
        glimmPage.storeAgain = false;
        _pageStoreSaveFolder();
      }
    });
  },

  pageDownload: function(path, name) {
    var bytes = FS.readFile(UTF8ToString(path));
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'image/bmp'}));
    link.download = UTF8ToString(name);
    link.click();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
  },

  pageEnded__deps: ['$glimmPage'],
  pageEnded: function() {
    if (glimmPage.listening) glimmPage.listening.abort();
    glimmPage.musicWanted = false;
    if (glimmPage.music) {
      glimmPage.music.pause();
      URL.revokeObjectURL(glimmPage.music.src); // the track's bytes may go
    }
    if (Module['onGameEnded']) Module['onGameEnded']();
  },
});
