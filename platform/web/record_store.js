// The page's record store (record_store.cpp): the best score and the last screenshot number in
// the browser's IndexedDB, read before the game starts and each change written at once. Every
// write is one read-write transaction that keeps the higher of the stored and the new value, so
// no tab ever lowers what another stored, and nothing is ever deleted. Each tab tells the others
// what it stored, so all show the highest best. Without storage the records live as long as the
// page, one message says so, and the game plays on.
mergeInto(LibraryManager.library, {
  $glimmRecords: {
    best: null, // the stored best, null when none
    screenshots: 0, // the last screenshot number taken
    failed: false,
    database: null, // a promise of the open database
    others: null, // the channel to the page's other tabs
    numbers: {}, // screenshot numbers taken and not yet handed over: promises of the stored ones

    lost: function(error) {
      if (glimmRecords.failed) return;
      glimmRecords.failed = true;
      console.warn('Glimm: this browser keeps no storage for the page (' + error +
                   '); the best score lasts only until the page is closed.');
    },

    // Takes in what another tab, or a write of ours, found stored.
    raise: function(stored) {
      if (typeof stored.best === 'number' &&
          (glimmRecords.best === null || stored.best > glimmRecords.best)) {
        glimmRecords.best = stored.best;
      }
      if (typeof stored.screenshots === 'number' && stored.screenshots > glimmRecords.screenshots) {
        glimmRecords.screenshots = stored.screenshots;
      }
    },

    listen: function() {
      if (typeof BroadcastChannel !== 'function') return;
      glimmRecords.others = new BroadcastChannel('glimm-records');
      glimmRecords.others.onmessage = function(message) { glimmRecords.raise(message.data); };
    },

    tell: function(stored) {
      if (glimmRecords.others) glimmRecords.others.postMessage(stored);
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

    // value under key unless a higher one is stored: a promise of what is stored after, which
    // this tab and the others take in.
    keepHigher: function(key, value) {
      return glimmRecords.open().then(function(database) {
        return new Promise(function(resolve, reject) {
          var writing = database.transaction('records', 'readwrite');
          var got = writing.objectStore('records').get(key);
          var kept = value;
          got.onsuccess = function() {
            if (got.result >= value) kept = got.result;
            else writing.objectStore('records').put(value, key);
          };
          writing.oncomplete = function() { resolve(kept); };
          writing.onerror = writing.onabort = function() { reject(writing.error); };
        });
      }).then(function(kept) {
        var stored = {};
        stored[key] = kept;
        glimmRecords.raise(stored);
        glimmRecords.tell(stored);
        return kept;
      });
    },

    // The screenshot number after both the stored one and taken, stored in the same read-write
    // transaction, so that two tabs saving at once never get the same one.
    nextNumber: function(taken) {
      return glimmRecords.open().then(function(database) {
        return new Promise(function(resolve, reject) {
          var writing = database.transaction('records', 'readwrite');
          var store = writing.objectStore('records');
          var got = store.get('screenshots');
          var number = taken;
          got.onsuccess = function() {
            if (got.result >= number) number = got.result + 1;
            store.put(number, 'screenshots');
          };
          writing.oncomplete = function() { resolve(number); };
          writing.onerror = writing.onabort = function() { reject(writing.error); };
        });
      }).then(function(number) {
        glimmRecords.raise({screenshots: number});
        glimmRecords.tell({screenshots: number});
        return number;
      });
    },

    // The name a file the game named is handed over under: a screenshot takes the number its
    // store gave it, which another tab may have made higher.
    handedName: function(name) {
      var mark = /^screenshot([0-9]+)\.bmp$/.exec(name);
      var number = mark && glimmRecords.numbers[mark[1]];
      if (!number) return Promise.resolve(name);
      delete glimmRecords.numbers[mark[1]];
      return number.then(function(stored) { return 'screenshot' + stored + '.bmp'; });
    },

    // Holds the game's start until the records are read; the first visit takes over those of
    // the page's earlier versions.
    load: function() {
      addRunDependency('glimm-records');
      new Promise(function(resolve) { resolve(glimmRecords.read()); }).then(function(stored) {
        if (stored.best !== null || stored.screenshots !== null) return stored;
        return glimmRecords.readOldFolder().then(function(old) {
          if (old.best !== null) glimmRecords.keepHigher('best', old.best).catch(glimmRecords.lost);
          if (old.screenshots !== null) {
            glimmRecords.keepHigher('screenshots', old.screenshots).catch(glimmRecords.lost);
          }
          return old;
        });
      }).then(function(stored) {
        glimmRecords.raise(stored);
        glimmRecords.listen();
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
      if (!glimmRecords.failed) glimmRecords.keepHigher('best', score).catch(glimmRecords.lost);
    }
    return glimmRecords.best;
  },

  // The number is the next this tab knows of; should another tab have taken it meanwhile, the
  // store's transaction gives a higher one, under which the screenshot is handed over.
  pageTakeScreenshotNumber__deps: ['$glimmRecords'],
  pageTakeScreenshotNumber: function() {
    var number = ++glimmRecords.screenshots;
    if (!glimmRecords.failed) {
      glimmRecords.numbers[number] = glimmRecords.nextNumber(number).catch(function(error) {
        glimmRecords.lost(error);
        return number;
      });
    }
    return number;
  },
});
