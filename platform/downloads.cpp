// The desktop's side of the files the player keeps: they stay where the game wrote them.
#include "platform/downloads.h"

void handOverFile(const char* /*name*/) {}
