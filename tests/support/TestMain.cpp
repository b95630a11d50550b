// Entry point of every test suite.
#include <gtest/gtest.h>

#include "tests/support/GlTestContext.h"

int main(int argc, char** argv)
{
    // Death tests must re-run the test in a fresh process: a plain fork of a
    // process that holds llvmpipe's worker threads can hang inside the driver.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    frostline::test::releaseGlContext();
    return status;
}
