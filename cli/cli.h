// The command-line host: loads the module the way a CAM host does and calls
// its entry points, or (inspect) uses the engine directly.
#ifndef BARPOST_CLI_CLI_H_
#define BARPOST_CLI_CLI_H_

#include <iosfwd>

// Exit statuses.
enum : int {
  kExitOk = 0,
  kExitFailure = 1,      // the module could not be loaded or a file not read
  kExitUsage = 2,        // bad command line
  kExitCancelled = 3,    // "Setup machine" was cancelled (1008)
  kExitNoSource = 4,     // transmit: the source program cannot be opened (2004)
  kExitOtherResult = 5,  // any other non-zero result of an entry point
  kExitReported = 6,     // the module showed an error: a program or copy was not
                         // written, a file or a name was refused
};

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

#endif  // BARPOST_CLI_CLI_H_
