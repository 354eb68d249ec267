// The program's icon as a scalable picture: the same hue ring as the drawn sizes.
#pragma once

#include <string>

// An SVG of 256 x 256 units: the ring as one annular sector per degree, each in the hue of its
// middle angle and reaching a little into the next, so that no seam shows between them.
std::string DrawRingIconSvg();
