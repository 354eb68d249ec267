// How the Windows module finds its scenario: the file named by LUMIVAR_SIM_SCENARIO.
#pragma once

#include <cstdint>
#include <string>

namespace simdriver {

// The variable's value as UTF-8; false when it is not set.
bool ScenarioPathFromEnvironment(std::string& path);

// How long this process has run, from its creation time as the system keeps it.
int64_t ProcessAgeMilliseconds();

// Tells whoever watches (stderr and the debugger output) what went wrong in the module.
void ReportModuleProblem(const std::string& message);

}  // namespace simdriver
