// The page's listeners (events.cpp): the canvas's pointers (mouse, fingers and pens through
// Pointer Events) and buttons, the window's keys, the pause control and the page's hiding,
// handed to the game's input entry points between two frames.
mergeInto(LibraryManager.library, {
  $glimmEvents: {
    listening: null, // aborts every listener at the end
    aiming: null, // the finger or pen that moves the pointer, by pointer id, while it is down
    contacts: {}, // each finger or pen on the game: where it came down, and whether it travelled
    tapReach: 10, // CSS pixels a finger may travel and still tap, not drag
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
    // SDL's number of a pointer event's button: 1 left, 2 middle, 3 right.
    sdlButton: function(button) { return button === 1 ? 2 : button === 2 ? 3 : 1; },
    // The bit of a pointer event's button in its buttons mask.
    heldBit: function(button) { return button === 1 ? 4 : button === 2 ? 2 : 1 << button; },
  },

  pageListen__deps: ['$glimmEvents'],
  pageListen: function() {
    if (glimmEvents.listening) return;
    var canvas = Module['canvas'];
    var events = glimmEvents;
    events.listening = new AbortController();
    events.aiming = null;
    events.contacts = {};
    // The mouse buttons the game was told are down: a move brings a press or a release only when
    // it changes them (WebKit gives a move under a held button that button's number).
    events.mouseHeld = 0;
    var options = {signal: events.listening.signal};
    var mouse = function(event) { return event.pointerType === 'mouse'; };

    // The mouse: it moves the pointer over the canvas, and its buttons press and release. A
    // second button pressed while one is held comes as a move with a button.
    canvas.addEventListener('pointermove', function(event) {
      var at = events.toScreen(canvas, event);
      if (mouse(event)) {
        _glimmPointerOver(1);
        _glimmPointerMoved(at[0], at[1]);
        var bit = event.button >= 0 ? events.heldBit(event.button) : 0;
        if ((event.buttons & bit) && !(events.mouseHeld & bit)) {
          events.mouseHeld |= bit;
          _glimmButton(events.sdlButton(event.button), 1, at[0], at[1]);
        }
        return;
      }
      var contact = events.contacts[event.pointerId];
      if (!contact) return;
      if (Math.hypot(event.clientX - contact.x, event.clientY - contact.y) > events.tapReach) {
        contact.travelled = true;
      }
      if (event.pointerId === events.aiming) _glimmPointerMoved(at[0], at[1]);
    }, options);
    canvas.addEventListener('pointerenter', function(event) {
      if (mouse(event)) _glimmPointerOver(1);
    }, options);
    canvas.addEventListener('pointerleave', function(event) {
      if (mouse(event)) _glimmPointerOver(0);
    }, options);
    canvas.addEventListener('pointerdown', function(event) {
      var at = events.toScreen(canvas, event);
      if (mouse(event)) {
        events.mouseHeld |= events.heldBit(event.button);
        _glimmButton(events.sdlButton(event.button), 1, at[0], at[1]);
        return;
      }
      // A finger or a pen: the first one down aims, the pointer following it; any other taps.
      // No mouse events follow it, and it stays with the canvas wherever it goes.
      event.preventDefault();
      canvas.setPointerCapture(event.pointerId);
      events.contacts[event.pointerId] = {x: event.clientX, y: event.clientY, travelled: false};
      if (events.aiming === null) {
        events.aiming = event.pointerId;
        _glimmPointerOver(1);
        _glimmPointerMoved(at[0], at[1]);
      }
    }, options);
    // A button let go outside the canvas still ends its press, as in a desktop window.
    window.addEventListener('pointerup', function(event) {
      if (mouse(event)) {
        var at = events.toScreen(canvas, event);
        events.mouseHeld &= ~events.heldBit(event.button);
        _glimmButton(events.sdlButton(event.button), 0, at[0], at[1]);
      }
    }, options);
    window.addEventListener('pointermove', function(event) {
      var bit = event.button >= 0 ? events.heldBit(event.button) : 0;
      if (mouse(event) && !(event.buttons & bit) && (events.mouseHeld & bit)) {
        var at = events.toScreen(canvas, event);
        events.mouseHeld &= ~bit;
        _glimmButton(events.sdlButton(event.button), 0, at[0], at[1]);
      }
    }, options);
    // A finger lifted where it came down taps there; one that travelled only aimed. The
    // crosshair stays where the aiming finger left it.
    var lifted = function(tapped) {
      return function(event) {
        var contact = events.contacts[event.pointerId];
        if (!contact) return;
        delete events.contacts[event.pointerId];
        var at = events.toScreen(canvas, event);
        var aiming = event.pointerId === events.aiming;
        if (aiming) events.aiming = null;
        if (!tapped || contact.travelled) return;
        if (aiming) {
          _glimmTap(at[0], at[1]);
        } else {
          _glimmSideTap(at[0], at[1]);
        }
      };
    };
    canvas.addEventListener('pointerup', lifted(true), options);
    canvas.addEventListener('pointercancel', lifted(false), options);
    canvas.addEventListener('mousedown', function(event) { event.preventDefault(); }, options);
    canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); }, options);

    var key = function(down) {
      return function(event) {
        var symbol = events.keySymbol(event);
        if (symbol === 0 || (down && event.repeat)) return; // no key repeat, as in the game
        _glimmKey(symbol, down);
      };
    };
    window.addEventListener('keydown', key(1), options);
    window.addEventListener('keyup', key(0), options);

    // The pause control is Escape for a hand without a keyboard.
    var pause = Module['pauseControl'];
    if (pause) {
      pause.addEventListener('click', function() {
        _glimmKey(27, 1);
        _glimmKey(27, 0);
      }, options);
    }
    document.addEventListener('visibilitychange', function() {
      if (document.hidden) _glimmPageHidden();
    }, options);
  },

  pageStopListening__deps: ['$glimmEvents'],
  pageStopListening: function() {
    if (glimmEvents.listening) glimmEvents.listening.abort();
  },
});
