// barpost preview: a picture of what a program does, from its job, from the
// program's own text, or both, the program checked against the job.
#ifndef BARPOST_CLI_PREVIEW_H_
#define BARPOST_CLI_PREVIEW_H_

#include <iosfwd>
#include <string>
#include <vector>

// Exit status of preview when the program differs from its job (6 is the
// module's error of the other commands).
constexpr int kExitDiffers = 7;

// args: everything after the command word.
int RunPreview(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

#endif  // BARPOST_CLI_PREVIEW_H_
