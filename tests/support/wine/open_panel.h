// The panel started on a scenario of its own, with its main window once it opens: how most
// end-to-end tests begin and end.
#pragma once

#include <gtest/gtest.h>

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
    void CloseAndExpectExitZero(bool expectUnload = false) {
        window.Close();
        EXPECT_EQ(process.WaitForExit(), 0u);
        size_t unreadable = 0;
        ReadDriverLog(files, &unreadable);
        EXPECT_EQ(unreadable, 0u) << "the driver's log has lines that are not JSON objects";
        EXPECT_TRUE(!expectUnload || !LoggedCalls(files, "NvAPI_UnloadWithArgument").empty())
            << "the driver log shows no unload";
    }
    // A button clicked: its transfers, once `writes` writes are there.
    std::vector<Transfer> Press(int button, size_t writes = 1) const {
        DriverLogWatch watch(files);
        window.Click(button);
        return watch.WaitForWrites(writes);
    }

    ScenarioFiles files;
    ProgramProcess process;
    PanelWindow window;
};

}  // namespace e2e
