// Before the game starts: the save folder on the browser's storage (IndexedDB), read back
// first, so the best score of earlier visits is there when the first round reads it. Without
// storage the folder lives in memory only, one message says so, and the game plays on.
Module['storageFailed'] = false;
Module['storageLost'] = function(error) {
  if (!Module['storageFailed']) {
    Module['storageFailed'] = true;
    console.warn('Glimm: this browser keeps no storage for the page (' + error +
                 '); the best score lasts only until the page is closed.');
  }
};
Module['preRun'] = [].concat(Module['preRun'] || [], function() {
  FS.mkdir('/save');
  FS.mount(IDBFS, {}, '/save');
  addRunDependency('glimm-save-folder');
  FS.syncfs(true, function(error) {
    if (error) Module['storageLost'](error);
    removeRunDependency('glimm-save-folder');
  });
});
