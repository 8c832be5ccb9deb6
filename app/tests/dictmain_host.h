// A small frame standing in for the program's own around the main window's client in its tests:
// it records what the client asks of the frame and of the brief description dialog.
#ifndef LEXORA_DICTMAIN_HOST_H
#define LEXORA_DICTMAIN_HOST_H

#include <string>
#include <vector>

namespace lexora::hosttest {

struct Record {
    std::vector<std::string> hoverTexts;
    std::vector<std::string> statusTexts;
    std::vector<int> menuFaces;
    std::vector<int> briefTabs;
    bool refuseMenu = false;
};

Record& record();

} // namespace lexora::hosttest

#endif
