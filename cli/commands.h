// The subcommands of the native lexora tool.
#ifndef LEXORA_CLI_COMMANDS_H
#define LEXORA_CLI_COMMANDS_H

namespace lexora::cli {

// Each takes the arguments after its name and returns the process's exit code: 0 done,
// 1 failed, 2 bad usage.
int convertCommand(int argc, char** argv);
int checkCommand(int argc, char** argv);
int userlibCommand(int argc, char** argv);
int lookupCommand(int argc, char** argv);
int detectCommand(int argc, char** argv);
int decodeCommand(int argc, char** argv);

} // namespace lexora::cli

#endif
