// The page's canvas (video.cpp): its size, the screen's bytes put on it, the title and the
// system cursor over it.
mergeInto(LibraryManager.library, {
  $glimmVideo: {
    context: null,
    image: null, // the screen's bytes as the canvas takes them, remade when memory grows
  },

  pageOpenCanvas__deps: ['$glimmVideo'],
  pageOpenCanvas: function(width, height) {
    var canvas = Module['canvas'];
    canvas.width = width;
    canvas.height = height;
    glimmVideo.context = canvas.getContext('2d', {alpha: false}); // opaque: nothing to blend
    glimmVideo.image = null;
  },

  pagePresent__deps: ['$glimmVideo'],
  pagePresent: function(rgba, width, height) {
    var image = glimmVideo.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== rgba) {
      image = glimmVideo.image =
          new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4), width, height);
    }
    glimmVideo.context.putImageData(image, 0, 0);
  },

  pageSetTitle: function(title) {
    document.title = UTF8ToString(title);
  },

  pageShowCursor: function(shown) {
    Module['canvas'].style.cursor = shown ? 'auto' : 'none';
  },
});
