// The loader's Windows operations, for real.
#pragma once

#include "core/nvapi/loader/secure_module_loader.h"

namespace nvapi {

LoaderPlatform& Win32LoaderPlatform();

}  // namespace nvapi
