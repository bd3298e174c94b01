// Text dialogs on the controlling terminal: line-based, so they work in any
// terminal and through a terminal multiplexer. Colours are ANSI escapes; the
// fit column says the same in words, for terminals without colour.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "ui/front_end.h"
#include "ui/setup.h"

namespace {

constexpr int kSizeWidth = 18;     // size column of both tables
constexpr int kLeftWidth = 36;     // "Setup" table
constexpr int kSideBySide = 76;    // narrower terminals get the tables one after the other
constexpr std::size_t kMaxSizeText = 99;  // what the INI file keeps of a value

const char kHelp[] =
    "Commands:\n"
    "  <unit> <size>  set the size of unit 1-6, e.g. \"3 22\" or \"3 22X60-45\"\n"
    "                 (a slot: width X length - angle; no angle means -0)\n"
    "  <unit>         ask for the size of unit 1-6 (an empty answer keeps it)\n"
    "  <unit> none    clear the size of a unit\n"
    "  n, p           next, previous page of hole types\n"
    "  o, ok          confirm (only when every hole type fits)\n"
    "  c, cancel      cancel (end of input cancels too)\n"
    "  ?, h           this help";

bool Matches(std::string_view word, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (EqualsNoCase(word, name)) return true;
  return false;
}

// Text cut or padded to exactly width characters; a cut text ends in "~".
std::string Cell(const std::string& text, int width) {
  auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return text.substr(0, w - 1) + "~";
  return text + std::string(w - text.size(), ' ');
}

// The nearest of the eight ANSI colours: one bit per channel.
int AnsiColour(const Rgb& c) { return (c.r >= 128 ? 1 : 0) | (c.g >= 128 ? 2 : 0) | (c.b >= 128 ? 4 : 0); }

std::string Paint(const std::string& cell, const Rgb& text, const Rgb& background) {
  int fg = AnsiColour(text);
  return Format("\x1b[%d;%dm%s\x1b[0m", fg == 7 ? 97 : 30 + fg, 40 + AnsiColour(background),
                cell.c_str());
}

int LineCount(const std::string& text) {
  if (text.empty()) return 0;
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class CTtyFrontEnd : public CFrontEnd {
 public:
  CTtyFrontEnd(FILE* in, FILE* out) : m_in(in), m_out(out) {}
  ~CTtyFrontEnd() override {
    std::fclose(m_in);
    std::fclose(m_out);
  }
  CTtyFrontEnd(const CTtyFrontEnd&) = delete;
  CTtyFrontEnd& operator=(const CTtyFrontEnd&) = delete;

  const char* Name() const override { return "tty"; }
  int RunSetup(CSetup& setup) override;
  int RunOptionSheet(OptionValues&, const std::string&) override {
    Write("The option sheet needs a window; run with BARPOST_UI=gui.\n");
    return IDCANCEL;
  }
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    const char* label = icon == MessageIcon::kError     ? "Error: "
                        : icon == MessageIcon::kWarning ? "Warning: "
                                                        : "";
    Write(label + text + "\nPress Enter ");
    std::string line;
    ReadLine(line);
  }

 private:
  void Write(const std::string& text) {
    std::fputs(text.c_str(), m_out);
    std::fflush(m_out);
  }
  // One line without its end; false at the end of input.
  bool ReadLine(std::string& line);
  void ReadTerminal();
  int ProgramPageRows(bool side_by_side) const;
  void Draw(const CSetup& setup);
  std::vector<std::string> SetupLines(const CSetup& setup) const;
  std::vector<std::string> ProgramLines(const CSetup& setup, int first, int count) const;
  // Handles one command line; IDOK or IDCANCEL ends the dialog, 0 goes on.
  int Command(CSetup& setup, std::string_view line);
  int EditUnit(CSetup& setup, int unit, std::string_view size);

  FILE* m_in;
  FILE* m_out;
  bool m_bAnsi = false;    // the terminal understands escapes
  bool m_bColour = false;  // and colours are wanted
  int m_nRows = 24, m_nCols = 80;
  int m_nFirst = 0;        // first hole type shown (paging)
  int m_nPageRows = 1;     // hole types on the last screen
  std::string m_sNote;     // feedback shown under the tables until the next command
};

bool CTtyFrontEnd::ReadLine(std::string& line) {
  line.clear();
  int c;
  while ((c = std::fgetc(m_in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

void CTtyFrontEnd::ReadTerminal() {
  const char* term = std::getenv("TERM");
  const char* no_colour = std::getenv("NO_COLOR");
  m_bAnsi = term && *term && !EqualsNoCase(term, "dumb");
  m_bColour = m_bAnsi && !(no_colour && *no_colour);
  winsize size{};
  if (ioctl(fileno(m_out), TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
    m_nRows = size.ws_row;
    m_nCols = size.ws_col;
  }
}

// Lines besides the hole types: caption, blank, titles, column heads, blank,
// summary, status, the note, the command hint and the prompt.
int CTtyFrontEnd::ProgramPageRows(bool side_by_side) const {
  int fixed = 9 + LineCount(m_sNote) + (side_by_side ? 0 : 3 + CSetup::kUnits);
  return std::max(4, m_nRows - fixed);
}

std::vector<std::string> CTtyFrontEnd::SetupLines(const CSetup& setup) const {
  std::vector<std::string> lines;
  lines.push_back(Cell("Setup", kLeftWidth));
  lines.push_back(Cell(" #  Level Unit   Diameter", kLeftWidth));
  for (int i = 0; i < CSetup::kUnits; ++i) {
    const CSetup::UnitRow& row = setup.Unit(i);
    std::string size = row.size_visible ? setup.SizeText(i) : "--";
    lines.push_back(Cell(Format(" %d  %-5s %-6s %s", i + 1, row.level.c_str(), row.unit.c_str(),
                                Cell(size, kSizeWidth).c_str()),
                         kLeftWidth));
  }
  return lines;
}

std::vector<std::string> CTtyFrontEnd::ProgramLines(const CSetup& setup, int first,
                                                    int count) const {
  const auto& program = setup.Program();
  int total = static_cast<int>(program.size());
  std::vector<std::string> lines;
  std::string title = "Program";
  if (total > count)
    title += Format(" (hole types %d-%d of %d; n/p pages)", first + 1,
                    std::min(total, first + count), total);
  lines.push_back(title);
  lines.push_back("   #  Level Diameter           Fit");
  if (total == 0) lines.push_back("   (no holes)");
  for (int k = first; k < std::min(total, first + count); ++k) {
    const CSetup::ProgramRow& row = program[static_cast<std::size_t>(k)];
    std::string cell = Cell(row.size, kSizeWidth);
    if (m_bColour) cell = Paint(cell, row.text, row.background);
    lines.push_back(Format(" %3d  %-5s %s %s", k + 1, row.level.c_str(), cell.c_str(),
                           row.fit.c_str()));
  }
  return lines;
}

void CTtyFrontEnd::Draw(const CSetup& setup) {
  ReadTerminal();
  bool side_by_side = m_nCols >= kSideBySide;
  int page_rows = ProgramPageRows(side_by_side);
  m_nPageRows = page_rows;
  int total = static_cast<int>(setup.Program().size());
  m_nFirst = std::clamp(m_nFirst, 0, std::max(0, total - 1));

  std::string screen = m_bAnsi ? "\x1b[H\x1b[2J" : "\n";
  screen += setup.Caption() + "\n\n";
  std::vector<std::string> left = SetupLines(setup);
  std::vector<std::string> right = ProgramLines(setup, m_nFirst, page_rows);
  if (side_by_side) {
    for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
      std::string line = i < left.size() ? left[i] : std::string(kLeftWidth, ' ');
      if (i < right.size()) line += "  " + right[i];
      while (!line.empty() && line.back() == ' ') line.pop_back();
      screen += line + "\n";
    }
  } else {
    for (const std::string& line : left) screen += std::string(Trim(line)) + "\n";
    screen += "\n";
    for (const std::string& line : right) screen += line + "\n";
  }
  screen += "\n" + setup.Summary() + "\n";
  screen += "Status: " + setup.Status() + "    ";
  screen += setup.OkEnabled() ? "OK enabled\n" : "OK disabled\n";
  if (!m_sNote.empty()) screen += m_sNote + "\n";
  screen += "<unit> <size> | o ok | c cancel | ? help\n> ";
  Write(screen);
}

int CTtyFrontEnd::EditUnit(CSetup& setup, int unit, std::string_view size) {
  if (!setup.Unit(unit).size_visible) {
    m_sNote = Format("Unit %d has no level; its size cannot be set.", unit + 1);
    return 0;
  }
  std::string text(Trim(size));
  if (text.empty()) {
    Write(Format("Size of unit %d (now \"%s\", empty keeps it): ", unit + 1,
                 setup.SizeText(unit).c_str()));
    std::string line;
    if (!ReadLine(line)) return IDCANCEL;
    text = std::string(Trim(line));
    if (text.empty()) {
      m_sNote = Format("Unit %d unchanged.", unit + 1);
      return 0;
    }
  }
  if (EqualsNoCase(text, "none")) text.clear();
  if (text.size() > kMaxSizeText) text.resize(kMaxSizeText);
  setup.SetSizeText(unit, text);  // refreshes the hole types
  m_sNote = Format("Unit %d: \"%s\".", unit + 1, text.c_str());
  return 0;
}

int CTtyFrontEnd::Command(CSetup& setup, std::string_view line) {
  line = Trim(line);
  std::string_view word = line.substr(0, line.find_first_of(" \t"));
  std::string_view rest = Trim(line.substr(word.size()));
  if (word.empty()) return 0;
  if (std::all_of(word.begin(), word.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
    int unit = ToInt(word);
    if (unit < 1 || unit > CSetup::kUnits) {
      m_sNote = Format("There is no unit %s: units are numbered 1 to %d.",
                       std::string(word).c_str(), CSetup::kUnits);
      return 0;
    }
    return EditUnit(setup, unit - 1, rest);
  }
  if (Matches(line, {"o", "ok"})) {
    if (setup.OkEnabled()) return IDOK;
    m_sNote = Format("Cannot confirm: %d hole types fit no unit (marked \"no unit\"). Set a "
                     "unit's size or cancel.", setup.NotFittingCount());
    return 0;
  }
  if (Matches(line, {"c", "cancel"})) return IDCANCEL;
  if (Matches(line, {"?", "h", "help"})) {
    m_sNote = kHelp;
    return 0;
  }
  if (Matches(line, {"n", "next"})) {
    int next = m_nFirst + m_nPageRows;
    if (next < static_cast<int>(setup.Program().size())) m_nFirst = next;
    return 0;
  }
  if (Matches(line, {"p", "prev", "previous"})) {
    m_nFirst = std::max(0, m_nFirst - m_nPageRows);
    return 0;
  }
  m_sNote = Format("Unknown command \"%s\"; type ? for help.", std::string(line).c_str());
  return 0;
}

int CTtyFrontEnd::RunSetup(CSetup& setup) {
  std::clearerr(m_in);  // a previous dialog may have ended at the end of input
  setup.Initialise();
  m_nFirst = 0;
  m_sNote.clear();
  for (;;) {
    Draw(setup);
    std::string line;
    if (!ReadLine(line)) {
      Write("\nCancelled (end of input).\n");
      return IDCANCEL;
    }
    m_sNote.clear();
    if (int result = Command(setup, line)) {
      Write(result == IDOK ? "Confirmed.\n" : "Cancelled.\n");
      return result;
    }
  }
}

}  // namespace

std::unique_ptr<CFrontEnd> MakeTtyFrontEnd() {
  int fd = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  int fd_in = dup(fd);
  FILE* out = fdopen(fd, "w");
  FILE* in = fd_in >= 0 ? fdopen(fd_in, "r") : nullptr;
  if (!in || !out) {
    if (in) std::fclose(in); else if (fd_in >= 0) close(fd_in);
    if (out) std::fclose(out); else close(fd);
    return nullptr;
  }
  return std::make_unique<CTtyFrontEnd>(in, out);
}
