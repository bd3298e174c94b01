#include "config/options.h"

#include <string_view>
#include <utility>

#include "base/platform.h"
#include "base/text.h"
#include "config/ini_file.h"

OptionValues g_options;
std::string g_sIniDir;
double g_dTolerance = 0.02;

namespace {

constexpr const char* kCategoriesNo = "NNNNNNNNNNNNNNNNNNNN";
constexpr int kUnitRows = 6;

// Every key of the machine section, in the order in which they are written.
// Loading runs through the same list; the order matters there only for the
// roughness, which Off_Rugosite and then Rugosite both read into one field.
template <typename Visitor>
void VisitOptions(OptionValues& o, Visitor& v) {
  v.Int("Motrice", o.Motrice, 4);
  v.Int("Cnc", o.Cnc, 0);
  v.Int("Unite", o.Unite, 0);
  v.Int("Ligne", o.Ligne, 1);
  v.Int("Mark_Auto", o.Mark_Auto, 0);
  v.Int("Mark_Auto_PLM", o.Mark_Auto_PLM, 0);
  v.Int("Mark_Forcer", o.Mark_Forcer, 0);
  v.Int("Mark_Sens", o.Mark_Sens, 0);
  v.Int("Mark_Niv", o.Mark_Niv, 0);
  v.Text("Mark_X", o.Mark_X, "");
  v.Text("Mark_Y", o.Mark_Y, "");
  v.Text("Mark_XMin", o.Mark_XMin, "");
  v.Text("Mark_Off", o.Mark_Off, "");
  v.Text("Mark_NbCar", o.Mark_NbCar, "");
  v.Text("Mark_LgCar", o.Mark_LgCar, "");
  v.Text("Mark_HtCar", o.Mark_HtCar, "");
  v.Text("Mark_Cod", o.Mark_Cod, "");
  v.Int("Mark_Device", o.Mark_Device, 0);
  v.Text("Mark_String", o.Mark_String, "");
  v.Text("Mark_Speed", o.Mark_Speed, "3000");
  v.MarkTyp(o);
  v.Text("Mark_Sep", o.Mark_Sep, "");
  v.Text("Mark_Cat", o.Mark_Cat, "OOOOOOOOOOOOOOOOOOOO");
  v.Text("Categ", o.Categ, "NNNNNNNNNONNNNNNNNNO");
  v.Text("Defaut", o.Defaut, "00000000000000000000");
  v.Text("XSym", o.XSym, kCategoriesNo);
  v.Text("YSym", o.YSym, kCategoriesNo);
  v.Text("Rotat", o.Rotat, kCategoriesNo);
  v.Text("OrgDef", o.OrgDef, "44114121141444111424");
  v.Text("NbVert", o.NbVert, "");
  v.Text("NbHorz", o.NbHorz, "");
  v.Text("VLarg", o.VLarg, "");
  v.Text("VProf", o.VProf, "");
  v.Text("HLarg", o.HLarg, "");
  v.Text("HProf", o.HProf, "");
  v.Text("SRS", o.SRS, "");
  v.Text("SL", o.SL, "");
  v.Text("SP", o.SP, "");
  v.Text("SC", o.SC, "");
  v.Int("TEC", o.TEC, 0);
  for (int i = 0; i < 6; ++i) v.Text(Format("Off_X%i", i + 1), o.Off_X[i], "");
  for (int i = 0; i < 6; ++i) v.Text(Format("Clamp_Open%i", i + 1), o.Clamp_Open[i], "");
  for (int i = 0; i < 6; ++i) v.Text(Format("Clamp_Close%i", i + 1), o.Clamp_Close[i], "");
  v.Text("Off_Scie", o.Off_Scie, "");
  v.Text("Off_Marq", o.Off_Marq, "");
  v.Text("Off_R99", o.Off_R99, "");
  v.Text("Off_YZ", o.Off_YZ, "");
  v.Text("Off_Rugosite", o.Rugosite, "2");
  v.Text("Off_Recul", o.Off_Recul, "");
  v.Text("Off_Lacher", o.Off_Lacher, "");
  v.Text("Off_Vitesse", o.Off_Vitesse, "");
  v.Text("LgBarre", o.LgBarre, "");
  v.Int("Coupe", o.Coupe, 0);
  v.Units(o.units);
  v.Text("Fctcoupe", o.Fctcoupe, "25");
  v.Text("Dir", o.Dir, "C:\\Temp\\");
  v.Punches(o.poincons);
  // The roughness is read a second time, from Rugosite with an empty
  // default: a file without Rugosite leaves it empty whatever Off_Rugosite
  // holds, and the next save writes that empty value under both keys. This
  // is how the lines in service have always behaved, and a file holding both
  // keys (as every saved file does) reads the same either way.
  v.Text("Rugosite", o.Rugosite, "");
  v.Tools(o.outils);
}

// The marking detail flags back into Mark_Typ (16, 8, 4, 2, 1).
void FoldMarkTyp(OptionValues& o) {
  int n = 16 * (o.markContract != 0) + 8 * (o.markJob != 0) + 4 * (o.markDrawing != 0) +
          2 * (o.markAssembly != 0) + (o.markPart != 0);
  o.Mark_Typ = IntText(n);
}

class OptionReader {
 public:
  OptionReader(const IniFile& ini, const std::string& section) : ini_(ini), section_(section) {}

