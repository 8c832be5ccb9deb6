// Helpers of the lxsys tests: the shared record seen directly, a window that shows what is
// repainted, and a peer process.
#ifndef LEXORA_LXSYS_TESTUTIL_H
#define LEXORA_LXSYS_TESTUTIL_H

#include "gui.h"
#include "lxsys.h"

#include <string>
#include <vector>

// This process's own view of "lxsystem.sharedata", to set up and observe what the library does.
CaptureShared& record();

// A window handle as the 32-bit value SendSNMessage and the shared record carry.
WPARAM handleValue(HWND window);

// Runs the test program again as a peer ("--peer" args) while this thread keeps dispatching its
// messages, so that the peer may send to this thread's windows. The peer's exit code.
int runPeerPumping(const std::vector<std::string>& args);
int peerMain(int argc, char** argv);

// One WM_PAINT of the visible window: the rectangle to paint, and whether the shared
// collecting flag was set meanwhile.
struct Painting {
    RECT rect;
    bool collecting;
};

// A recorder shown at (100, 100), 300 by 200, for the whole test program (under Wine without a
// window manager, hiding or destroying a shown window costs two seconds). It records its
// non-client paints too.
testsupport::MessageRecorder& visibleWindow();
// Its paints since the last clear.
std::vector<Painting>& paintings();

#endif
