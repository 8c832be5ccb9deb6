// The main function of GUI test programs: GoogleTest with a screenshot of every failure.
#include "gui.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testsupport::installScreenshotOnFailure();
    return RUN_ALL_TESTS();
}
