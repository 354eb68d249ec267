// The two pictures of the window as the program stores and loads them.
#pragma once

#include <cstddef>

#include "resources/resource_ids.h"

struct SkinDescription {
    const wchar_t* type;  // custom resource type
    int number;           // resource number
    int width;            // fixed size of the bitmap it is painted into
    int height;
    int steps;  // 4-byte steps of the unscrambling, the stored size / 4
    size_t storedSize;
};

// skin1: the hue disc the colour is picked from.
constexpr SkinDescription kSkin1Resource = {L"SKIN1", kSkin1Id, 300, 300, 67507, 270028};
// skin2: the badge beside the controls.
constexpr SkinDescription kSkin2Resource = {L"SKIN2", kSkin2Id, 75, 38, 2173, 8692};

static_assert(kSkin1Resource.storedSize == size_t(kSkin1Resource.steps) * 4, "whole steps");
static_assert(kSkin2Resource.storedSize == size_t(kSkin2Resource.steps) * 4, "whole steps");
