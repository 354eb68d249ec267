// Where the simulated driver meets the file system: its scenario and log files are named by
// UTF-8 paths, which Windows takes only as wide ones.
#pragma once

#include <cstdio>
#include <string>

namespace simdriver {

// Opens a file by a UTF-8 path (converted to the wide path on Windows, where a Unix path
// beginning with one "/" is read through Wine's drive Z:). Null when it cannot.
std::FILE* OpenUtf8Path(const std::string& path, const char* mode);

enum class FileRead { kDone, kCannotOpen, kCannotRead };

// Reads a whole file, named by a UTF-8 path, into `text`.
FileRead ReadUtf8PathFile(const std::string& path, std::string& text);

}  // namespace simdriver
