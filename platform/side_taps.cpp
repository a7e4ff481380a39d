// The desktop's side taps: a mouse is one pointer, so there are none.
#include "platform/side_taps.h"

int takeSideTaps(int* /*x*/, int* /*y*/, int /*capacity*/) {
    return 0;
}
