#include "dstv/nc1.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace dstv {
namespace {

std::string_view TrimBlanks(std::string_view s) {
  const char* blanks = " \t\r\n";
  auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  auto last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

std::string_view TrimRight(std::string_view s) {
  auto last = s.find_last_not_of(" \t\r\n");
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

bool IsComment(std::string_view line) { return TrimBlanks(line).substr(0, 2) == "**"; }

// A block code stands alone at the start of its line: two capitals, or a
// capital and a digit (E0..E9, B1, ...).
bool IsBlockCode(std::string_view line) {
  line = TrimRight(line);
  return line.size() == 2 && line[0] >= 'A' && line[0] <= 'Z' &&
         ((line[1] >= 'A' && line[1] <= 'Z') || (line[1] >= '0' && line[1] <= '9'));
}

// The codes that end a header cut short. Other two-letter lines inside the
// header ("NA", "RO", "SO") are header values.
bool EndsHeader(std::string_view line) {
  static const char* const kBlocks[] = {"EN", "BO", "SI", "AK", "IK", "SC", "KO",
                                        "PU", "KA", "TO", "UE", "PR", "ST"};
  line = TrimRight(line);
  for (const char* b : kBlocks)
    if (line == b) return true;
  return false;
}

std::vector<std::string_view> Tokens(std::string_view line) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

// The UTF-8 sequence at text[i]: its length and code point, or 0 when the
// bytes there are not valid UTF-8 (overlong forms and surrogates included).
std::size_t Utf8Sequence(std::string_view text, std::size_t i, std::uint32_t* code) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  std::size_t more;
  std::uint32_t min;
  if (c < 0x80) {
    *code = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    more = 1, min = 0x80, *code = c & 0x1Fu;
  } else if ((c & 0xF0) == 0xE0) {
    more = 2, min = 0x800, *code = c & 0x0Fu;
  } else if ((c & 0xF8) == 0xF0) {
    more = 3, min = 0x10000, *code = c & 0x07u;
  } else {
    return 0;
  }
  if (i + more >= text.size()) return 0;
  for (std::size_t k = 1; k <= more; ++k) {
    const unsigned char d = static_cast<unsigned char>(text[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    *code = (*code << 6) | (d & 0x3Fu);
  }
  if (*code < min || *code > 0x10FFFF || (*code >= 0xD800 && *code <= 0xDFFF)) return 0;
  return more + 1;
}

bool IsFace(std::string_view token) {
  return token.size() == 1 && (token[0] == 'v' || token[0] == 'o' || token[0] == 'u' ||
                               token[0] == 'h');
}

class Reader {
 public:
  Reader(const std::string& file, std::vector<Message>* messages)
      : file_(file), messages_(messages) {}

  void Error(int line, std::string text) { Add(line, Severity::kError, std::move(text)); }
  void Note(int line, std::string text) { Add(line, Severity::kNote, std::move(text)); }
  bool failed() const { return failed_; }

  // A number field; false (with a message naming what) when it is not one.
  bool Num(int line, std::string_view token, const char* what, Number* n) {
    if (ReadNumber(token, n)) return true;
    Error(line, std::string(what) + ": expected a number, found '" + std::string(token) + "'");
    return false;
  }

 private:
  void Add(int line, Severity s, std::string text) {
    if (s == Severity::kError) failed_ = true;
    messages_->push_back(Message{file_, line, s, std::move(text)});
  }
  const std::string& file_;
  std::vector<Message>* messages_;
  bool failed_ = false;
};

// Header numbers: blank reads 0 for the values an angle line does not use,
// which several exporters leave empty.
bool HeaderNumber(Reader& r, int line, std::string_view text, const char* what, double* out,
                  bool required) {
  text = TrimBlanks(text);
  if (text.empty() && !required) {
    *out = 0;
    return true;
  }
  Number n;
  if (!r.Num(line, text, what, &n)) return false;
  *out = n.value;
  return true;
}

void ReadHeader(Reader& r, const std::vector<std::string_view>& data, const int* lines,
                Header* h) {
  for (int i = 0; i < 24; ++i) h->lines[i] = lines[i];
  auto text = [&](int i) {
    return i < static_cast<int>(data.size()) ? ToLatin1(TrimBlanks(data[i])) : std::string();
  };
  h->order = text(0);
  h->drawing = text(1);
  h->phase = text(2);
  h->piece = text(3);
  h->grade = text(4);
  h->profile = text(6);
  h->code = text(7);
  for (char& c : h->code)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (int i = 0; i < 4; ++i) h->texts[i] = text(20 + i);

  double quantity = 0;
  if (HeaderNumber(r, lines[5], data[5], "quantity", &quantity, true)) {
    if (quantity < 1 || quantity != std::floor(quantity) || quantity > 1e6)
      r.Error(lines[5], "quantity: expected a whole number of pieces, found '" +
                            std::string(TrimBlanks(data[5])) + "'");
    else
      h->quantity = static_cast<int>(quantity);
  }
  // "length" or "length,saw length".
  std::string_view length = TrimBlanks(data[8]);
  std::string_view saw;
  if (auto comma = length.find(','); comma != std::string_view::npos) {
    saw = TrimBlanks(length.substr(comma + 1));
    length = TrimBlanks(length.substr(0, comma));
  }
  HeaderNumber(r, lines[8], length, "length", &h->length, true);
  if (!saw.empty()) HeaderNumber(r, lines[8], saw, "saw length", &h->saw_length, true);
  struct Field {
    int index;
    const char* what;
    double* out;
    bool required;
  };
  const Field fields[] = {
      {9, "profile height", &h->height, true},
      {10, "flange width", &h->flange_width, true},
      {11, "flange thickness", &h->flange_thickness, false},
      {12, "web thickness", &h->web_thickness, false},
      {13, "radius", &h->radius, false},
      {14, "weight per metre", &h->weight, false},
      {15, "paint surface per metre", &h->paint_surface, false},
      {16, "web start cut", &h->web_start_cut, false},
      {17, "web end cut", &h->web_end_cut, false},
      {18, "flange start cut", &h->flange_start_cut, false},
      {19, "flange end cut", &h->flange_end_cut, false},
  };
  for (const Field& f : fields)
    HeaderNumber(r, lines[f.index], data[f.index], f.what, f.out, f.required);
}

// The numbers of a data line after its face letter; false with a message
// when one is not a number.
bool Numbers(Reader& r, int line, const std::vector<std::string_view>& tokens, std::size_t from,
             std::vector<Number>* out) {
  for (std::size_t i = from; i < tokens.size(); ++i) {
    Number n;
    if (!r.Num(line, tokens[i], "value", &n)) return false;
    out->push_back(n);
  }
  return true;
}

// A letter behind X is the dimension reference exporters add (s, o, u);
// it does not move the point on the plane legs of angles and flats.
bool ReferenceSuffix(Reader& r, int line, const Number& n, const char* what) {
  if (n.suffix == 0 || n.suffix == 's' || n.suffix == 'o' || n.suffix == 'u') return true;
  r.Error(line, std::string("unknown letter '") + n.suffix + "' behind " + what);
  return false;
}

bool HoleTypeOf(char letter, HoleType* type) {
  switch (letter) {
    case 'l': *type = HoleType::kSlot; return true;
    case 'g': *type = HoleType::kThread; return true;
    case 's': *type = HoleType::kCountersink; return true;
    case 'm': *type = HoleType::kPunchMark; return true;
    default: return false;
  }
}

void ReadHoleLine(Reader& r, int line, const std::vector<std::string_view>& tokens, Part* part) {
  if (tokens.empty() || !IsFace(tokens[0])) {
    r.Error(line, "a hole line starts with its face letter v, o, u or h");
    return;
  }
  std::vector<Number> v;
  if (!Numbers(r, line, tokens, 1, &v)) return;
  if (v.size() < 3 || v.size() > 7) {
    r.Error(line, "a hole line holds X, Y and the diameter, then the depth and the slot's "
                  "length, width and angle; this one has " + std::to_string(v.size()) +
                      " values");
    return;
  }
  Hole h;
  h.line = line;
  h.face = tokens[0][0];
  if (!ReferenceSuffix(r, line, v[0], "X")) return;
  if (v[1].suffix) {
    r.Error(line, std::string("unknown letter '") + v[1].suffix + "' behind Y");
    return;
  }
  h.x = v[0].value;
  h.y = v[1].value;
  h.diameter = v[2].value;
  // The hole type stands behind the diameter or behind the depth.
  for (std::size_t i = 2; i < v.size() && i < 4; ++i) {
    if (v[i].suffix && !HoleTypeOf(v[i].suffix, &h.type)) {
      r.Error(line, std::string("unknown hole type '") + v[i].suffix + "'");
      return;
    }
  }
  if (v.size() > 3) h.depth = v[3].value;
  if (v.size() > 4) h.slot_length = v[4].value;
  if (v.size() > 5) h.slot_width = v[5].value;
  if (v.size() > 6) h.slot_angle = v[6].value;
  if (h.type == HoleType::kPlain && (h.slot_length != 0 || h.slot_width != 0))
    h.type = HoleType::kSlot;
  if (!(h.diameter > 0)) {
    r.Error(line, "hole diameter must be above 0");
    return;
  }
  if (h.depth < 0 || h.slot_length < 0 || h.slot_width < 0) {
    r.Error(line, "a hole's depth and a slot's length and width cannot be negative");
    return;
  }
  part->holes.push_back(h);
}

void ReadMarkingLine(Reader& r, int line, std::string_view raw,
                     const std::vector<std::string_view>& tokens, Part* part) {
  if (tokens.empty() || !IsFace(tokens[0])) {
    r.Error(line, "a marking line starts with its face letter v, o, u or h");
    return;
  }
  if (tokens.size() < 5) {
    r.Error(line, "a marking line holds X, Y, the angle, the letter height and the text");
    return;
  }
  std::vector<Number> v;
  std::vector<std::string_view> numbers(tokens.begin(), tokens.begin() + 5);
  if (!Numbers(r, line, numbers, 1, &v)) return;
  if (!ReferenceSuffix(r, line, v[0], "X")) return;
  Marking m;
  m.line = line;
  m.face = tokens[0][0];
  m.x = v[0].value;
  m.y = v[1].value;
  m.angle = v[2].value;
  m.height = v[3].value;
  // The text is the rest of the line after the fourth number, blanks inside kept.
  if (tokens.size() > 5) {
    std::size_t at = static_cast<std::size_t>(tokens[5].data() - raw.data());
    m.text = ToLatin1(TrimBlanks(raw.substr(at)));
  }
  part->markings.push_back(m);
}

void ReadContourLine(Reader& r, int line, const std::vector<std::string_view>& tokens,
                     bool inner, bool new_block, Part* part) {
  std::size_t first = 0;
  char face = 0;
  if (!tokens.empty() && IsFace(tokens[0])) {
    face = tokens[0][0];
    first = 1;
  } else if (new_block || part->contours.empty()) {
    r.Error(line, "the first line of a contour starts with its face letter v, o, u or h");
    return;
  } else {
    face = part->contours.back().face;  // a continuation line
  }
  std::vector<Number> v;
  if (!Numbers(r, line, tokens, first, &v)) return;
  if (v.size() < 2) {
    r.Error(line, "a contour point holds at least X and Y");
    return;
  }
  if (!ReferenceSuffix(r, line, v[0], "X")) return;
  if (new_block || part->contours.empty() || part->contours.back().face != face) {
    Contour c;
    c.line = line;
    c.inner = inner;
    c.face = face;
    part->contours.push_back(c);
  }
  ContourPoint p;
  p.line = line;
  p.x = v[0].value;
  p.y = v[1].value;
  p.radius = v.size() > 2 ? v[2].value : 0;
  // A letter behind Y marks a notch point; values behind the radius are a
  // weld preparation.
  p.bevel = v[1].suffix != 0;
  for (std::size_t i = 3; i < v.size(); ++i) p.bevel |= v[i].value != 0;
  part->contours.back().points.push_back(p);
}

}  // namespace

std::string Message::Format() const {
  if (line > 0) return file + ":" + std::to_string(line) + ": " + text;
  return file + ": " + text;
}

bool ReadNumber(std::string_view text, Number* number) {
  *number = Number();
  if (text.empty()) return false;
  std::size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  // Digits and at most one point, then at most one letter.
  std::size_t digits = 0, points = 0, end = i;
  for (; end < text.size(); ++end) {
    char c = text[end];
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '.') ++points;
    else break;
  }
  if (digits == 0 || points > 1) return false;
  char suffix = 0;
  if (end < text.size()) {
    char c = text[end];
    if (end + 1 != text.size() || !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
      return false;
    suffix = c;
  }
  double value = 0;
  auto [ptr, ec] = std::from_chars(text.data() + i, text.data() + end, value,
                                   std::chars_format::fixed);
  if (ec != std::errc() || ptr != text.data() + end || !std::isfinite(value)) return false;
  number->value = negative ? -value : value;
  number->suffix = suffix;
  return true;
}

std::string ToLatin1(std::string_view text) {
  // Valid UTF-8 with characters beyond ASCII is converted; anything else is
  // Latin-1 already.
  bool utf8 = true, wide = false;
  for (std::size_t i = 0; i < text.size() && utf8;) {
    std::uint32_t code;
    std::size_t len = Utf8Sequence(text, i, &code);
    utf8 = len > 0;
    wide |= len > 1;
    i += len;
  }
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    std::uint32_t code = static_cast<unsigned char>(text[i]);
    std::size_t len = 1;
    if (utf8 && wide) len = Utf8Sequence(text, i, &code);
    if (code < 0x20 || code == 0x7F) out.push_back(' ');
    else if (code > 0xFF) out.push_back('?');
    else out.push_back(static_cast<char>(code));
    i += len;
  }
  return out;
}

bool ReadPart(std::string_view text, const std::string& file, Part* part,
              std::vector<Message>* messages) {
  *part = Part();
  part->file = file;
  Reader r(file, messages);
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 mark

  std::vector<std::string_view> lines;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t nl = text.find('\n', at);
    if (nl == std::string_view::npos) {
      if (at < text.size()) lines.push_back(text.substr(at));
      break;
    }
    lines.push_back(text.substr(at, nl - at));
    at = nl + 1;
  }
  for (auto& l : lines)
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);

