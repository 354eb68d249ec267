// The logon entry's command: the windowed lumivar beside the program that registers it, keeping
// the lighting from the logon on.
#pragma once

#include <string>

constexpr const wchar_t* kKeeperProgramName = L"lumivarw.exe";

// "C:\Tools\lumivar.exe" -> "C:\Tools"; a bare file name has no folder.
std::wstring FolderOfProgram(const std::wstring& programPath);
// A program of this name in the folder, whether or not the folder ends in a backslash.
std::wstring ProgramInFolder(const std::wstring& folder, const std::wstring& name);
// "\"C:\Tools\lumivarw.exe\" keep", quoted for a folder with spaces.
std::wstring LogonEntryCommand(const std::wstring& folder);
