#include "cli/machines.h"

#include <cmath>
#include <map>
#include <ostream>

#include "base/platform.h"
#include "base/text.h"
#include "cam/length_text.h"
#include "cli/cli.h"
#include "config/ini_file.h"
#include "config/options.h"
#include "ui/option_rules.h"

namespace {

const char* ControlName(int cnc) {
  switch (cnc) {
    case 0: return "Siemens 840Di";
    case 1: return "Fagor";
    case 2: return "Ocean Clipper";
    default: return "Fagor (unknown Cnc)";
  }
}

const char* UnitName(int unite) {
  switch (unite) {
    case 1: return "mm";
    case 2: return "inch";
    default: return "as the job file";
  }
}

// A punching unit's size text read as the machine reads it: a round size, or
// a slot's width and length. Lengths in inches only when Unite says so.
struct UnitSize {
  bool slot = false;
  double width = 0, length = 0;
};

UnitSize SizeOf(const std::string& text, int unite) {
  const bool inch = unite == 2;
  UnitSize size;
  const auto x = text.find_first_of("Xx");
  if (x == std::string::npos) {
    size.width = cam::LengthOf(Trim(text), inch);
    return size;
  }
  const auto dash = text.find('-', x);
  size.slot = true;
  size.width = cam::LengthOf(Trim(std::string_view(text).substr(0, x)), inch);
  size.length = cam::LengthOf(
      Trim(std::string_view(text).substr(x + 1, dash == std::string::npos ? dash : dash - x - 1)),
      inch);
  return size;
}

bool Near(double a, double b, double tolerance) { return std::fabs(a - b) < tolerance; }

}  // namespace

std::vector<Finding> CheckOptions(const OptionValues& o, const std::string& ini_dir,
                                  bool dir_given) {
  std::vector<Finding> found;
  auto add = [&](std::string key, std::string text) {
    found.push_back({std::move(key), std::move(text)});
  };
  // The reason names the field and quotes the text.
  auto check = [&](const std::string& key, OptionField field, const std::string& text) {
    FieldCheck c = CheckOptionField(field, text, o.Unite);
    if (c.state != FieldState::kUsable) add(key, c.reason);
    return c.state == FieldState::kUsable;
  };

  if (o.Cnc < 0 || o.Cnc > 2)
    add("Cnc", IntText(o.Cnc) + " is no control (0 Siemens 840Di, 1 Fagor, 2 Ocean Clipper); "
                                "the programs come out as for a Fagor");
  if (o.Motrice < 1 || o.Motrice > 4)
    add("Motrice", IntText(o.Motrice) + " is no driving quadrant (1 to 4): no piece of a bar is "
                                        "walked");

  // The punching units, and who uses which M function.
  std::map<std::string, std::vector<std::string>> mfunctions;
  std::vector<UnitSize> sizes;
  for (int i = 0; i < o.units.GetSize(); ++i) {
    const rec_uni& unit = o.units[i];
    const std::string key = "Unite" + IntText(i + 1);
    if (!check(key, OptionField::kLevel, unit.level) || Trim(unit.level).empty())
      continue;  // a unit without a level is not used
    check(key, OptionField::kAxisCode, unit.axis);
    if (check(key, OptionField::kMFunction, unit.mfunc) && !unit.mfunc.empty())
      mfunctions[IntText(ToInt(unit.mfunc))].push_back(key);
    if (check(key, OptionField::kUnitSize, unit.diameter))
      sizes.push_back(SizeOf(unit.diameter, o.Unite));
  }
  if (!Trim(o.Fctcoupe).empty()) mfunctions[IntText(ToInt(o.Fctcoupe))].push_back("Fctcoupe");
  if (o.Mark_Device != 0 && !Trim(o.Mark_Cod).empty())
    mfunctions[IntText(ToInt(o.Mark_Cod))].push_back("Mark_Cod");
  for (const auto& [code, keys] : mfunctions) {
    if (keys.size() < 2) continue;
    std::string who;
    for (const std::string& k : keys) who += (who.empty() ? "" : ", ") + k;
    add(keys.front(), "M function " + code + " is used by " + who +
                          ": the control cannot tell them apart");
  }

  if (Trim(o.Dir).empty())
    add("Dir", dir_given ? "empty: a transmission has no folder to copy into"
                         : "missing: programs would be transmitted to the default C:\\Temp\\");

  // Off-centre punches serve holes by their diameter, on a unit of that size.
  for (int i = 0; i < o.poincons.GetSize(); ++i) {
    const CPoincon& p = o.poincons[i];
    bool served = false;
    for (const UnitSize& s : sizes) served |= !s.slot && Near(s.width, p.m_dDiameter, g_dTolerance);
    if (!served)
      add("Poincon" + IntText(i), "no punching unit carries holes of " + FixedText(p.m_dDiameter, 3) +
                                      ": this off-centre punch is never used");
  }
  // A slot is nibbled with a magazine tool whose hits a unit must punch: a
  // round tool's hits are round holes of its diameter, an oblong tool's are
  // slots of its width and length. A rectangular tool has no diameter and is
  // never chosen.
  for (int i = 0; i < o.outils.GetSize(); ++i) {
    const CMagasin& t = o.outils[i];
    const std::string key = "Outil" + IntText(i);
    if (t.m_cKind == 3) {
      add(key, "a rectangular tool has no diameter and is never chosen to nibble a slot");
      continue;
    }
    bool served = false;
    for (const UnitSize& s : sizes) {
      if (t.m_cKind == 4)
        served |= s.slot && Near(s.width, t.m_dDiameter, 0.1) && Near(s.length, t.m_dLength, 0.1);
      else
        served |= !s.slot && Near(s.width, t.m_dDiameter, 0.1);
    }
    if (!served)
      add(key, "no punching unit carries the hits of this tool (" +
                   std::string(t.m_cKind == 4 ? "slots " + FixedText(t.m_dDiameter, 2) + "X" +
                                                    FixedText(t.m_dLength, 2)
                                              : "holes of " + FixedText(t.m_dDiameter, 2)) +
                   "): its slots would not be made");
  }

  // Marking.
  const bool automatic = o.Mark_Auto != 0 || o.Mark_Auto_PLM != 0;
  if (o.Mark_Device < 0 || o.Mark_Device > 2) {
    add("Mark_Device", IntText(o.Mark_Device) + " is no marking device (0 none, 1 Signomat, "
                                                "2 Signoscript): nothing is marked");
  } else if (o.Mark_Device == 0) {
    if (automatic) add("Mark_Auto", "automatic marking is on but there is no marking device");
  } else {
    if (Trim(o.Mark_Cod).empty())
      add("Mark_Cod", "empty while a marking device is chosen: the marks get M0");
    if (o.Mark_String.empty()) add("Mark_String", "empty: no character can be marked");
    if (o.Mark_Device == 1 && !(ToDouble(o.Mark_Off) > 0))
      add("Mark_Off", "the Signomat's character pitch is not above 0: the characters overlap");
    if (o.Mark_Device == 1)
      for (char c : o.Mark_String)
        if (c >= 'a' && c <= 'z') {
          add("Mark_String", "lower-case letters are never marked on the Signomat: it marks the "
                             "text in capitals");
          break;
        }
    if (o.Mark_Device == 2) {
      if (ToInt(o.Mark_LgCar) <= 0)
        add("Mark_LgCar", "the Signoscript's character width is not above 0: every character "
                          "is drawn as a point");
      if (platform::KindOf(platform::JoinPath(ini_dir, "MACRO_MK")) != platform::FileKind::kDirectory)
        add("Mark_Device", "the Signoscript needs its character macros in " +
                               platform::JoinPath(ini_dir, "MACRO_MK") + ", which is no folder");
    }
  }
  return found;
}