  std::size_t i = 0;
  auto line_no = [&](std::size_t index) { return static_cast<int>(index + 1); };
  for (; i < lines.size() && (TrimBlanks(lines[i]).empty() || IsComment(lines[i])); ++i) {
  }
  if (i == lines.size()) {
    r.Error(0, "empty file: no ST block");
    return false;
  }
  if (TrimRight(lines[i]) != "ST") {
    r.Error(line_no(i), "a DSTV file starts with the line ST");
    return false;
  }
  ++i;

  // The header: 24 data lines, comment lines not counted, empty lines are
  // empty values. A header cut short by the next block may lack its texts.
  std::vector<std::string_view> data;
  int header_lines[24] = {};
  for (; i < lines.size() && data.size() < 24; ++i) {
    if (IsComment(lines[i])) continue;
    if (EndsHeader(lines[i]) && lines[i][0] != ' ' && lines[i][0] != '\t') break;
    header_lines[data.size()] = line_no(i);
    data.push_back(lines[i]);
  }
  if (data.size() < 20) {
    r.Error(i < lines.size() ? line_no(i) : line_no(lines.size() - 1),
            "the ST block has " + std::to_string(data.size()) + " of its 24 lines");
    return false;
  }
  for (std::size_t k = data.size(); k < 24; ++k) {
    header_lines[k] = header_lines[data.size() - 1];
    data.push_back(std::string_view());
  }
  ReadHeader(r, data, header_lines, &part->header);
  if (r.failed()) return false;

