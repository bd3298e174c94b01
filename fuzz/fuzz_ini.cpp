// Fuzz target: the INI layer. A parsed file serialises back to the very
// same bytes; keys set (with names and values taken from the input) read
// back as set, survive a second parse, and leave every other line alone.
// The table rows of the machine section are parsed and formatted too.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text.h"
#include "config/ini_file.h"
#include "config/tables.h"

namespace {

void Fail(const char* what) {
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

// The text cut to the first CR or LF, as Set keeps a value.
std::string_view OneLine(std::string_view s) { return s.substr(0, s.find_first_of("\r\n")); }

// A key name the layer can store and find again: no '=', ';', '[' at the
// start, no line break, and not blank.
bool UsableKey(std::string_view key) {
  std::string_view t = Trim(key);
  if (t.empty() || t.front() == ';' || t.front() == '[') return false;
  return key.find_first_of("=\r\n") == std::string_view::npos;
}

bool UsableSection(std::string_view section) {
  std::string_view t = Trim(section);
  return !t.empty() && section.find_first_of("[]\r\n") == std::string_view::npos;
}

void Tables(std::string_view value) {
  rec_uni unit = ParseUnitRow(value);
  rec_uni again = ParseUnitRow(FormatUnitRow(unit));
  if (FormatUnitRow(again) != FormatUnitRow(unit)) Fail("unit row does not round-trip");
  CPoincon punch;
  if (ParsePunchRow(value, &punch)) (void)FormatPunchRow(punch);
  CMagasin tool;
  if (ParseToolRow(value, &tool)) (void)FormatToolRow(tool);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  IniFile ini;
  ini.Parse(input);
  if (ini.Serialize() != input) Fail("Parse / Serialize changed the file");

  // Reads of every key line, the way the options read them.
  std::size_t pos = 0;
  int lines = 0;
  std::string section = "M";
  while (pos < input.size() && lines < 200) {
    std::size_t nl = input.find('\n', pos);
    std::string_view line = input.substr(pos, nl == std::string_view::npos ? nl : nl - pos);
    pos = nl == std::string_view::npos ? input.size() : nl + 1;
    ++lines;
    std::string_view t = Trim(line);
    if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) {
      section = std::string(t.substr(1, t.rfind(']') - 1));
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key(line.substr(0, eq));
    (void)ini.GetInt(section, key, 7);
    std::string value = ini.GetString(section, key, "?");
    if (value.size() > IniFile::kMaxValueChars) Fail("a value longer than the profile buffer");
    Tables(value);
  }

  // Changes: the input's own halves as section, key and value.
  const std::string_view half = input.substr(0, size / 2);
  const std::string_view rest = input.substr(size / 2);
  std::string sec = UsableSection(half.substr(0, 12)) ? std::string(half.substr(0, 12)) : "M";
  if (EqualsNoCase(Trim(sec), "Other")) sec = "M";
  std::string key = UsableKey(rest.substr(0, 8)) ? std::string(rest.substr(0, 8)) : "Key";
  if (EqualsNoCase(Trim(key), "Motrice")) key = "Key";
  const std::string value(OneLine(rest.substr(0, 150)));

  IniFile changed;
  changed.Parse(input);
  changed.Set(sec, key, value);
  changed.Set(sec, "Motrice", "3");
  changed.Set("Other", key, "x");
  std::string text = changed.Serialize();

  IniFile reread;
  reread.Parse(text);
  if (reread.Serialize() != text) Fail("the changed file does not round-trip");
  auto found = reread.Find(sec, key);
  // A key that was already in the section before may be spelt with blanks
  // around it; what counts is that its value is the one set.
  if (!found || *found != Trim(value)) Fail("a key set is not read back");
  if (reread.GetInt(sec, "Motrice", 0) != 3) Fail("Motrice not read back");
  if (reread.GetString("Other", key, "") != "x") Fail("a key of another section not read back");
  return 0;
}
