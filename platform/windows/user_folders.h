// The user's application-data folders, and folders made level by level. Neither loads the shell's
// DLL unless a folder variable is missing: the keeper stays resident all session, and shell32
// with what it brings would be most of its memory.
#pragma once

#include <windows.h>

#include <string>

// The folder an environment variable names ("APPDATA", "LOCALAPPDATA"), or where it is missing
// the shell's folder of that CSIDL; empty when neither is known.
std::wstring UserFolder(const wchar_t* variable, int csidl);
// The programs' own folder within it, "<folder>\VOXA\LED Lumivar".
std::wstring LumivarFolderIn(const wchar_t* variable, int csidl);

// Makes `folder` and every missing folder above it; ERROR_SUCCESS when it exists afterwards.
DWORD CreateFolders(const std::wstring& folder);
