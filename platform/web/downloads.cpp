// The page's side of the files the player keeps: the browser downloads each one, and the page's
// memory lets its copy go.
#include "platform/downloads.h"

#include <unistd.h>

extern "C" {
// Defined in downloads.js, called only here: the browser downloads path's bytes under name.
void pageDownload(const char* path, const char* name);
}

void handOverFile(const char* name) {
    pageDownload(name, name);
    unlink(name);
}
