#include <clocale>
#include <iostream>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // The user's locale, as any program sets it: the system's messages come in
  // the user's language, and the module must write the same programs under a
  // decimal-comma locale as under any other.
  std::setlocale(LC_ALL, "");
  return RunCli(argc, argv, std::cout, std::cerr);
}
