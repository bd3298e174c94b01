#include "output/nc_control.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/text.h"

namespace {

constexpr int kClamps = 6;
constexpr int kUnits = 6;
// One inch before the bar end: where X stands while the remnant is
// re-referenced.
constexpr double kOneInch = 25.4;
// Distance before the bar end from which a Signomat must be retracted (M39)
// before a clamp moves there.
constexpr double kMarkerClearance = 120.0;
// Six inches past the last operation: where the bar is pushed at the end.
constexpr double kSixInches = 152.4;

std::string_view UnitAxis(const UsiRecord& u) {
  return std::string_view(u.m_szUnit, strnlen(u.m_szUnit, sizeof u.m_szUnit));
}

// Siemens 840Di and Fagor: G-code with the same hole, marking and
// remembered-Y logic; they differ in comment syntax, preamble and how the
// words of a block are split into lines.
class GcodeControl : public NcControl {
 public:
  explicit GcodeControl(const NcContext& ctx)
      : NcControl(ctx),
        mark_width_(ToInt(ctx.options.Mark_LgCar)),
        mark_speed_(ToDouble(ctx.options.Mark_Speed)) {}

  void Mark(const UsiRecord& u) override {
    switch (options().Mark_Device) {
      case 1:  // Signomat: turn the wheel to the character, then strike
        nc().Line();
        nc().Put("W=DC(");
        nc().Put(FixedText(u.m_dValue, 2));
        nc().Put(")X");
        nc().PutNumber(u.m_dXMachine, true);
        nc().EndLine();
        PutCode(u.m_nCode);
        break;
      case 2:  // Signoscript: draw the character's macro
        if (const std::vector<MacroStep>* steps = macros().Find(u.m_cChar))
          WriteMacro(nc(), *steps, u.m_dXMachine, u.m_dYMachine, mark_width_, mark_speed_);
        break;
      default:  // no marking device
        break;
    }
  }

 protected:
  // Starts a hole's line: its X and, when the unit's Y changed, the unit's
  // axis with the new Y, joined by separator.
  void PutHolePosition(const UsiRecord& u, std::string_view separator) {
    nc().Line();
    nc().Put('X');
    nc().PutNumber(u.m_dXMachine, true);
    // Units outside the table have no remembered Y: their Y is always written.
    const bool known = u.m_nUnit >= 0 && u.m_nUnit < kUnits;
    if (!known || u.m_dYMachine != remembered_y_[u.m_nUnit]) {
      nc().Put(UnitAxis(u));
      nc().Put(separator);
      nc().PutNumber(u.m_dYMachine, false);
      if (known) remembered_y_[u.m_nUnit] = u.m_dYMachine;
    }
  }
  // A numbered line "M<code>".
  void PutCode(int code) {
    nc().Line();
    nc().Put('M');
    nc().PutInt(code);
    nc().EndLine();
  }
  // "G92X..." / "_XREF(...)": minus the squaring cut, or 0 without one.
  std::string BarStartText() {
    return program().bar_sc > 0 ? nc().Number(-program().bar_sc, true) : std::string("0");
  }

 private:
  double remembered_y_[kUnits] = {};
  int mark_width_;
  double mark_speed_;
};

class SiemensControl final : public GcodeControl {
 public:
  explicit SiemensControl(const NcContext& ctx)
      : GcodeControl(ctx), middle_remnant_(ctx.program.middle_remnant) {
    for (int i = 0; i < kClamps; ++i) {
      open_[i] = ToDouble(ctx.options.Clamp_Open[i]);
      close_[i] = ToDouble(ctx.options.Clamp_Close[i]);
    }
  }

  void Comment(std::string_view text) override {
    nc().Line();
    nc().Put(';');
    nc().Put(text);
    nc().EndLine();
  }

  void Preamble() override {
    nc().Numbered("G710");
    nc().Numbered("G00");
    nc().Numbered("G90");
    if (options().Mark_Device == 1) {
      nc().Numbered("_WREF");
    } else if (options().Mark_Device == 2) {
      // Skip the W referencing when the scribing axis is referenced already:
      // the target is the line after "G74W0".
      const int target = nc().counter() + 6;
      nc().Line();
      nc().PutF("IF $AA_REF[W] < >0 GOTOF N%i", target);
      nc().EndLine();
      nc().Numbered("G74W0");
    }
    nc().Numbered("G500");
    nc().Numbered("R9=0");
    const double off_yz = ToDouble(options().Off_YZ);
    nc().Line();
    nc().Put("H1=");
    nc().PutNumber(off_yz > 0 ? off_yz : program().profile_h, false);
    nc().EndLine();
    nc().Line();
    nc().Put("H2=");
    nc().PutNumber(off_yz > 0 ? off_yz : program().profile_w, false);
    nc().EndLine();
    nc().Numbered("M51");
    nc().Line();
    nc().Put("_XREF(");
    nc().Put(BarStartText());
    nc().Put(')');
    nc().EndLine();
  }

