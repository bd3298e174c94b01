// Bar export and transmission of a program to the machine.
#ifndef BARPOST_TRANSFER_TRANSFER_H_
#define BARPOST_TRANSFER_TRANSFER_H_

#include <string>

// Offers the bars of camFile one after the other in "Setup machine" and
// writes the program of the first confirmed bar, in bar mode, under the name
// made of its numbers ("%06i_%03i") in the current directory. ncFile only
// names the program in the message shown when a file cannot be created.
// Always 0.
int RunExportation(const std::string& ncFile, const std::string& camFile);

// Copies sourceFile to "<Dir>/<Nomfic>.MPF". 0, or 2004 when the source
// cannot be opened or read (a folder, a read error). A destination that
// cannot be written is silent (0); a copy that fails half-way is removed.
int RunTransmission(const std::string& sourceFile);

// The destination path of a transmission: Dir without its trailing
// separator, joined to the program name and ".MPF".
std::string TransmissionPath(const std::string& dir, const std::string& name);

// The name Exportation gives the program of a bar.
std::string ExportFileName(int bon, int barIdt);

#endif  // BARPOST_TRANSFER_TRANSFER_H_
