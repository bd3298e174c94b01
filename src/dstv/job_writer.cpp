#include "dstv/job_writer.h"

#include "cam/entity_line.h"
#include "cam/length_text.h"

namespace dstv {
namespace {

// A head value on one line: no line breaks (the reader would split it).
std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\n' || c == '\r' || c == '\0') c = ' ';
  return out;
}

void Head(std::string& out, const char* key, const std::string& value) {
  out.append(key).append("=").append(OneLine(value)).append("\n");
}

std::string Mm(double v) { return cam::ExactText(v); }

void Names(std::string& out, const JobPiece& p) {
  Head(out, "CATEGORY", std::string(1, p.category));
  Head(out, "SECTION", Mm(p.h1) + " " + Mm(p.h2));
}

}  // namespace

std::string WriteJob(const std::vector<JobPiece>& pieces, const std::vector<JobBar>& bars,
                     const std::vector<std::string>& comments) {
  std::string out;
  for (const std::string& c : comments) out.append("# ").append(OneLine(c)).append("\n");
  for (const JobPiece& p : pieces) {
    out.append("\n# ").append(OneLine(p.file)).append("\n");
    for (const std::string& t : p.texts) out.append("# ").append(OneLine(t)).append("\n");
    out.append("*PIECE\n");
    Head(out, "PCE_NAM", p.piece);
    Head(out, "PCE_PRF", p.profile);
    Head(out, "PCE_MAT", p.grade);
    Head(out, "PCE_QTY", std::to_string(p.quantity));
    Head(out, "COM_NAM", p.order);
    Head(out, "DWG_NAM", p.drawing);
    // DSTV carries no assembly mark: the phase (the lot the piece belongs
    // to) is what groups pieces, so it names the assembly as well.
    Head(out, "ASS_NAM", p.phase);
    Head(out, "FAS_NAM", p.phase);
    Names(out, p);
    Head(out, "LENGTH", Mm(p.length));
    for (const JobHole& h : p.holes) {
      std::string line = "HOLE";
      cam::AppendField(&line, "level", std::to_string(h.level));
      cam::AppendField(&line, "kind", std::to_string(h.kind));
      cam::AppendField(&line, "d", Mm(h.d));
      cam::AppendField(&line, "x", Mm(h.x));
      cam::AppendField(&line, "y", Mm(h.y));
      if (h.kind == 4) {
        cam::AppendField(&line, "len", Mm(h.len));
        cam::AppendField(&line, "angle", Mm(h.angle));
      }
      out.append(line).append("\n");
    }
    for (const JobMark& m : p.marks) {
      std::string line = "MARK";
      cam::AppendField(&line, "x", Mm(m.x));
      cam::AppendField(&line, "y", Mm(m.y));
      cam::AppendField(&line, "code", "0");
      cam::AppendField(&line, "text", m.text);
      out.append(line).append("\n");
    }
  }
  for (const JobBar& b : bars) {
    if (b.items.empty()) continue;
    const JobPiece& first = pieces[static_cast<std::size_t>(b.items.front().first)];
    double used = 0;
    int count = 0;
    for (const auto& [index, qty] : b.items) {
      used += qty * pieces[static_cast<std::size_t>(index)].length;
      count += qty;
    }
    out.append("\n# bar ")
        .append(std::to_string(b.bon))
        .append("/")
        .append(std::to_string(b.idt))
        .append(": ")
        .append(std::to_string(count))
        .append(count == 1 ? " piece, " : " pieces, ")
        .append(Mm(used))
        .append(" of ")
        .append(Mm(b.length))
        .append("\n*BAR\n");
    Head(out, "BAR_PRO", first.profile);
    Head(out, "BAR_MAT", first.grade);
    Head(out, "BAR_LEN", Mm(b.length));
    Head(out, "BAR_SC", "0");
    Head(out, "BAR_SL", Mm(b.kerf));
    Head(out, "BAR_BON", std::to_string(b.bon));
    Head(out, "BAR_IDT", std::to_string(b.idt));
    Head(out, "BAR_QTY", "1");
    Names(out, first);
    for (const auto& [index, qty] : b.items) {
      const JobPiece& p = pieces[static_cast<std::size_t>(index)];
      std::string line = "ITEM";
      cam::AppendField(&line, "com", OneLine(p.order));
      cam::AppendField(&line, "pce", OneLine(p.piece));
      cam::AppendField(&line, "dwg", OneLine(p.drawing));
      cam::AppendField(&line, "ass", OneLine(p.phase));
      cam::AppendField(&line, "length", Mm(p.length));
      cam::AppendField(&line, "qty", std::to_string(qty));
      cam::AppendField(&line, "turn", "N");
      out.append(line).append("\n");
    }
  }
  out.append("*END\n");
  return out;
}

}  // namespace dstv
