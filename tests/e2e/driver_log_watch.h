// DriverLogWatch, Transfer and WrittenData live with the rest of the harness.
#pragma once

#include "tests/e2e/panel_process.h"