  void BeforeOperation(const UsiRecord& u) override {
    MiddleRemnant(u);
    Clamps(u.m_dXMachine);
  }

  void Cut(const UsiRecord& u) override {
    nc().Line();
    nc().Put('X');
    nc().PutNumber(u.m_dXMachine, true);
    nc().EndLine();
    PutCode(u.m_nCode);
  }

  void Hole(const UsiRecord& u) override {
    PutHolePosition(u, "=");
    nc().EndLine();
    PutCode(u.m_nCode);
  }

  void End(double last_x) override {
    for (int i = 0; i < kClamps; ++i) {
      if (clamp_[i] != kClosed) continue;
      if (i == kClamps - 1) PutX("", last_x + kSixInches);
      PutClampCode(6, i);
      clamp_[i] = kOpened;
    }
    nc().Numbered("M30");
  }

 private:
  enum ClampState { kNotClosed = 0, kClosed = 1, kOpened = 2 };

  // A numbered line "<prefix>X<x>".
  void PutX(std::string_view prefix, double x) {
    nc().Line();
    nc().Put(prefix);
    nc().Put('X');
    nc().PutNumber(x, true);
    nc().EndLine();
  }
  // "M5<i>" closes clamp i, "M6<i>" opens it (i from 1).
  void PutClampCode(int tens, int index) { PutCode(tens * 10 + index + 1); }

  // The first operation of the remnant piece opens clamp 1 a moment,
  // re-references X on the remnant and switches to the remnant frame G54;
  // the other operations switch between G54 (remnant) and G500.
  void MiddleRemnant(const UsiRecord& u) {
    const NcProgram& p = program();
    if (u.m_bRemnant == 1 && middle_remnant_ == 1) {
      if (clamp_[0] == kClosed) {
        MoveClamp1(61);
        clamp_[0] = kOpened;
      }
      PutX("", p.length - kOneInch);
      nc().Line();
      nc().Put("_XREF(");
      nc().PutNumber(p.length, true);
      nc().Put(')');
      nc().EndLine();
      nc().Numbered("G54");
      g54_ = true;
      if (clamp_[0] == kOpened) {
        MoveClamp1(51);
        clamp_[0] = kClosed;
      }
      ++middle_remnant_;
      clamps_changed_ = true;
    } else if (u.m_bRemnant == 1) {
      if (!g54_) {
        nc().Numbered("G54");
        g54_ = true;
      }
    } else if (u.m_bRemnant == 0 && g54_) {
      nc().Numbered("G500");
      g54_ = false;
    }
  }
  void MoveClamp1(int code) {
    PutX("G64", program().middle_x);
    PutCode(code);
    nc().Numbered("G60");
  }

  // Clamps close when X passes their close position and open when X passes
  // their open position counted from the bar end. The first move of an
  // operation switches to continuous-path mode (G64), G60 ends it.
  void Clamps(double x) {
    // Most operations move no clamp: nothing to look at below the nearest
    // position where one would move.
    if (clamps_changed_) NextClampMove();
    if (!(x > next_clamp_move_)) return;
    clamps_changed_ = true;
    const NcProgram& p = program();
    const bool signomat = options().Mark_Device == 1;
    bool g64 = false;
    for (int i = 0; i < kClamps; ++i) {
      const double open_at = open_[i] + (p.length - p.bar_sc);
      if (x > open_at && clamp_[i] == kClosed) {
        if (signomat && open_at > p.length - kMarkerClearance && x > p.max_x) RetractMarker();
        PutX(g64 ? "" : "G64", open_[i] + p.length);
        g64 = true;
        PutClampCode(6, i);
        clamp_[i] = kOpened;
      }
    }
    for (int i = 0; i < kClamps; ++i) {
      if (x > close_[i] && clamp_[i] == kNotClosed) {
        if (signomat && close_[i] > p.length - kMarkerClearance) RetractMarker();
        PutX(g64 ? "" : "G64", close_[i]);
        g64 = true;
        PutClampCode(5, i);
        clamp_[i] = kClosed;
      }
    }
    if (g64) nc().Numbered("G60");
  }
  // The smallest X beyond which a clamp opens or closes.
  void NextClampMove() {
    const NcProgram& p = program();
    next_clamp_move_ = std::numeric_limits<double>::infinity();
    for (int i = 0; i < kClamps; ++i) {
      if (clamp_[i] == kClosed)
        next_clamp_move_ = std::min(next_clamp_move_, open_[i] + (p.length - p.bar_sc));
      if (clamp_[i] == kNotClosed) next_clamp_move_ = std::min(next_clamp_move_, close_[i]);
    }
    clamps_changed_ = false;
  }
  void RetractMarker() {
    if (m39_) return;
    nc().Numbered("M39");
    m39_ = true;
  }

