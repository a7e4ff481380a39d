// The site around the game: loads it, asks for the click or tap that lets it sound, fits the
// 640 x 480 canvas to the window, places the pause control, and says when the game has ended.
'use strict';
(function() {
  var canvas = document.getElementById('screen');
  var pause = document.getElementById('pause');
  var covers = ['loading', 'start', 'ended'];
  var wasm = null, data = null;
  var pauseSize = 44, pauseMargin = 8; // CSS pixels: a fingertip's target, off the window's edge

  function show(name) {
    covers.forEach(function(cover) { document.getElementById(cover).hidden = cover !== name; });
    pause.hidden = name !== null;
  }

  // Device pixels per game pixel in a window of width x height CSS pixels at ratio device
  // pixels each. At 2 or more the limiting side fills exactly: the nearest-neighbour pixels are
  // uneven by one device pixel at most, which that density hides. Below 2 uneven pixels would
  // show, so the largest whole number that fits; the exact fit only where none does, a window
  // smaller than the picture.
  function fitScale(width, height, ratio) {
    var exact = Math.min(width * ratio / canvas.width, height * ratio / canvas.height);
    return ratio >= 2 || exact < 1 ? exact : Math.floor(exact);
  }

  // The picture in whole device pixels, centred; the pause control at the window's top right
  // corner where that leaves the picture clear, else at the picture's own top right corner, away
  // from the score lines and the health bar at its bottom.
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var scale = fitScale(innerWidth, innerHeight, ratio);
    var width = Math.floor(canvas.width * scale) / ratio;
    var height = Math.floor(canvas.height * scale) / ratio;
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    var left = (innerWidth - width) / 2, top = (innerHeight - height) / 2;
    var clear = innerWidth - pauseMargin - pauseSize >= left + width ||
                pauseMargin + pauseSize <= top;
    var right = clear ? pauseMargin : Math.max(0, innerWidth - left - width) + pauseMargin;
    pause.style.right = right + 'px';
    pause.style.top = (clear ? pauseMargin : Math.max(0, top) + pauseMargin) + 'px';
  }

  // The start screen names the controls of the device in hand.
  function nameControls() {
    if (!matchMedia('(pointer: coarse)').matches) return;
    document.getElementById('play').textContent = 'Tap to play';
    document.getElementById('controls').textContent =
        'Tap to aim and shoot \u00b7 Drag to steer';
  }

  function fetchBytes(name) {
    return fetch(name).then(function(response) {
      if (!response.ok) throw new Error(name + ': ' + response.status);
      return response.arrayBuffer();
    });
  }

  // Each play is a fresh game from the bytes loaded once, so playing again needs no network.
  function play() {
    show(null);
    createGlimm({
      canvas: canvas,
      pauseControl: pause,
      wasmBinary: wasm,
      getPreloadedPackage: function() { return data.slice(0); },
      onGameEnded: ended,
    });
  }

  // The last frame does not stay behind the message.
  function ended() {
    canvas.getContext('2d').clearRect(0, 0, canvas.width, canvas.height);
    show('ended');
    document.getElementById('again').focus();
  }

  // The service worker keeps the site for the next visits, offline too, and looks for a new
  // build at every visit online. Asked for only once this page has its code, so that the page
  // never meets a newer build's files mid-load.
  function keepForOffline() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('service-worker.js', {updateViaCache: 'none'}).then(
        function(kept) { kept.update().catch(function() {}); }, // offline: the kept build plays
        function(error) { console.warn('Glimm: no offline copy (' + error.message + ')'); });
  }

  addEventListener('resize', fit);
  fit();
  nameControls();
  canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); });
  document.getElementById('start').addEventListener('click', play);
  document.getElementById('again').addEventListener('click', play);
  Promise.all([fetchBytes('glimm.wasm'), fetchBytes('glimm.data')]).then(function(files) {
    wasm = files[0];
    data = files[1];
    show('start');
    keepForOffline();
  }, function(error) {
    document.getElementById('loading').textContent = 'Glimm could not be loaded (' + error.message + ').';
  });
})();
