// Redirection of the graphics library's text-output entry points in this process.
#include "internal.h"

namespace lxsys {

// The nine code patches arrive with the capture of text output; until then no entry point is
// redirected, so there is nothing to install or remove and the exit check cannot pass.
void installCodePatches() {}

void removeCodePatches() {}

bool textPatchesCarryJumps() {
    return false;
}

} // namespace lxsys
