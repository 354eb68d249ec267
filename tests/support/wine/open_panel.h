// The panel started on a scenario of its own, with its main window once it opens: how most
// end-to-end tests begin and end.
#pragma once

#include <string>
#include <vector>

#include "tests/support/wine/driver_log.h"
#include "tests/support/wine/program_process.h"
#include "tests/support/wine/window_driving.h"

namespace e2e {

// A program started on a scenario, with its main window (null when it never opened).
struct OpenPanel {
    explicit OpenPanel(const std::wstring& name,
                       const std::vector<std::string>& boards = kDefaultBoards,
                       const StartOptions& options = {})
        : files(WriteScenario(name, boards)),
          process(files, options),
          window(process.WaitForMainWindow()) {}
    // Closes the window and expects the loop's exit code 0 and a log that reads back whole
    // (and, when asked, the driver unloaded).
    void CloseAndExpectExitZero(bool expectUnload = false);

    ScenarioFiles files;
    ProgramProcess process;
    PanelWindow window;
};

}  // namespace e2e
