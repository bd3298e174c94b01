// barpost machines and barpost check: the machines of an INI file, and what
// in one machine's options the line cannot use or that contradicts itself.
#ifndef BARPOST_CLI_MACHINES_H_
#define BARPOST_CLI_MACHINES_H_

#include <iosfwd>
#include <string>
#include <vector>

struct OptionValues;

// One finding of the check: the INI key it is about and what is wrong.
struct Finding {
  std::string key;
  std::string text;
};

// Checks the options of one machine. ini_dir is the INI file's folder (the
// Signoscript macros are looked for there); dir_given tells whether the
// section has a Dir key at all.
std::vector<Finding> CheckOptions(const OptionValues& options, const std::string& ini_dir,
                                  bool dir_given);

// barpost machines INI: one line per section with its control, its unit and
// its program folder.
int RunMachines(const std::string& ini, std::ostream& out, std::ostream& err);

// barpost check INI MACHINE: one line per finding ("KEY: text"); exit 1 when
// there is one, 0 when there is none.
int RunCheck(const std::string& ini, const std::string& machine, std::ostream& out,
             std::ostream& err);

// The findings of a machine, for commands that warn before they start
// (process); empty when the INI file cannot be read.
std::vector<Finding> FindingsOf(const std::string& ini, const std::string& machine);

#endif  // BARPOST_CLI_MACHINES_H_
