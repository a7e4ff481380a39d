// Files the player keeps: where a file written in the working folder ends up.
#pragma once

// Called by the screenshot writer once name, in the working folder, is written whole. The
// desktop leaves it there; the page has the browser download it under the same name and lets
// its own copy go (platform/web/downloads.cpp).
void handOverFile(const char* name);