  // The blocks.
  std::string block;
  bool ended = false, new_block = false;
  for (; i < lines.size(); ++i) {
    std::string_view raw = lines[i];
    if (IsComment(raw) || TrimBlanks(raw).empty()) continue;
    const int n = line_no(i);
    if (raw[0] != ' ' && raw[0] != '\t' && IsBlockCode(raw)) {
      block = std::string(TrimRight(raw));
      new_block = true;
      if (block == "EN") {
        ended = true;
        break;
      }
      if (block == "ST") {
        r.Error(n, "a second ST block: one piece per file");
        return false;
      }
      if (block != "BO" && block != "SI" && block != "AK" && block != "IK" && block != "SC")
        part->others.push_back(OtherBlock{n, block, 0});
      continue;
    }
    std::vector<std::string_view> tokens = Tokens(raw);
    if (block.empty()) {
      r.Error(n, "data before the first block");
      continue;
    }
    if (block == "BO") {
      ReadHoleLine(r, n, tokens, part);
    } else if (block == "SI") {
      ReadMarkingLine(r, n, raw, tokens, part);
    } else if (block == "AK" || block == "IK") {
      ReadContourLine(r, n, tokens, block == "IK", new_block, part);
    } else if (block == "SC") {
      Cut cut;
      cut.line = n;
      std::size_t from = 0;
      if (!tokens.empty() && IsFace(tokens[0])) cut.face = tokens[0][0], from = 1;
      std::vector<Number> v;
      if (Numbers(r, n, tokens, from, &v))
        for (const Number& x : v) cut.values.push_back(x.value);
      part->cuts.push_back(cut);
    } else {
      ++part->others.back().data_lines;
    }
    new_block = false;
  }
  if (!ended) r.Error(0, "the file ends without its EN line (cut short?)");
  return !r.failed();
}

}  // namespace dstv
