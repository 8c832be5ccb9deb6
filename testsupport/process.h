// Helpers shared by the libraries' tests: this test program's path, and running it again as a
// peer process.
#ifndef LEXORA_TESTSUPPORT_PROCESS_H
#define LEXORA_TESTSUPPORT_PROCESS_H

#include <string>
#include <vector>

namespace testsupport {

std::string selfPath();

// Runs this test program again with "--peer" and args; its exit code, or -1 when it could not
// be started.
int runPeer(const std::vector<std::string>& args);

} // namespace testsupport

#endif
