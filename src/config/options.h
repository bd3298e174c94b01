// The machine options: one record of every option value, loaded from and
// saved to the machine's section of the INI file.
#ifndef BARPOST_CONFIG_OPTIONS_H_
#define BARPOST_CONFIG_OPTIONS_H_

#include <string>

#include "base/array.h"
#include "config/tables.h"

struct OptionValues {
  int Motrice = 0;
  int Cnc = 0;
  int Unite = 0;
  int Ligne = 0;
  int Mark_Auto = 0;
  int Mark_Auto_PLM = 0;
  int Mark_Forcer = 0;
  int Mark_Sens = 0;
  int Mark_Niv = 0;
  std::string Mark_X, Mark_Y, Mark_XMin, Mark_Off;
  std::string Mark_NbCar, Mark_LgCar, Mark_HtCar;
  std::string Mark_Cod;
  int Mark_Device = 0;
  std::string Mark_String;
  std::string Mark_Speed;
  std::string Mark_Typ;
  std::string Mark_Sep;
  std::string Mark_Cat, Categ, Defaut, XSym, YSym, Rotat, OrgDef;
  std::string NbVert, NbHorz, VLarg, VProf, HLarg, HProf;
  std::string SRS, SL, SP, SC;
  int TEC = 0;
  std::string Off_X[6];         // keys Off_X1 .. Off_X6
  std::string Clamp_Open[6];    // keys Clamp_Open1 .. Clamp_Open6
  std::string Clamp_Close[6];   // keys Clamp_Close1 .. Clamp_Close6
  std::string Off_Scie, Off_Marq, Off_R99, Off_YZ;
  std::string Off_Recul, Off_Lacher, Off_Vitesse;
  std::string LgBarre;
  int Coupe = 0;
  std::string Fctcoupe;
  std::string Dir;
  std::string Rugosite;  // roughness, written as Off_Rugosite and Rugosite

  // Working form of Mark_Typ (16, 8, 4, 2, 1).
  int markContract = 0, markJob = 0, markDrawing = 0, markAssembly = 0, markPart = 0;

  CArray<rec_uni> units;              // always six rows after a load
  CSortedArray<CPoincon> poincons;    // off-centre punches, by tool diameter
  CArray<CMagasin> outils;            // tool magazine, in file order
};

extern OptionValues g_options;
// INI file path up to and including its last directory separator.
extern std::string g_sIniDir;
// Tolerance with which a hole size matches a unit's or a punch's size.
extern double g_dTolerance;

// Fills g_options from the machine section of the INI file; a missing file,
// section or key gives the defaults. A file that is there but cannot be read
// (no regular file, beyond the size limit, no permission) gives the defaults
// too, and *refused, when given, tells why ("path: reason"); it is empty
// otherwise.
void LoadOptions(const std::string& iniFile, const std::string& machine,
                 std::string* refused = nullptr);
// Writes every option key of g_options into the machine section in one
// atomic replacement of the file, under a lock, into the file as it stands
// then: keys others wrote meanwhile are kept. Returns false (with *error)
// when the file could not be written; callers that follow the host protocol
// ignore it.
//
// A save kIfChanged leaves a file that already holds every value as it is
// (a job's saves at its end, which would otherwise rewrite and flush the
// same bytes); kAlways writes it all the same, so that the operator who
// confirms the options learns of a file that cannot be written.
enum class SaveWhen { kAlways, kIfChanged };
bool SaveOptions(const std::string& iniFile, const std::string& machine,
                 std::string* error = nullptr, SaveWhen when = SaveWhen::kAlways);

// False (with *why, a message for the operator) when machine cannot be an
// INI section name: a line break, '[' or ']' would break the file.
bool MachineNameUsable(const std::string& machine, std::string* why);

// One key of a section, outside the option table (the program name Nomfic).
std::string ReadIniKey(const std::string& iniFile, const std::string& section,
                       const std::string& key, const std::string& def, std::size_t max_chars);
bool WriteIniKey(const std::string& iniFile, const std::string& section, const std::string& key,
                 const std::string& value, std::string* error = nullptr,
                 SaveWhen when = SaveWhen::kAlways);

#endif  // BARPOST_CONFIG_OPTIONS_H_
