// The drawing side of lxsys tested on its own: the shared record is a local one, and the calls
// through to the system are made directly and recorded.
#ifndef LEXORA_LXSYS_DRAWING_FAKES_H
#define LEXORA_LXSYS_DRAWING_FAKES_H

#include "lxsys.h"

#include <string>
#include <vector>

// The record the drawing side reads its switches from; all off at first.
CaptureShared& switches();

// A text drawn through the system by the drawing side.
struct SystemText {
    std::string text;
    int x;
    int y;
    bool withAdvances;
};
// Texts drawn through callTextOutA and callExtTextOutA (not the empty background fills).
std::vector<SystemText>& systemTexts();

#endif