  void Int(std::string_view key, int& field, int def) { field = ini_.GetInt(section_, key, def); }
  void Text(std::string_view key, std::string& field, std::string_view def) {
    field = ini_.GetString(section_, key, def);
  }
  void MarkTyp(OptionValues& o) {
    Text("Mark_Typ", o.Mark_Typ, "1");
    int n = ToInt(o.Mark_Typ);
    o.markContract = (n >> 4) & 1;
    o.markJob = (n >> 3) & 1;
    o.markDrawing = (n >> 2) & 1;
    o.markAssembly = (n >> 1) & 1;
    o.markPart = n & 1;
  }
  void Units(CArray<rec_uni>& units) {
    units.RemoveAll();
    for (int i = 1; i <= kUnitRows; ++i)
      units.Add(ParseUnitRow(ini_.GetString(section_, Format("Unite%i", i), "")));
  }
  void Punches(CSortedArray<CPoincon>& punches) {
    punches.RemoveAll();
    std::string value;
    for (int i = 0; NextRow(Format("Poincon%i", i), &value); ++i) {
      CPoincon punch;
      if (ParsePunchRow(value, &punch)) punches.Add(punch);
    }
  }
  void Tools(CArray<CMagasin>& tools) {
    tools.RemoveAll();
    std::string value;
    for (int i = 0; NextRow(Format("Outil%i", i), &value); ++i) {
      CMagasin tool;
      if (ParseToolRow(value, &tool)) tools.Add(tool);
    }
  }

 private:
  // The value of one row of a list; false at the end of the list (a missing
  // key, read as "?", or an empty value).
  bool NextRow(const std::string& key, std::string* value) const {
    *value = ini_.GetString(section_, key, "?");
    return !value->empty() && *value != "?";
  }

  const IniFile& ini_;
  const std::string& section_;
};

class OptionWriter {
 public:
  OptionWriter(IniFile& ini, const std::string& section) : ini_(ini), section_(section) {}

