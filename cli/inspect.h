// barpost inspect: what the engine makes of a job, for programmers.
#ifndef BARPOST_CLI_INSPECT_H_
#define BARPOST_CLI_INSPECT_H_

#include <iosfwd>
#include <string>

int RunInspect(const std::string& ini, const std::string& machine, const std::string& camFile,
               bool bar, std::ostream& out, std::ostream& err);

#endif  // BARPOST_CLI_INSPECT_H_
