// The page's record store: the records live in record_store.js, which reads them from the
// browser's storage before the game starts and writes each change there at once.
#include "platform/record_store.h"

extern "C" {
// Defined in record_store.js, called only here: the stored best into value (1) or none (0);
// the higher of score and the best, score stored if it beats it; the next screenshot number.
int pageStoredBest(int* value);
int pageOfferRecord(int score);
int pageTakeScreenshotNumber();
}

bool readStoredBest(int& value) {
    int stored = 0;
    if (pageStoredBest(&stored) == 0) {
        return false;
    }
    value = stored;
    return true;
}

int offerRecord(int score) {
    return pageOfferRecord(score);
}

int takeScreenshotNumber() {
    return pageTakeScreenshotNumber();
}
