// The fixture of the tests that run LEXORA.EXE as a program of its own: a directory for the
// whole suite, a display, no other copy running, and no settings left by an earlier test.
#ifndef LEXORA_APP_TESTS_PROGRAM_TEST_H
#define LEXORA_APP_TESTS_PROGRAM_TEST_H

#include "program.h"

#include <gtest/gtest.h>

namespace lexoratest {

class ProgramTest : public testing::Test {
  protected:
    void SetUp() override;
    void startProgram();
    // Closes the frame as the user does and expects the program to end with exit code 0.
    void closeProgram();

    static ProgramDirectory directory_;
    Program program_;
};

} // namespace lexoratest

#endif
