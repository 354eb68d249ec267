// A Windows error code as the system words it, for messages that name a file or a lock.
#pragma once

#include <windows.h>

#include <string>

// "Access is denied (error 5)"
std::string SystemMessage(DWORD error);
