// The keeper's program, lumivarw.exe, beside the program that registers or opens it, and how the
// other programs start it.
#pragma once

#include <string>

constexpr const wchar_t* kKeeperProgramName = L"lumivarw.exe";

// "C:\Tools\lumivar.exe" -> "C:\Tools"; a bare file name has no folder.
std::wstring FolderOfProgram(const std::wstring& programPath);
// A program of this name in the folder, whether or not the folder ends in a backslash.
std::wstring ProgramInFolder(const std::wstring& folder, const std::wstring& name);
// "\"C:\Tools\lumivarw.exe\" keep", quoted for a folder with spaces: the logon entry's command.
std::wstring KeeperCommandLine(const std::wstring& folder);

// The folder of the running program, where lumivarw.exe belongs.
std::wstring ThisProgramFolder();
bool KeeperProgramPresent(const std::wstring& folder);
// Starts a program of that folder, there, and lets it run on its own.
void StartProgram(const std::wstring& program, std::wstring commandLine,
                  const std::wstring& folder);
