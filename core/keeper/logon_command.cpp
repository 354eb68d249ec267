#include "core/keeper/logon_command.h"

std::wstring FolderOfProgram(const std::wstring& programPath) {
    const size_t slash = programPath.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : programPath.substr(0, slash);
}

std::wstring ProgramInFolder(const std::wstring& folder, const std::wstring& name) {
    const bool endsInSlash = !folder.empty() && (folder.back() == L'\\' || folder.back() == L'/');
    return folder + (endsInSlash || folder.empty() ? L"" : L"\\") + name;
}

std::wstring LogonEntryCommand(const std::wstring& folder) {
    return L"\"" + ProgramInFolder(folder, kKeeperProgramName) + L"\" keep";
}