  double open_[kClamps];
  double close_[kClamps];
  int clamp_[kClamps] = {kClosed, kNotClosed, kNotClosed, kNotClosed, kNotClosed, kNotClosed};
  bool clamps_changed_ = true;  // next_clamp_move_ is to be worked out again
  double next_clamp_move_ = 0;
  int middle_remnant_;
  bool g54_ = false;
  bool m39_ = false;
};

class FagorControl final : public GcodeControl {
 public:
  using GcodeControl::GcodeControl;

  void FirstLine() override { nc().Plain("%00001"); }

  void Comment(std::string_view text) override {
    constexpr std::size_t kWidth = 38;
    nc().Line();
    nc().Put('(');
    nc().Put(text);
    if (text.size() < kWidth) nc().Put(kWidth - text.size(), ' ');
    nc().Put(')');
    nc().EndLine();
  }

  void Preamble() override {
    nc().Numbered(program().inch == 1 ? "G70" : "G71");
    nc().Numbered("G74X");
    nc().Numbered("G00");
    nc().Numbered("G90");
    nc().Numbered(".G74YZ");
    const std::string off_yz = nc().Number(ToDouble(options().Off_YZ), false);
    nc().Line();
    nc().Put('Y');
    nc().Put(off_yz);
    nc().Put('Z');
    nc().Put(off_yz);
    nc().Put("M26");
    nc().EndLine();
    nc().Line();
    nc().Put("G92X");
    nc().Put(BarStartText());
    nc().EndLine();
  }

  void Cut(const UsiRecord& u) override {
    nc().Line();
    nc().Put('X');
    nc().PutNumber(u.m_dXMachine, true);
    nc().Put('M');
    nc().PutInt(u.m_nCode);
    nc().EndLine();
  }

  void Hole(const UsiRecord& u) override {
    PutHolePosition(u, "");
    nc().Put('M');
    nc().PutInt(u.m_nCode);
    nc().EndLine();
  }

  void End(double) override { nc().Numbered("M30"); }
};

class ClipperControl final : public NcControl {
 public:
  using NcControl::NcControl;

  // Comments are the one kind of line the Clipper does not number.
  void Comment(std::string_view text) override {
    nc().Put(';');
    nc().Plain(text);
  }
  bool WritesBarEnds() const override { return false; }

  // The Clipper always works in inches.
  void Preamble() override {
    nc().Plain("");
    nc().Plain("INCH");
    for (const rec_uni* row : ListedUnitRows(options()))
      nc().PutF("TOOLS(%s, %s, 0, 0)\r\n", row->axis.c_str(), row->diameter.c_str());
    nc().Put("MATERIAL(L, \"");
    nc().Put(program().profile);
    nc().Put("\", ");
    nc().PutNumber(program().length, false);
    nc().Plain(")");
    nc().Plain("");
  }

  void Cut(const UsiRecord& u) override {
    nc().Line();
    nc().Put("SHEAR(0, ");
    nc().PutNumber(u.m_dXMachine, false);
    nc().Put(')');
    nc().EndLine();
  }

  void Hole(const UsiRecord& u) override {
    nc().Line();
    nc().Put("PUNCH(");
    nc().Put(UnitAxis(u));
    nc().Put(", 1, ");
    PutXY(u);
  }

  void Mark(const UsiRecord& u) override {
    nc().Line();
    nc().Put("CHAR(");
    nc().Put(u.m_cChar);
    nc().Put(", 0, 1, ");
    PutXY(u);
  }

  void End(double last_x) override {
    nc().Line();
    nc().Put("MOVE(X,  ");
    nc().PutNumber(last_x + kSixInches, false);
    nc().Put(')');
    nc().EndLine();
  }

 private:
  // "<x>, <y>)" and the line end.
  void PutXY(const UsiRecord& u) {
    nc().PutNumber(u.m_dXMachine, false);
    nc().Put(", ");
    nc().PutNumber(u.m_dYMachine, false);
    nc().Put(')');
    nc().EndLine();
  }
};

}  // namespace

std::vector<const rec_uni*> ListedUnitRows(const OptionValues& options) {
  const int size = options.units.GetSize() < kUnits ? options.units.GetSize() : kUnits;
  int used = 0;
  for (int i = 0; i < size; ++i)
    if (!options.units[i].level.empty()) ++used;
  std::vector<const rec_uni*> rows;
  for (int i = 0; i < used; ++i) rows.push_back(&options.units[i]);
  return rows;
}

std::unique_ptr<NcControl> MakeNcControl(const NcContext& ctx) {
  switch (ctx.options.Cnc) {
    case 0:
      ctx.nc.SetNumbering(0, "");
      return std::make_unique<SiemensControl>(ctx);
    case 2:
      // Clipper programs number from N0, with ": " after the number.
      ctx.nc.SetNumbering(-2, ": ");
      return std::make_unique<ClipperControl>(ctx);
    default:
      ctx.nc.SetNumbering(0, "");
      return std::make_unique<FagorControl>(ctx);
  }
}
