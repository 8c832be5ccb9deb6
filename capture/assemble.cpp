// Assembling the captured word from the runs of one capture.
#include "internal.h"
#include "runs.h"

namespace lxsys {

// Joining the word with its neighbouring runs, cutting Chinese text at the pointer and telling
// the application arrive with the capture of text output; until then no word is found, and the
// runs and the word of this capture are discarded.
void assembleWord(TTextCollection& runs) {
    runs.clear();
    if (CaptureShared* record = shared()) record->wordText[0] = '\0';
}

} // namespace lxsys
