#include "preview/nc_reader.h"

#include <charconv>
#include <cmath>

#include "base/text.h"
#include "cam/cam.h"
#include "cam/length_text.h"
#include "output/marking_macro.h"
#include "ui/setup.h"

namespace preview {
namespace {

constexpr int kUnits = 6;

// The number at the start of s ("-12.5", "400", "1.5000"): its length, 0
// when s does not start with one. *decimals: digits behind the point.
std::size_t NumberAt(std::string_view s, double* value, int* decimals = nullptr) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  std::size_t digits = 0, after = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      ++digits;
      if (point) ++after;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return 0;
  std::size_t from = s[0] == '+' ? 1 : 0;
  auto [ptr, ec] = std::from_chars(s.data() + from, s.data() + i, *value);
  if (ec != std::errc() || ptr != s.data() + i) return 0;
  if (decimals) *decimals = static_cast<int>(after);
  return i;
}

// The whole of s is one number.
bool WholeNumber(std::string_view s, double* value) {
  s = Trim(s);
  return !s.empty() && NumberAt(s, value) == s.size();
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// Some number of the program's statements has four decimals: only inches
// do (millimetres are written with three at most). Comments and the
// Clipper's tool table hold texts of the INI file and do not count.
bool WrittenInInches(const std::vector<std::string_view>& lines) {
  for (std::string_view t : lines) {
    if (t.empty() || t[0] == ';' || t[0] == '(' || t[0] == '%' || StartsWith(t, "TOOLS(")) continue;
    for (std::size_t i = 1; i < t.size(); ++i) {
      if (t[i] != '.' || t[i - 1] < '0' || t[i - 1] > '9') continue;
      std::size_t j = i + 1;
      while (j < t.size() && t[j] >= '0' && t[j] <= '9') ++j;
      if (j - i - 1 == 4) return true;
    }
  }
  return false;
}

struct Stroke {
  bool lead = false;  // absolute move to a stroke start; else a relative scribe
  double x = 0, w = 0;
  int line = 0;
};

class Reader {
 public:
  Reader(const OptionValues& o, const std::string& macro_dir, ProgramRead* out)
      : o_(o), macros_(macro_dir), out_(*out) {
    out_.control = o.Cnc == 0 ? 0 : o.Cnc == 2 ? 2 : 1;
    r99_ = ToDouble(o.Off_R99);
    cut_code_ = ToInt(o.Fctcoupe);
  }

  void Run(std::string_view text);

 private:
  double XMm(double v) const {
    double mm = out_.inch ? v * 25.4 : v;
    if (out_.control != 2 && r99_ > 0) mm *= 10 / r99_;
    return mm;
  }
  double YMm(double v) const { return out_.inch ? v * 25.4 : v; }
  void Note(int line, const std::string& text) {
    out_.notes.push_back("line " + std::to_string(line) + ": " + text);
  }

  void Header(std::string_view comment);
  void Gcode(std::string_view s, int line);
  void Clipper(std::string_view s, int line);
  bool StrokeLine(std::string_view s, int line);
  void FlushStrokes();
  void Code(int code, int line);
  void Hole(int code, std::string_view axis_text, int line);
  Op Punch(int unit, int line) const;
  void Mark(char ch, const std::string& glyph, double xm, double ym, bool has_y, int code, int line);
  void Finish();

  const OptionValues& o_;
  MacroLibrary macros_;
  ProgramRead& out_;
  double r99_ = 0;
  int cut_code_ = 0;
  bool xref_seen_ = false;
  bool tooling_ = false;  // the header's tooling rows have begun
  // The position waiting for its M function.
  bool has_x_ = false;
  double x_ = 0;
  int x_line_ = 0;    // the line the position stands on
  std::string axis_;  // "Y1" of "Y1=60" (Siemens) or "Y160" (Fagor: axis and number run together)
  bool wheel_ = false;
  double wheel_angle_ = 0;
  bool group_ = false;  // between G64 and G60: clamp moves
  bool g54_ = false;    // the middle remnant's frame
  double last_x_ = 0;
  double remembered_[kUnits] = {};
  std::vector<Stroke> strokes_;
  std::vector<std::size_t> clamp_before_;  // the operation each clamp move comes before
};

void Reader::Header(std::string_view comment) {
  std::string_view c = comment;
  while (!c.empty() && c.back() == ' ') c.remove_suffix(1);
  auto value = [&](std::string_view key) { return std::string(Trim(c.substr(key.size()))); };
  if (StartsWith(c, "Shape ")) {
    out_.shape = value("Shape ");
  } else if (StartsWith(c, "Material ")) {
    out_.material = value("Material ");
  } else if (StartsWith(c, "Length ")) {
    cam::ReadLength(value("Length "), out_.inch, &out_.length);
  } else if (c == "Tooling") {
    tooling_ = true;
  } else if (!tooling_ && c.size() > 1 && c[0] == '#' && c[1] >= '0' && c[1] <= '9' &&
             out_.pieces.size() < 100000) {
    // "#1   K-1            2   1200" (bar) or "#1=   P-7            1   1000" (piece).
    std::size_t i = 1;
    while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i;
    bool piece_mode = i < c.size() && c[i] == '=';
    if (piece_mode) ++i;
    if (c.substr(i, 3) != "   ") return;
    i += 3;
    ListedPiece p;
    p.name = std::string(Trim(c.substr(i, 15)));
    if (i + 15 > c.size()) return;
    std::string_view rest = c.substr(i + 15);
    p.qty = ToInt(rest.substr(0, 4));
    cam::ReadLength(Trim(rest.substr(rest.size() < 4 ? rest.size() : 4)), out_.inch, &p.length);
    out_.bar = !piece_mode;
    out_.pieces.push_back(p);
  }
}

bool Reader::StrokeLine(std::string_view s, int line) {
  double x = 0, w = 0;
  if (s == "G0M81" || s == "G0G60G90" || StartsWith(s, "G1G91F")) return true;
  bool lead = StartsWith(s, "G0G60X");
  std::string_view rest;
  if (lead)
    rest = s.substr(6);
  else if (StartsWith(s, "X"))
    rest = s.substr(1);
  else
    return false;
  std::size_t n = NumberAt(rest, &x);
  if (n == 0 || n >= rest.size() || rest[n] != 'W') return false;
  std::string_view wtext = rest.substr(n + 1);
  std::size_t m = NumberAt(wtext, &w);
  if (m == 0) return false;
  wtext.remove_prefix(m);
  if (!wtext.empty() && wtext != "M80") return false;
  strokes_.push_back(Stroke{lead, XMm(x), YMm(w), line});
  return true;
}

// The characters a run of strokes draws: at each stroke start, the macro of
// the wheel string whose strokes follow for longest.
void Reader::FlushStrokes() {
  if (strokes_.empty()) return;
  const double width = ToInt(o_.Mark_LgCar);
  const double tol_x = 2 * Tolerance(o_, out_.inch, true) + 1e-9;
  const double tol_w = 2 * Tolerance(o_, out_.inch, false) + 1e-9;
  std::size_t i = 0;
  while (i < strokes_.size()) {
    const Stroke& start = strokes_[i];
    std::size_t best_len = 0;
    char best_char = 0;
    double best_x0 = 0, best_y0 = 0;
    for (char c : o_.Mark_String) {
      const std::vector<MacroStep>* steps = macros_.Find(c);
      if (!steps || steps->empty() || !steps->front().lead || !start.lead) continue;
      const double x0 = start.x - steps->front().x * width / 100;
      const double y0 = start.w - steps->front().w * width / 100;
      double px = x0, pw = y0;
      std::size_t k = 0;
      bool ok = true;
      for (const MacroStep& st : *steps) {
        const double x = x0 + st.x * width / 100, w = y0 + st.w * width / 100;
        if (i + k >= strokes_.size()) { ok = false; break; }
        const Stroke& got = strokes_[i + k];
        double want_x = st.lead ? x : x - px, want_w = st.lead ? w : w - pw;
        if (got.lead != st.lead || std::fabs(got.x - want_x) > tol_x ||
            std::fabs(got.w - want_w) > tol_w) { ok = false; break; }
        px = x, pw = w;
        ++k;
      }
      if (ok && k > best_len) {
        best_len = k, best_char = c, best_x0 = x0, best_y0 = y0;
      }
    }
    if (best_len == 0) {
      Note(start.line, "strokes that no macro of MACRO_MK draws");
      ++i;
      continue;
    }
    Mark(best_char, MacroName(best_char), best_x0, best_y0, true, ToInt(o_.Mark_Cod), start.line);
    i += best_len;
  }
  strokes_.clear();
}

void Reader::Mark(char ch, const std::string& glyph, double xm, double ym, bool has_y, int code,
                  int line) {
  Op op;
  op.kind = 'M';
  op.level = o_.Mark_Niv == 0 ? 0 : 1;
  op.ch = ch;
  op.glyph = glyph;
  op.xm = xm;
  op.ym = ym;
  op.has_y = has_y;
  op.code = code;
  op.remnant = g54_;
  op.line = line;
  out_.ops.push_back(op);
  last_x_ = xm;
}

// A hole of a punching unit: its axis and its level as the machine has them.
Op Reader::Punch(int unit, int line) const {
  Op op;
  op.kind = 'D';
  op.unit = unit;
  op.axis = o_.units[unit].axis;
  op.level = ToInt(o_.units[unit].level) == 1 ? 0 : 1;
  op.line = line;
  return op;
}

void Reader::Hole(int code, std::string_view axis_text, int line) {
  // Units in use with this M function; the axis written with the Y, when
  // there is one, tells them apart (Fagor runs axis and number together:
  // the longest axis that starts the text).
  int unit = -1;
  std::size_t axis_len = 0;
  for (int u = 0; u < kUnits && u < o_.units.GetSize(); ++u) {
    const rec_uni& row = o_.units[u];
    if (row.level.empty() || ToInt(row.mfunc) != code) continue;
    if (axis_text.empty()) {
      if (unit < 0) unit = u;
    } else if (StartsWith(axis_text, row.axis) && (unit < 0 || row.axis.size() > axis_len)) {
      unit = u;
      axis_len = row.axis.size();
    }
  }
  if (unit < 0) {
    Note(line, "M" + std::to_string(code) + " is the M function of no punching unit" +
                   (axis_text.empty() ? std::string() : " with axis " + std::string(axis_text)));
    return;
  }
  Op op = Punch(unit, line);
  op.code = code;
  op.xm = x_;
  if (!axis_text.empty()) {
    std::string_view number = axis_text.substr(axis_len);
    if (!number.empty() && number[0] == '=') number.remove_prefix(1);
    double y = 0;
    if (!WholeNumber(number, &y)) {
      Note(line, "cannot read the Y of " + std::string(axis_text));
      return;
    }
    remembered_[unit] = YMm(y);
  }
  op.ym = remembered_[unit];
  op.remnant = g54_;
  out_.ops.push_back(op);
  last_x_ = x_;
}

void Reader::Code(int code, int line) {
  const bool clamp_code = (code >= 51 && code <= 56) || (code >= 61 && code <= 66);
  bool unit_code = false;
  for (int u = 0; u < kUnits && u < o_.units.GetSize(); ++u)
    unit_code |= !o_.units[u].level.empty() && ToInt(o_.units[u].mfunc) == code;
  const bool cut = code == cut_code_ || code == cut_code_ + 2;
  if (wheel_) {
    // The wheel stands 10 degrees per character of the wheel string.
    long index = std::lround(wheel_angle_ / 10);
    char ch = index >= 0 && index < static_cast<long>(o_.Mark_String.size())
                  ? o_.Mark_String[static_cast<std::size_t>(index)]
                  : '?';
    Mark(ch, std::string(1, ch), x_, 0, false, code, x_line_);
  } else if (clamp_code && (group_ || (!unit_code && !cut))) {
    ClampMove move;
    move.clamp = code % 10 - 1;
    move.close = code / 10 == 5;
    move.xm = has_x_ ? x_ : last_x_;
    move.line = line;
    out_.clamps.push_back(move);
    clamp_before_.push_back(out_.ops.size());
  } else if (cut && axis_.empty() && has_x_) {
    Op op;
    op.kind = 'C';
    op.xm = x_;
    op.code = code;
    op.remnant = code == cut_code_ + 2;
    op.line = x_line_;
    out_.ops.push_back(op);
    last_x_ = x_;
  } else if (unit_code && has_x_) {
    Hole(code, axis_, x_line_);
  } else if (code != 30 && code != 39 && !(code == 51 && !xref_seen_)) {
    Note(line, "M" + std::to_string(code) + " is not understood here");
  }
  has_x_ = false;
  axis_.clear();
  wheel_ = false;
}

// Siemens 840Di and Fagor: the same G-code words, a hole's Y written as
// "Y1=60" on the Siemens and "Y160" on the Fagor, the M function on a line
// of its own on the Siemens and behind the position on the Fagor.
void Reader::Gcode(std::string_view s, int line) {
  if (StrokeLine(s, line)) return;
  FlushStrokes();
  double v = 0;
  if (s.empty() || s[0] == '%' || s == "G710" || s == "G71" || s == "G70" || s == "G00" ||
      s == "G90" || s == "_WREF" || s == "R9=0" || s == "G74W0" || s == "G74X" ||
      s == ".G74YZ" || StartsWith(s, "IF ") || (s[0] == 'Y' && s.find("M26") != std::string_view::npos))
    return;
  if (s == "G500") { g54_ = false; return; }
  if (s == "G54") { g54_ = true; out_.middle_remnant = true; return; }
  if (s == "G60") { group_ = false; return; }
  if (StartsWith(s, "H1=") && WholeNumber(s.substr(3), &v)) { out_.h1 = YMm(v); return; }
  if (StartsWith(s, "H2=") && WholeNumber(s.substr(3), &v)) { out_.h2 = YMm(v); return; }
  if ((StartsWith(s, "_XREF(") && s.back() == ')' && WholeNumber(s.substr(6, s.size() - 7), &v)) ||
      (StartsWith(s, "G92X") && WholeNumber(s.substr(4), &v))) {
    if (!xref_seen_) out_.bar_start = XMm(v);
    xref_seen_ = true;
    return;
  }
  if (StartsWith(s, "W=DC(")) {
    std::size_t close = s.find(")X");
    if (close != std::string_view::npos && WholeNumber(s.substr(5, close - 5), &wheel_angle_) &&
        WholeNumber(s.substr(close + 2), &v)) {
      wheel_ = true;
      has_x_ = true;
      x_ = XMm(v);
      x_line_ = line;
      return;
    }
  }
  if (StartsWith(s, "G64X")) {
    group_ = true;
    s.remove_prefix(3);
  }
  if (s[0] == 'X') {
    std::size_t n = NumberAt(s.substr(1), &v);
    if (n == 0) {
      Note(line, "'" + std::string(s) + "' is not understood");
      return;
    }
    has_x_ = true;
    x_ = XMm(v);
    x_line_ = line;
    std::string_view rest = s.substr(1 + n);
    // Fagor: the M function closes the line.
    std::size_t m = rest.rfind('M');
    double code = 0;
    if (out_.control == 1 && m != std::string_view::npos && WholeNumber(rest.substr(m + 1), &code)) {
      axis_ = std::string(rest.substr(0, m));
      Code(static_cast<int>(code), line);
      return;
    }
    axis_ = std::string(rest);
    return;
  }
  if (s[0] == 'M' && WholeNumber(s.substr(1), &v)) {
    Code(static_cast<int>(v), line);
    return;
  }
  Note(line, "'" + std::string(s) + "' is not understood");
}

// The Ocean Clipper: one statement per operation, X and Y unscaled.
void Reader::Clipper(std::string_view s, int line) {
  auto args = [&](std::string_view body, std::vector<std::string_view>* out) {
    if (body.empty() || body.back() != ')') return false;
    body.remove_suffix(1);
    for (std::size_t at = 0;;) {
      std::size_t comma = body.find(',', at);
      out->push_back(Trim(body.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at)));
      if (comma == std::string_view::npos) return true;
      at = comma + 1;
    }
  };
  std::vector<std::string_view> a;
  double x = 0, y = 0;
  if (s.empty() || s == "INCH" || StartsWith(s, "TOOLS(") || StartsWith(s, "MOVE(")) return;
  if (StartsWith(s, "MATERIAL(")) {
    std::size_t comma = s.rfind(',');
    if (out_.length == 0 && comma != std::string_view::npos && s.back() == ')' &&
        WholeNumber(s.substr(comma + 1, s.size() - comma - 2), &x))
      out_.length = YMm(x);
    return;
  }
  if (StartsWith(s, "CHAR(") && s.size() > 6) {
    // The character stands alone after the parenthesis, whatever it is.
    char ch = s[5];
    if (args(s.substr(6), &a) && a.size() == 5 && a[0].empty() && WholeNumber(a[3], &x) &&
        WholeNumber(a[4], &y)) {
      Mark(ch, std::string(1, ch), XMm(x), YMm(y), true, 0, line);
      return;
    }
  } else if (StartsWith(s, "PUNCH(")) {
    if (args(s.substr(6), &a) && a.size() == 4 && WholeNumber(a[2], &x) && WholeNumber(a[3], &y)) {
      int unit = -1;
      for (int u = 0; u < kUnits && u < o_.units.GetSize() && unit < 0; ++u)
        if (!o_.units[u].level.empty() && o_.units[u].axis == a[0]) unit = u;
      if (unit < 0) {
        Note(line, "no punching unit has the axis " + std::string(a[0]));
        return;
      }
      Op op = Punch(unit, line);
      op.code = ToInt(o_.units[unit].mfunc);
      op.xm = XMm(x);
      op.ym = YMm(y);
      out_.ops.push_back(op);
      return;
    }
  } else if (StartsWith(s, "SHEAR(")) {
    if (args(s.substr(6), &a) && a.size() == 2 && WholeNumber(a[1], &x)) {
      Op op;
      op.kind = 'C';
      op.xm = XMm(x);
      op.code = cut_code_;
      op.line = line;
      out_.ops.push_back(op);
      return;
    }
  }
  Note(line, "'" + std::string(s) + "' is not understood");
}

void Reader::Run(std::string_view text) {
  // The statements without their line numbers ("N12", Clipper "N12: ").
  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t nl = text.find('\n', at);
    std::string_view s = text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at);
    at = nl == std::string_view::npos ? text.size() : nl + 1;
    if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
    if (s.size() > 1 && s[0] == 'N' && s[1] >= '0' && s[1] <= '9') {
      std::size_t i = 1;
      while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
      s.remove_prefix(i);
      if (StartsWith(s, ": ")) s.remove_prefix(2);
    }
    lines.push_back(s);
  }
  bool g70 = false;
  for (std::string_view s : lines) g70 |= s == "G70";
  out_.inch = out_.control == 1 ? g70 : WrittenInInches(lines);

  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view s = lines[i];
    const int number = static_cast<int>(i + 1);
    if (!s.empty() && s[0] == ';') {
      FlushStrokes();
      Header(s.substr(1));
    } else if (out_.control == 1 && !s.empty() && s[0] == '(') {
      Header(s.substr(1, s.size() >= 2 && s.back() == ')' ? s.size() - 2 : std::string_view::npos));
    } else if (out_.control == 2) {
      Clipper(s, number);
    } else {
      Gcode(s, number);
    }
  }
  FlushStrokes();
  Finish();
}

