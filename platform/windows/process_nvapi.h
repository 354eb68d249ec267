// The program's one access layer, bound to the real driver module of the system directory.
#pragma once

#include "core/nvapi/nvapi_access.h"

namespace nvapi {

NvApiAccess& ProcessNvApi();

}  // namespace nvapi
