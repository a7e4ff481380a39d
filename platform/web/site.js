// The site around the game: loads it, asks for the click that lets it sound, scales the
// 640 x 480 canvas by whole steps, and says when the game has ended.
'use strict';
(function() {
  var canvas = document.getElementById('screen');
  var covers = ['loading', 'start', 'ended'];
  var wasm = null, data = null;

  function show(name) {
    covers.forEach(function(cover) { document.getElementById(cover).hidden = cover !== name; });
  }

  // The largest whole number of device pixels per game pixel that fits the window.
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var scale = Math.max(1, Math.floor(Math.min(innerWidth * ratio / canvas.width,
                                                innerHeight * ratio / canvas.height)));
    canvas.style.width = canvas.width * scale / ratio + 'px';
    canvas.style.height = canvas.height * scale / ratio + 'px';
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