  void Int(std::string_view key, int& field, int /*def*/) {
    ini_.Set(section_, key, IntText(field));
  }
  void Text(std::string_view key, std::string& field, std::string_view /*def*/) {
    ini_.Set(section_, key, field);
  }
  void MarkTyp(OptionValues& o) {
    FoldMarkTyp(o);
    ini_.Set(section_, "Mark_Typ", o.Mark_Typ);
  }
  void Units(CArray<rec_uni>& units) {
    // Always six rows; a table that has fewer writes empty ones.
    for (int i = 0; i < kUnitRows; ++i) {
      std::string row = i < units.GetSize() ? FormatUnitRow(units[i]) : FormatUnitRow(rec_uni());
      ini_.Set(section_, Format("Unite%i", i + 1), row);
    }
  }
  void Punches(CSortedArray<CPoincon>& punches) {
    int i = 0;
    for (const CPoincon& punch : punches)
      ini_.Set(section_, Format("Poincon%i", i++), FormatPunchRow(punch));
    ini_.Set(section_, Format("Poincon%i", i), "");
  }
  void Tools(CArray<CMagasin>& tools) {
    int i = 0;
    for (const CMagasin& tool : tools)
      ini_.Set(section_, Format("Outil%i", i++), FormatToolRow(tool));
    ini_.Set(section_, Format("Outil%i", i), "");
  }

 private:
  IniFile& ini_;
  const std::string& section_;
};

}  // namespace

void LoadOptions(const std::string& iniFile, const std::string& machine, std::string* refused) {
  auto cut = platform::LastSeparator(iniFile);
  g_sIniDir = cut == std::string::npos ? std::string() : iniFile.substr(0, cut + 1);

  IniFile ini;
  std::string error;
  const bool read = ini.Load(iniFile, &error);  // a file that cannot be read gives the defaults
  if (refused) *refused = read ? std::string() : error;
  OptionValues options;
  OptionReader reader(ini, machine);
  VisitOptions(options, reader);
  g_options = std::move(options);
}

bool MachineNameUsable(const std::string& machine, std::string* why) {
  if (machine.find_first_of("\r\n[]") == std::string::npos) return true;
  if (why)
    *why = "The machine name \"" + machine.substr(0, machine.find_first_of("\r\n")) +
           "\" holds a line break, '[' or ']', which an INI section name cannot; nothing was "
           "read or written.";
  return false;
}

namespace {

// Changes the machine's section of the INI file as it stands on disk, under
// an exclusive lock: another program, or another job of ours, that saves the
// same file at the same time is waited for, and what it wrote is kept. A
// file that exists but cannot be read is left alone rather than replaced by
// our keys only.
template <typename Change>
bool UpdateIniFile(const std::string& iniFile, const std::string& machine, Change change,
                   std::string* error, SaveWhen when) {
  if (!MachineNameUsable(machine, error)) return false;
  platform::FileLock lock;
  std::string reason;
  if (!lock.Lock(iniFile, &reason)) {
    if (error) *error = iniFile + ": " + reason;
    return false;
  }
  IniFile ini;
  if (!ini.Load(iniFile, error)) return false;
  const std::string before = when == SaveWhen::kIfChanged ? ini.Serialize() : std::string();
  change(ini);
  if (!before.empty() && ini.Serialize() == before) return true;
  return ini.Save(iniFile, error);
}

}  // namespace

bool SaveOptions(const std::string& iniFile, const std::string& machine, std::string* error,
                 SaveWhen when) {
  // The marking flags are folded into Mark_Typ even when the file is not written.
  FoldMarkTyp(g_options);
  return UpdateIniFile(
      iniFile, machine,
      [&](IniFile& ini) {
        OptionWriter writer(ini, machine);
        VisitOptions(g_options, writer);
      },
      error, when);
}

std::string ReadIniKey(const std::string& iniFile, const std::string& section,
                       const std::string& key, const std::string& def, std::size_t max_chars) {
  IniFile ini;
  ini.Load(iniFile, nullptr);
  return ini.GetString(section, key, def, max_chars);
}

bool WriteIniKey(const std::string& iniFile, const std::string& section, const std::string& key,
                 const std::string& value, std::string* error, SaveWhen when) {
  return UpdateIniFile(
      iniFile, section, [&](IniFile& ini) { ini.Set(section, key, value); }, error, when);
}
