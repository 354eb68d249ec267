// A file's bytes from where its pointer stands to its end, for the files the programs keep.
#pragma once

#include <windows.h>

#include <string>

// Appends them to `text`; false, with the system's last error set, when a read fails.
bool ReadToEnd(HANDLE file, std::string& text);
