#include "panel/mode_mapping.h"

#include "app/gpu_slots.h"

int ModeNumberForPosition(int family, int position) {
    if (family != kFamily2000) return position;
    if (position == 2) return 4;
    if (position == 4) return 2;
    return position;
}
