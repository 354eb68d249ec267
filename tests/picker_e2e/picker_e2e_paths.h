// Where the committed reference pictures are, from the command line.
#pragma once

#include <string>

namespace e2e {

std::wstring& ReferenceDirectory();

}  // namespace e2e
