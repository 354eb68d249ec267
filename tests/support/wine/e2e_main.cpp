// The end-to-end test programs' entry; the programs under test are where the build put them
// (see TestPaths).
#include <gtest/gtest.h>

#include "tests/support/wine/test_paths.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    e2e::TestPaths();
    return RUN_ALL_TESTS();
}
