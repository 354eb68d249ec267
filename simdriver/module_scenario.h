// How the Windows module finds its scenario: the file named by LUMIVAR_SIM_SCENARIO.
#pragma once

#include <string>

namespace simdriver {

// The variable's value as UTF-8; false when it is not set.
bool ScenarioPathFromEnvironment(std::string& path);

// Tells whoever watches (stderr and the debugger output) what went wrong in the module.
void ReportModuleProblem(const std::string& message);

}  // namespace simdriver
