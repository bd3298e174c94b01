#include "dstv/piece.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace dstv {
namespace {

// Positions closer than this count as the same (DSTV writes two decimals).
constexpr double kClose = 0.01;

std::string Num(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::round(v * 100) / 100);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

const char* CodeName(const std::string& code) {
  static const struct {
    const char* code;
    const char* name;
  } kNames[] = {{"I", "beam"},        {"U", "channel"},          {"RU", "round bar"},
                {"RO", "round tube"}, {"M", "rectangular tube"}, {"C", "cold-formed C"},
                {"T", "tee"},         {"SO", "special profile"}, {"L", "angle"},
                {"B", "plate or flat"}};
  for (const auto& n : kNames)
    if (code == n.code) return n.name;
  return "unknown profile";
}

class Mapper {
 public:
  Mapper(const Part& part, JobPiece* piece, std::vector<Message>* messages)
      : part_(part), piece_(piece), messages_(messages) {}

  bool Run();

 private:
  void Add(int line, Severity s, const std::string& text) {
    if (s == Severity::kError) failed_ = true;
    messages_->push_back(Message{part_.file, line, s, "piece " + Name() + ": " + text});
  }
  std::string Name() const {
    return part_.header.piece.empty() ? std::string("(no mark)") : part_.header.piece;
  }
  double Width(int level) const { return level == 0 ? piece_->h1 : piece_->h2; }
  double Thickness(int level) const { return thickness_[level == 0 ? 0 : 1]; }
  const char* Face(int level) const { return level == 0 ? "FL" : "NL"; }
  // The level of face, or -1 with an error.
  int Level(int line, char face, const char* what);
  // True when (x, y) lies on the face of level; an error otherwise.
  bool OnFace(int line, int level, double x, double y, const std::string& what);

  void Holes();
  void Markings();
  void Contours();
  void Cuts();
  void Others();
  void EndCuts();

