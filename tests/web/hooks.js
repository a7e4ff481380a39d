// The page's test hooks, added by the test server to the page it serves: the game's module as
// window.glimm, with its test-only parts switched on.
(function() {
  'use strict';
  var create = window.createGlimm;
  window.createGlimm = function(options) {
    return create(Object.assign({testHooks: true}, options)).then(function(game) {
      window.glimm = game;
      return game;
    });
  };
})();