namespace {

// The INI file read, with a message when it cannot be.
bool ReadIni(const std::string& path, IniFile* ini, std::ostream& err) {
  std::string error;
  if (platform::KindOf(path) == platform::FileKind::kMissing) {
    err << "barpost: the INI file " << path << " does not exist\n";
    return false;
  }
  if (!ini->Load(path, &error)) {
    err << "barpost: " << error << "\n";
    return false;
  }
  return true;
}

}  // namespace

int RunMachines(const std::string& ini_path, std::ostream& out, std::ostream& err) {
  IniFile ini;
  if (!ReadIni(ini_path, &ini, err)) return kExitFailure;
  const std::vector<std::string> names = ini.SectionNames();
  if (names.empty()) out << "no machine in " << ini_path << "\n";
  for (const std::string& name : names) {
    const int cnc = ini.GetInt(name, "Cnc", 0);
    const int unite = ini.GetInt(name, "Unite", 0);
    out << Format("%-16s %-20s %-16s %s\n", name.c_str(), ControlName(cnc), UnitName(unite),
                  ini.GetString(name, "Dir", "C:\\Temp\\").c_str());
  }
  return kExitOk;
}

std::vector<Finding> FindingsOf(const std::string& ini_path, const std::string& machine) {
  IniFile ini;
  if (!ini.Load(ini_path, nullptr) || !ini.HasSection(machine)) return {};
  LoadOptions(ini_path, machine);
  return CheckOptions(g_options, g_sIniDir, ini.Find(machine, "Dir").has_value());
}

int RunCheck(const std::string& ini_path, const std::string& machine, std::ostream& out,
             std::ostream& err) {
  IniFile ini;
  if (!ReadIni(ini_path, &ini, err)) return kExitFailure;
  if (!ini.HasSection(machine)) {
    err << "barpost: there is no machine " << machine << " in " << ini_path << "\n";
    return kExitFailure;
  }
  const std::vector<Finding> found = FindingsOf(ini_path, machine);
  for (const Finding& f : found) out << f.key << ": " << f.text << "\n";
  if (found.empty()) out << machine << ": nothing to report\n";
  return found.empty() ? kExitOk : kExitFailure;
}
