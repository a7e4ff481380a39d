// The page's listeners (events.cpp): the canvas's pointer and buttons and the window's keys,
// handed to the game's input entry points between two frames.
mergeInto(LibraryManager.library, {
  $glimmEvents: {
    listening: null, // aborts every listener at the end
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
    toScreen: function(canvas, event) {
      var box = canvas.getBoundingClientRect();
      return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
              Math.floor((event.clientY - box.top) * canvas.height / box.height)];
    },
  },

  pageListen__deps: ['$glimmEvents'],
  pageListen: function() {
    if (glimmEvents.listening) return;
    var canvas = Module['canvas'];
    glimmEvents.listening = new AbortController();
    var options = {signal: glimmEvents.listening.signal};
    var sdlButton = function(event) { return event.button === 1 ? 2 : event.button === 2 ? 3 : 1; };
    canvas.addEventListener('mousemove', function(event) {
      var at = glimmEvents.toScreen(canvas, event);
      _glimmPointerOver(1);
      _glimmPointerMoved(at[0], at[1]);
    }, options);
    canvas.addEventListener('mouseenter', function() { _glimmPointerOver(1); }, options);
    canvas.addEventListener('mouseleave', function() { _glimmPointerOver(0); }, options);
    canvas.addEventListener('mousedown', function(event) {
      var at = glimmEvents.toScreen(canvas, event);
      _glimmButton(sdlButton(event), 1, at[0], at[1]);
      event.preventDefault();
    }, options);
    // A button let go outside the canvas still ends its press, as in a desktop window.
    window.addEventListener('mouseup', function(event) {
      var at = glimmEvents.toScreen(canvas, event);
      _glimmButton(sdlButton(event), 0, at[0], at[1]);
    }, options);
    canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); }, options);
    var key = function(down) {
      return function(event) {
        var symbol = glimmEvents.keySymbol(event);
        if (symbol === 0 || (down && event.repeat)) return; // no key repeat, as in the game
        _glimmKey(symbol, down);
      };
    };
    window.addEventListener('keydown', key(1), options);
    window.addEventListener('keyup', key(0), options);
  },

  pageStopListening__deps: ['$glimmEvents'],
  pageStopListening: function() {
    if (glimmEvents.listening) glimmEvents.listening.abort();
  },
});
