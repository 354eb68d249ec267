// The module's one export. The scenario is read on the first query, not while the loader lock
// is held, and a scenario that cannot be read leaves a driver whose initialise fails.
#include "core/nvapi/nvapi_types.h"
#include "simdriver/module_scenario.h"
#include "simdriver/scenario.h"
#include "simdriver/sim_driver.h"

namespace {

bool ConfigureFromEnvironment() {
    simdriver::SetProcessAgeSource(simdriver::ProcessAgeMilliseconds);
    std::string path;
    if (!simdriver::ScenarioPathFromEnvironment(path)) {
        simdriver::Configure(simdriver::DefaultScenario());
        return true;
    }
    simdriver::Scenario scenario;
    std::string error;
    if (!simdriver::ReadScenarioFile(path, scenario, error)) {
        simdriver::ReportModuleProblem(error);
        simdriver::ConfigureFailed(error, scenario.logPath);
        return false;
    }
    simdriver::Configure(scenario);
    return true;
}

}  // namespace

extern "C" void* nvapi_QueryInterface(NvU32 id) {
    static const bool configured = ConfigureFromEnvironment();
    static_cast<void>(configured);
    return simdriver::QueryInterface(id);
}
