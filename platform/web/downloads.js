// The page's downloads (downloads.cpp): a file of the page's memory offered to the browser, under
// the name the record store confirms (a screenshot's number may have been taken by another tab).
mergeInto(LibraryManager.library, {
  pageDownload__deps: ['$FS', '$glimmRecords'],
  pageDownload: function(path, name) {
    var bytes = FS.readFile(UTF8ToString(path)); // now: the file goes when this returns
    glimmRecords.handedName(UTF8ToString(name)).then(function(handed) {
      var link = document.createElement('a');
      link.href = URL.createObjectURL(new Blob([bytes], {type: 'image/bmp'}));
      link.download = handed;
      link.click();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 60000);
    });
  },
});
