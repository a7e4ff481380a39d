// The page's record store (record_store.cpp): the best score and the last screenshot number in
// the browser's IndexedDB, read before the game starts and each change written at once. Every
// write is one read-write transaction that keeps the higher of the stored and the new value.
// Without storage the records live as long as the page, one message says so, and the game
// plays on.
mergeInto(LibraryManager.library, {
  $glimmRecords: {
    best: null, // the stored best, null when none
    screenshots: 0, // the last screenshot number taken
    failed: false,
    database: null, // a promise of the open database

    lost: function(error) {
      if (glimmRecords.failed) return;
      glimmRecords.failed = true;
      console.warn('Glimm: this browser keeps no storage for the page (' + error +
                   '); the best score lasts only until the page is closed.');
    },

    request: function(opened) {
      return new Promise(function(resolve, reject) {
        opened.onsuccess = function() { resolve(opened.result); };
        opened.onerror = function() { reject(opened.error); };
      });
    },

    open: function() {
      if (!glimmRecords.database) {
        glimmRecords.database = new Promise(function(resolve) {
          var opened = indexedDB.open('glimm', 1); // throws where storage is refused
          opened.onupgradeneeded = function() { opened.result.createObjectStore('records'); };
          resolve(glimmRecords.request(opened));
        });
      }
      return glimmRecords.database;
    },

    // Both records as stored: {best, screenshots}, each null when none.
    read: function() {
      return glimmRecords.open().then(function(database) {
        var store = database.transaction('records').objectStore('records');
        return Promise.all([glimmRecords.request(store.get('best')),
                            glimmRecords.request(store.get('screenshots'))]);
      }).then(function(values) {
        return {best: values[0] === undefined ? null : values[0],
                screenshots: values[1] === undefined ? null : values[1]};
      });
    },

    // value under key unless a higher one is stored.
    keepHigher: function(key, value) {
      glimmRecords.open().then(function(database) {
        var store = database.transaction('records', 'readwrite').objectStore('records');
        var got = store.get(key);
        got.onsuccess = function() {
          if (!(got.result >= value)) store.put(value, key);
        };
      }).catch(glimmRecords.lost);
    },

    // Holds the game's start until the records are read; the first visit takes over those of
    // the page's earlier versions.
    load: function() {
      addRunDependency('glimm-records');
      new Promise(function(resolve) { resolve(glimmRecords.read()); }).then(function(stored) {
        if (stored.best !== null || stored.screenshots !== null) return stored;
        return glimmRecords.readOldFolder().then(function(old) {
          if (old.best !== null) glimmRecords.keepHigher('best', old.best);
          if (old.screenshots !== null) glimmRecords.keepHigher('screenshots', old.screenshots);
          return old;
        });
      }).then(function(stored) {
        glimmRecords.best = stored.best;
        glimmRecords.screenshots = stored.screenshots || 0;
      }, glimmRecords.lost).then(function() { removeRunDependency('glimm-records'); });
    },

    // The records of the page's earlier versions, kept in a file-system folder: the best score's
    // file and one empty mark per screenshot taken. Read once, when nothing of ours is stored.
    readOldFolder: function() {
      return new Promise(function(resolve) {
        var opened = indexedDB.open('/save');
        opened.onupgradeneeded = function() { opened.transaction.abort(); }; // none: make none
        opened.onerror = function() { resolve({best: null, screenshots: null}); };
        opened.onsuccess = function() {
          var database = opened.result;
          var found = {best: null, screenshots: null};
          if (!database.objectStoreNames.contains('FILE_DATA')) {
            database.close();
            return resolve(found);
          }
          var walk = database.transaction('FILE_DATA').objectStore('FILE_DATA').openCursor();
          walk.onerror = function() { database.close(); resolve(found); };
          walk.onsuccess = function() {
            var entry = walk.result;
            if (!entry) {
              database.close();
              return resolve(found);
            }
            var mark = /^\/save\/screenshot([1-9][0-9]*)\.bmp$/.exec(entry.key);
            if (mark) found.screenshots = Math.max(found.screenshots || 0, Number(mark[1]));
            if (entry.key === '/save/highscore.dat' && entry.value.contents) {
              var text = new TextDecoder().decode(entry.value.contents);
              var number = /^\s*([+-]?[0-9]+)/.exec(text);
              var value = number ? Number(number[1]) : NaN;
              if (value >= -2147483648 && value <= 2147483647) found.best = value;
            }
            entry.continue();
          };
        };
      });
    },
  },
  // Read before the game's first round, which reads the best; the tests read them too.
  $glimmRecords__postset: "addOnPreRun(glimmRecords.load);" +
      "if (Module['testHooks']) Module['readStoredRecords'] = glimmRecords.read;",

  pageStoredBest__deps: ['$glimmRecords'],
  pageStoredBest: function(to) {
    if (glimmRecords.best === null) return 0;
    HEAP32[to >> 2] = glimmRecords.best;
    return 1;
  },

  pageOfferRecord__deps: ['$glimmRecords'],
  pageOfferRecord: function(score) {
    if (glimmRecords.best === null || score > glimmRecords.best) {
      glimmRecords.best = score;
      if (!glimmRecords.failed) glimmRecords.keepHigher('best', score);
    }
    return glimmRecords.best;
  },

  pageTakeScreenshotNumber__deps: ['$glimmRecords'],
  pageTakeScreenshotNumber: function() {
    var number = ++glimmRecords.screenshots;
    if (!glimmRecords.failed) glimmRecords.keepHigher('screenshots', number);
    return number;
  },
});
