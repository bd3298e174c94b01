// The command-line host run in the tests' own process, its output kept.
#ifndef BARPOST_TESTS_CLI_RUN_H_
#define BARPOST_TESTS_CLI_RUN_H_

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

struct CliRun {
  int status;
  std::string out, err;
};

// barpost ARGS...; with_module first names the module built beside the tests.
inline CliRun Cli(std::vector<std::string> args, bool with_module = true) {
  if (with_module) args.insert(args.begin(), {"--module", BARPOST_MODULE_PATH});
  args.insert(args.begin(), "barpost");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  return {status, out.str(), err.str()};
}

#endif  // BARPOST_TESTS_CLI_RUN_H_
