// A module with the driver's name planted where only a careless loader would find it. It
// answers no interface, so a program that loads it cannot initialise, and it says it was used.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "core/nvapi/nvapi_types.h"
#include "simdriver/call_log.h"
#include "simdriver/module_scenario.h"
#include "simdriver/scenario.h"

namespace {

void RecordDecoyUse(NvU32 id) {
    char message[96];
    std::snprintf(message, sizeof message, "decoy module asked for interface 0x%08" PRIx32, id);
    simdriver::ReportModuleProblem(message);
    std::string path;
    simdriver::Scenario scenario;
    std::string error;
    if (!simdriver::ScenarioPathFromEnvironment(path)) return;
    simdriver::ReadScenarioFile(path, scenario, error);
    if (scenario.logPath.empty()) return;
    simdriver::LogFile log;
    if (!log.Open(scenario.logPath)) return;
    log.Append(simdriver::DecoyQueryLine(id));
}

}  // namespace

extern "C" void* nvapi_QueryInterface(NvU32 id) {
    RecordDecoyUse(id);
    return nullptr;
}

// Lets a test recognise this module by GetProcAddress.
extern "C" int LumivarDecoyModule() {
    return 1;
}