  const Part& part_;
  JobPiece* piece_;
  std::vector<Message>* messages_;
  bool failed_ = false;
  double thickness_[2] = {};
};

int Mapper::Level(int line, char face, const char* what) {
  int level = LevelOfFace(part_.header.code, face);
  if (level < 0) {
    Add(line, Severity::kError,
        std::string(what) + " on face " + face + ", which an " +
            (piece_->category == 'Y' ? "angle does not have (its legs are v and u)"
                                     : "flat does not have (its face is v)"));
  }
  return level;
}

bool Mapper::OnFace(int line, int level, double x, double y, const std::string& what) {
  const double length = piece_->length, width = Width(level);
  if (x >= -kClose && x <= length + kClose && y >= -kClose && y <= width + kClose) return true;
  Add(line, Severity::kError,
      what + " at X " + Num(x) + " Y " + Num(y) + " lies off the piece (X from 0 to " +
          Num(length) + ", Y from 0 to " + Num(width) + " on " + Face(level) +
          "): it cannot be placed on a bar");
  return false;
}

void Mapper::Holes() {
  for (const Hole& h : part_.holes) {
    int level = Level(h.line, h.face, "a hole");
    if (level < 0 || !OnFace(h.line, level, h.x, h.y, "the hole")) continue;
    std::string what = "hole " + Num(h.diameter) + " at X " + Num(h.x) + " Y " + Num(h.y) +
                       " on " + Face(level);
    const char* why = nullptr;
    switch (h.type) {
      case HoleType::kThread: why = "is threaded"; break;
      case HoleType::kCountersink: why = "is countersunk"; break;
      case HoleType::kPunchMark: why = "is a centre-punch mark"; break;
      default: break;
    }
    if (!why && h.depth > 0 && h.depth < Thickness(level) - kClose) why = "is blind (depth given)";
    if (!why && h.slot_width > 0) why = "is a slot widened beyond its diameter";
    if (why) {
      Add(h.line, Severity::kNotMade,
          what + " " + why + ": not punchable on this line, left out");
      continue;
    }
    JobHole j;
    j.line = h.line;
    j.level = level;
    j.d = h.diameter;
    j.x = h.x;
    j.y = h.y;
    if (h.type == HoleType::kSlot && h.slot_length > 0) {
      j.kind = 4;
      j.len = h.diameter + h.slot_length;
      j.angle = h.slot_angle;
    }
    piece_->holes.push_back(j);
  }
}

void Mapper::Markings() {
  for (const Marking& m : part_.markings) {
    int level = Level(m.line, m.face, "a marking");
    if (level < 0 || !OnFace(m.line, level, m.x, m.y, "the marking")) continue;
    if (m.text.find_first_not_of(' ') == std::string::npos) {
      Add(m.line, Severity::kNote, "empty marking left out");
      continue;
    }
    if (std::fabs(std::remainder(m.angle, 360.0)) > kClose)
      Add(m.line, Severity::kNote,
          "marking \"" + m.text + "\" at " + Num(m.angle) + " degrees is marked along the bar");
    piece_->marks.push_back(JobMark{m.x, m.y, m.text, m.line});
  }
}

void Mapper::Contours() {
  for (const Contour& c : part_.contours) {
    int level = Level(c.line, c.face, c.inner ? "an inner contour" : "an outer contour");
    if (level < 0) continue;
    if (c.inner) {
      Add(c.line, Severity::kNotMade,
          std::string("inner cut-out on ") + Face(level) + " is not made on this line");
      continue;
    }
    // The outer contour of a square-ended piece is the rectangle of its
    // face: nothing to make beyond the cut.
    const double length = piece_->length, width = Width(level);
    auto at = [](double v, double target) { return std::fabs(v - target) <= kClose; };
    bool rectangle = true, inside = false, rounded = false, bevel = false;
    double min_x = length;
    for (const ContourPoint& p : c.points) {
      bool end = at(p.x, 0) || at(p.x, length);
      bool edge = at(p.y, 0) || at(p.y, width);
      rectangle &= end && edge;
      inside |= !end && !edge;
      rounded |= p.radius != 0;
      bevel |= p.bevel;
      if (!end) min_x = std::min(min_x, p.x);
    }
    if (rectangle && !rounded && !bevel) continue;
    const char* where = min_x < length / 2 ? "the start" : "the end";
    std::string what = bevel     ? "a weld preparation or notch point"
                       : rounded ? "a rounded corner"
                       : inside  ? std::string("a notch at ") + where
                                 : std::string("a mitre at ") + where;
    Add(c.line, Severity::kNotMade,
        "outer contour of " + std::string(Face(level)) + " has " + what +
            ": not made on this line, the piece is cut square");
  }
}

void Mapper::Cuts() {
  // A cut is a point and the normal of its plane. One whose normal lies
  // along the bar at an end of the piece is the square cut the line makes.
  for (const Cut& cut : part_.cuts) {
    const std::vector<double>& v = cut.values;
    bool square = v.size() >= 6 && std::fabs(v[4]) <= 1e-6 && std::fabs(v[5]) <= 1e-6 &&
                  v[3] != 0 && (std::fabs(v[0]) <= kClose ||
                                std::fabs(v[0] - piece_->length) <= kClose);
    if (!square)
      Add(cut.line, Severity::kNotMade, "a cut (SC) that is not a square end is not made on "
                                        "this line, the piece is cut square");
  }
}

void Mapper::EndCuts() {
  const Header& h = part_.header;
  const struct {
    double angle;
    int index;
    const char* what;
  } ends[] = {{h.web_start_cut, 16, "the start of the web"},
              {h.web_end_cut, 17, "the end of the web"},
              {h.flange_start_cut, 18, "the start of the flange"},
              {h.flange_end_cut, 19, "the end of the flange"}};
  for (const auto& e : ends) {
    if (std::fabs(e.angle) > kClose)
      Add(h.lines[e.index], Severity::kNotMade,
          "mitre of " + Num(e.angle) + " degrees at " + e.what +
              " is not made on this line, the piece is cut square");
  }
}

void Mapper::Others() {
  for (const OtherBlock& b : part_.others) {
    const std::string& c = b.code;
    if (c == "KA") Add(b.line, Severity::kNotMade, "bends (KA) are not made on this line");
    else if (c == "KO") Add(b.line, Severity::kNotMade, "marking lines (KO) are not made on this line");
    else if (c == "PU") Add(b.line, Severity::kNotMade, "powder marks (PU) are not made on this line");
    else if (c == "UE") Add(b.line, Severity::kNotMade, "camber (UE) is not made on this line");
    else if (c == "TO") Add(b.line, Severity::kNote, "tolerances (TO) are not read");
    else if (c == "PR") Add(b.line, Severity::kNote, "profile description (PR) is not read");
    else Add(b.line, Severity::kNote, "block " + c + " is not read");
  }
}

bool Mapper::Run() {
  const Header& h = part_.header;
  JobPiece& p = *piece_;
  p = JobPiece();
  p.file = part_.file;
  p.order = h.order;
  p.drawing = h.drawing;
  p.phase = h.phase;
  p.piece = h.piece;
  p.grade = h.grade;
  p.profile = h.profile;
  p.quantity = h.quantity;
  p.length = h.length;
  for (const std::string& t : h.texts)
    if (!t.empty()) p.texts.push_back(t);

  if (h.code == "L") {
    p.category = 'Y';
    p.h1 = h.height;
    p.h2 = h.flange_width;
    thickness_[0] = h.web_thickness > 0 ? h.web_thickness : h.flange_thickness;
    thickness_[1] = h.flange_thickness > 0 ? h.flange_thickness : h.web_thickness;
  } else if (h.code == "B") {
    // Exporters disagree on where a flat's width goes: the profile height,
    // or the flange width with the thickness as the height.
    p.category = 'R';
    double t = h.flange_thickness > 0 ? h.flange_thickness : h.web_thickness;
    bool height_is_thickness = t > 0 && std::fabs(h.height - t) <= kClose;
    p.h1 = height_is_thickness || h.height <= 0 ? h.flange_width : h.height;
    p.h2 = t;
    thickness_[0] = thickness_[1] = t;
  } else {
    Add(h.lines[7], Severity::kError,
        "profile code " + (h.code.empty() ? std::string("(empty)") : h.code) + " (" +
            CodeName(h.code) + ") is not made on this line: it works angles (L) and flats (B)");
    return false;
  }
  if (!(p.length > 0) || !(p.h1 > 0) || !(p.h2 > 0)) {
    Add(h.lines[p.length > 0 ? 9 : 8], Severity::kError,
        "length " + Num(p.length) + " and section " + Num(p.h1) + " x " + Num(p.h2) +
            " must be above 0");
    return false;
  }
  if (h.saw_length > 0 && std::fabs(h.saw_length - h.length) > kClose)
    Add(h.lines[8], Severity::kNote,
        "saw length " + Num(h.saw_length) + " differs from the length; the piece is " +
            Num(h.length) + " long");
  EndCuts();
  Holes();
  Markings();
  Contours();
  Cuts();
  Others();
  return !failed_;
}

}  // namespace

int LevelOfFace(const std::string& code, char face) {
  if (code == "L") return face == 'v' ? 0 : face == 'u' ? 1 : -1;
  if (code == "B") return face == 'v' ? 0 : -1;
  return -1;
}

bool MapPart(const Part& part, JobPiece* piece, std::vector<Message>* messages) {
  return Mapper(part, piece, messages).Run();
}

}  // namespace dstv
