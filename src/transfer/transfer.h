// Bar export and transmission of a program to the machine.
#ifndef BARPOST_TRANSFER_TRANSFER_H_
#define BARPOST_TRANSFER_TRANSFER_H_

#include <cstddef>
#include <string>
#include <string_view>

// Offers the bars of camFile one after the other in "Setup machine" and
// writes the program of the first confirmed bar, in bar mode, under the name
// made of its numbers ("%06i_%03i") in the current directory. ncFile only
// names the program in the message shown when a file cannot be created.
// Always 0.
int RunExportation(const std::string& ncFile, const std::string& camFile);

// The largest program transmitted or read back.
inline constexpr std::size_t kMaxProgramBytes = std::size_t{1} << 30;

// Copies sourceFile to "<Dir>/<Nomfic>.MPF" in text mode. 0, or 2004 when the
// source cannot be opened or read (missing, a folder, a FIFO, a read error).
// A destination that cannot be written, an empty Dir, or a source that is
// the destination itself is told in a message, with result 0; the program
// already at the machine then stays as it was.
int RunTransmission(const std::string& sourceFile);

// The destination path of a transmission: Dir without its trailing
// separator, joined to the program name made a plain file name
// (FileNameOnly) and ".MPF".
std::string TransmissionPath(const std::string& dir, const std::string& name);

// A program as a text-mode copy delivers it: every line ends with CR LF. A
// bare LF becomes CR LF; CR LF, and a lone CR, stay as they are.
std::string TextModeCopy(std::string_view program);

// The name Exportation gives the program of a bar.
std::string ExportFileName(int bon, int barIdt);

#endif  // BARPOST_TRANSFER_TRANSFER_H_
