#include "program_test.h"

#include "gui.h"

#include <string>
#include <vector>

namespace lexoratest {

namespace {

std::string windowTitles(const std::vector<HWND>& windows) {
    std::string titles;
    for (HWND window : windows) {
        char title[128] = "";
        GetWindowTextA(window, title, sizeof title);
        titles += std::string(" \"") + title + "\"";
    }
    return titles;
}

} // namespace

ProgramDirectory ProgramTest::directory_;

void ProgramTest::SetUp() {
    ASSERT_TRUE(testsupport::displayAvailable());
    ASSERT_TRUE(directory_.ready())
        << "cannot place" << directory_.missing() << " in " << directory_.path();
    ASSERT_EQ(countFrames(), 0) << "another LEXORA is running";
    directory_.removeSettings();
}

void ProgramTest::startProgram() {
    ASSERT_TRUE(program_.start(directory_)) << "no frame appeared";
}

void ProgramTest::closeProgram() {
    ASSERT_TRUE(program_.close()) << "the program did not end after WM_CLOSE; its windows:"
                                  << windowTitles(program_.otherWindows());
    EXPECT_EQ(program_.exitCode(), 0u);
}

} // namespace lexoratest
