#include "tests/support/wine/open_panel.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace e2e {

void OpenPanel::CloseAndExpectExitZero(bool expectUnload) {
    window.Close();
    EXPECT_EQ(process.WaitForExit(), 0u);
    size_t unreadable = 0;
    ReadDriverLog(files, &unreadable);
    EXPECT_EQ(unreadable, 0u) << "the driver's log has lines that are not JSON objects";
    const std::vector<std::string> calls = CallNames(files);
    EXPECT_TRUE(!expectUnload || std::count(calls.begin(), calls.end(), "NvAPI_UnloadWithArgument"))
        << "the driver log shows no unload";
}

}  // namespace e2e
