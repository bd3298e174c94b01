// barpost import: DSTV NC1 part files to one CAM job file.
#ifndef BARPOST_CLI_IMPORT_H_
#define BARPOST_CLI_IMPORT_H_

#include <iosfwd>
#include <string>
#include <vector>

// args: everything after the command word. Exit status 0 when every file
// was imported, 1 when a file failed (the others are still written), 2 for
// a bad command line.
int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

#endif  // BARPOST_CLI_IMPORT_H_
