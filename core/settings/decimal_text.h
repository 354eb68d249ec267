// Whole numbers as users type them on the command line and in the settings file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The value of one to `digits` plain decimal digits (no sign, no blanks), or nothing.
std::optional<int> PlainDecimal(const std::string& text, size_t digits);