// Machine positions back to bar positions.
void Reader::Finish() {
  double middle = 0, last_length = 0;
  if (out_.middle_remnant) {
    middle = out_.length;
    for (const ListedPiece& p : out_.pieces) middle -= p.qty * p.length;
    if (!out_.pieces.empty()) last_length = out_.pieces.back().length;
  }
  const double marker = ToDouble(o_.Off_Marq), saw = ToDouble(o_.Off_Scie);
  for (Op& op : out_.ops) {
    const double shift = op.remnant ? middle : 0;
    switch (op.kind) {
      case 'D':
        op.x = op.xm - ToDouble(o_.Off_X[op.unit]) - shift;
        op.y = op.ym - PunchOffset(o_, op.unit, out_.inch);
        UnitTool(o_, op.unit, out_.inch, &op);
        break;
      case 'M':
        op.x = op.xm - marker - shift;
        op.y = op.has_y ? op.ym : ToDouble(o_.Mark_Y);
        break;
      case 'C':
        // The remnant piece is cut from the remnant's side.
        op.x = op.xm - saw + (op.remnant ? last_length - middle : 0);
        break;
      default:
        break;
    }
  }
  for (std::size_t i = 0; i < out_.clamps.size(); ++i) {
    std::size_t before = clamp_before_[i];
    if (before < out_.ops.size())
      out_.clamps[i].x = out_.ops[before].x;
    else if (!out_.ops.empty())
      out_.clamps[i].x = out_.ops.back().x;
  }
}

}  // namespace

