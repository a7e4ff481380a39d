// The page's downloads (downloads.cpp): a file of the page's memory offered to the browser.
mergeInto(LibraryManager.library, {
  pageDownload__deps: ['$FS'],
  pageDownload: function(path, name) {
    var bytes = FS.readFile(UTF8ToString(path));
    var link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], {type: 'image/bmp'}));
    link.download = UTF8ToString(name);
    link.click();
    setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
  },
});
