// The mode list position as the LED command encoding takes it.
#pragma once

// Family 2000 lists WAVE and COLOR CYCLE at positions 2 and 4, whose wire codes are 4 and 2: the
// two are exchanged. Family 3000 hands on the position; the encoding maps it to the board's code.
int ModeNumberForPosition(int family, int position);