double Tolerance(const OptionValues& options, bool inch, bool x) {
  double half_digit = inch ? 0.00005 * 25.4 : 0.0005;
  double r99 = ToDouble(options.Off_R99);
  if (x && options.Cnc != 2 && r99 > 0) half_digit *= 10 / r99;
  return half_digit * 1.01;
}

void UnitTool(const OptionValues& options, int unit, bool inch, Op* op) {
  if (unit < 0 || unit >= options.units.GetSize()) return;
  CCam reader;
  reader.m_cInch = inch ? 1 : 0;
  const std::string& text = options.units[unit].diameter;
  UnitSize size = ParseUnitSize(text, reader);
  if (size.length > 0) {
    op->tool_w = size.width;
    op->tool_l = size.length;
    op->tool_angle = size.angle;
  } else {
    op->tool_w = reader.TextToVal(text);
    op->tool_l = 0;
  }
}

double PunchOffset(const OptionValues& options, int unit, bool inch) {
  if (unit < 0 || unit >= options.units.GetSize()) return 0;
  Op tool;
  UnitTool(options, unit, inch, &tool);
  if (tool.tool_l > 0 || tool.tool_w == 0) return 0;
  double offset = 0;
  for (const CPoincon& p : options.poincons)
    if (std::fabs(p.m_dDiameter - tool.tool_w) < g_dTolerance) offset = p.m_dOffset;
  return offset;
}

ProgramRead ReadProgram(std::string_view text, const OptionValues& options,
                        const std::string& macro_dir) {
  ProgramRead out;
  Reader(options, macro_dir, &out).Run(text);
  return out;
}

}  // namespace preview
