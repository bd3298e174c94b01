#include "preview/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace preview {
namespace {

constexpr double kAxis = 30;       // the tick row above each strip
constexpr double kPanelLabel = 14; // a panel's name above its faces
constexpr double kClampRow = 22;   // clamp moves under the faces
constexpr double kGap = 18;        // between strips
constexpr double kMinFace = 6;     // a face never thinner than this (flats' edges)

// Latin-1 text (the job's code page) as escaped UTF-8 for XML.
std::string Xml(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += ' ';
        } else if (c < 0x80) {
          out += static_cast<char>(c);
        } else {
          out += static_cast<char>(0xC0 | (c >> 6));
          out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
  }
  return out;
}

// All the digits of a number, for values a reader computes with.
std::string Exact(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

const char* FaceName(int level) { return level == 0 ? "FL" : "NL"; }

double FaceHeight(const Sheet& sheet, int level, double scale) {
  return std::max(kMinFace, sheet.width[level] * scale);
}

double PanelHeight(const Sheet& sheet, const Panel& panel, double scale) {
  (void)panel;
  return kPanelLabel + FaceHeight(sheet, 0, scale) + FaceHeight(sheet, 1, scale) + kClampRow;
}

// Where one strip of one panel is drawn.
struct Frame {
  double x0, x1;      // the strip's bar positions
  double scale;
  double left;
  double heel;        // y of the heel line
  double fl, nl;      // face heights
  double px(double x) const { return left + (x - x0) * scale; }
  double py(int level, double y) const { return level == 0 ? heel - y * scale : heel + y * scale; }
  double top() const { return heel - fl; }
  double bottom() const { return heel + nl; }
  bool Holds(double x, bool last) const { return x >= x0 - 1e-9 && (x < x1 || (last && x <= x1 + 1e-9)); }
};

void Attr(std::string& s, const char* name, const std::string& value) {
  s.append(" ").append(name).append("=\"").append(value).append("\"");
}

std::string OpenGroup(const std::string& cls, const Op* op, double x, double y, int level,
                      const std::string& label) {
  std::string s = "<g";
  Attr(s, "class", cls);
  Attr(s, "data-x", Num(x));
  if (level >= 0) {
    Attr(s, "data-y", Num(y));
    Attr(s, "data-face", FaceName(level));
  }
  Attr(s, "data-label", Xml(label));
  if (op && op->line > 0) Attr(s, "data-line", std::to_string(op->line));
  return s + ">";
}

// label: write the unit's name (not for the hits of a nibbled slot after
// the first, which would cover each other).
void DrawOp(std::string& s, const Op& op, const Frame& f, const Sheet& sheet, bool label) {
  const std::string differs = op.differs ? " differs" : "";
  if (op.kind == 'C') {
    const double x = f.px(op.x);
    s += OpenGroup("op cut" + differs, &op, op.x, 0, -1, "M" + std::to_string(op.code));
    s += "<line x1=\"" + Num(x) + "\" y1=\"" + Num(f.top() - 4) + "\" x2=\"" + Num(x) + "\" y2=\"" +
         Num(f.bottom() + 4) + "\" class=\"sawline\"/>";
    s += "<text x=\"" + Num(x + 2) + "\" y=\"" + Num(f.bottom() + 12) + "\" class=\"small saw\">saw M" +
         std::to_string(op.code) + "</text>";
    if (op.differs)
      s += "<rect x=\"" + Num(x - 4) + "\" y=\"" + Num(f.top() - 6) + "\" width=\"8\" height=\"" +
           Num(f.bottom() - f.top() + 12) + "\" class=\"diffmark\"/>";
    s += "</g>";
    return;
  }
  const double cx = f.px(op.x);
  // A wheel mark's Y is not in the program: drawn across the middle of its face.
  const double cy = f.py(op.level, op.has_y ? op.y : sheet.width[op.level] / 2);
  if (op.kind == 'M') {
    std::string ch(1, op.ch);
    s += OpenGroup("op mark" + differs + (op.written ? "" : " unwritten"), &op, op.x, op.y, op.level, ch);
    const double size = std::clamp(sheet.char_height * f.scale, 6.0, 14.0);
    s += "<text x=\"" + Num(cx) + "\" y=\"" + Num(cy) + "\" font-size=\"" + Num(size) +
         "\" class=\"char\">" + Xml(ch) + "</text>";
    if (op.differs)
      s += "<circle cx=\"" + Num(cx + 3) + "\" cy=\"" + Num(cy - 4) + "\" r=\"8\" class=\"diffmark\"/>";
    s += "</g>";
    return;
  }
  // A punched hole: the unit's tool, round or oblong, and the unit's name.
  const bool slot = op.tool_l > 0;
  s += OpenGroup(std::string("op hole") + (slot ? " slot" : "") + differs, &op, op.x, op.y,
                 op.level, op.axis);
  const double r = std::max(1.5, op.tool_w * f.scale / 2);
  if (slot) {
    const double l = op.tool_l * f.scale;
    // The slot's angle turns away from the heel on both faces.
    const double angle = op.level == 0 ? -op.tool_angle : op.tool_angle;
    s += "<rect x=\"" + Num(cx - l / 2) + "\" y=\"" + Num(cy - r) + "\" width=\"" + Num(l) +
         "\" height=\"" + Num(2 * r) + "\" rx=\"" + Num(r) + "\" transform=\"rotate(" +
         Num(angle) + " " + Num(cx) + " " + Num(cy) + ")\" class=\"tool\"/>";
  } else {
    s += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"" + Num(r) + "\" class=\"tool\"/>";
  }
  if (label)
    s += "<text x=\"" + Num(cx + r + 1) + "\" y=\"" + Num(cy - r) + "\" class=\"small unit\">" +
         Xml(op.axis) + "</text>";
  if (op.differs)
    s += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"" + Num(r + 4) + "\" class=\"diffmark\"/>";
  s += "</g>";
}

void DrawStrip(std::string& s, const Sheet& sheet, const Layout& layout, double scale, double x0,
               double x1, bool last, double y, const std::string& clip, const std::string& hatch) {
  const double drawn = layout.left + (std::min(x1, sheet.start + sheet.length) - x0) * scale;
  s += "<g class=\"strip\" data-from=\"" + Num(x0) + "\" data-to=\"" + Num(x1) + "\">";
  // Position ticks: every tick mm, labelled every label mm.
  const double span = x1 - x0;
  double tick = 10;
  for (double t : {10.0, 25.0, 50.0, 100.0, 250.0, 500.0, 1000.0})
    if (span / t <= 40) { tick = t; break; }
  const double major_every = tick * (span / (tick * 5) > 8 ? 10 : 5);
  const double axis = y + kAxis - 8;
  s += "<line x1=\"" + Num(layout.left) + "\" y1=\"" + Num(axis) + "\" x2=\"" + Num(drawn) +
       "\" y2=\"" + Num(axis) + "\" class=\"axis\"/>";
  for (double t = std::ceil(x0 / tick - 1e-9) * tick; t <= std::min(x1, sheet.start + sheet.length) + 1e-9; t += tick) {
    const double px = layout.left + (t - x0) * scale;
    const bool major = std::fabs(std::remainder(t, major_every)) < 1e-6;
    s += "<line x1=\"" + Num(px) + "\" y1=\"" + Num(axis) + "\" x2=\"" + Num(px) + "\" y2=\"" +
         Num(axis - (major ? 7 : 3)) + "\" class=\"axis\"/>";
    if (major)
      s += "<text x=\"" + Num(px) + "\" y=\"" + Num(axis - 9) + "\" class=\"small tick\">" + Num(t) + "</text>";
  }
  s += "<text x=\"4\" y=\"" + Num(axis - 9) + "\" class=\"small\">X mm</text>";

  double py = y + kAxis;
  for (const Panel& panel : sheet.panels) {
    Frame f;
    f.x0 = x0;
    f.x1 = x1;
    f.scale = scale;
    f.left = layout.left;
    f.fl = FaceHeight(sheet, 0, scale);
    f.nl = FaceHeight(sheet, 1, scale);
    f.heel = py + kPanelLabel + f.fl;
    s += "<g class=\"panel\" data-label=\"" + Xml(panel.label) + "\" data-heel=\"" + Num(f.heel) + "\">";
    if (sheet.panels.size() > 1)
      s += "<text x=\"4\" y=\"" + Num(py + 10) + "\" class=\"panelname\">" + Xml(panel.label) + "</text>";
    s += "<text x=\"4\" y=\"" + Num(f.heel - f.fl / 2 + 4) + "\" class=\"face\">FL " + Num(sheet.width[0]) + "</text>";
    s += "<text x=\"4\" y=\"" + Num(f.heel + f.nl / 2 + 4) + "\" class=\"face\">NL " + Num(sheet.width[1]) + "</text>";
    // The stock of this strip: both faces and the heel between them.
    const double stock_from = std::max(x0, sheet.start), stock_to = std::min(x1, sheet.start + sheet.length);
    s += "<rect x=\"" + Num(f.px(stock_from)) + "\" y=\"" + Num(f.top()) + "\" width=\"" +
         Num((stock_to - stock_from) * scale) + "\" height=\"" + Num(f.fl) + "\" class=\"fl\"/>";
    s += "<rect x=\"" + Num(f.px(stock_from)) + "\" y=\"" + Num(f.heel) + "\" width=\"" +
         Num((stock_to - stock_from) * scale) + "\" height=\"" + Num(f.nl) + "\" class=\"nl\"/>";
    s += "<line x1=\"" + Num(f.px(stock_from)) + "\" y1=\"" + Num(f.heel) + "\" x2=\"" +
         Num(f.px(stock_to)) + "\" y2=\"" + Num(f.heel) + "\" class=\"heel\"/>";
    s += "<g clip-path=\"url(#" + clip + ")\">";
    if (sheet.remnant_length > 0 && sheet.remnant_start < x1 && sheet.remnant_start + sheet.remnant_length > x0) {
      s += "<g class=\"remnant\" data-x=\"" + Num(sheet.remnant_start) + "\" data-length=\"" +
           Num(sheet.remnant_length) + "\" data-label=\"middle remnant\">";
      s += "<rect x=\"" + Num(f.px(sheet.remnant_start)) + "\" y=\"" + Num(f.top()) + "\" width=\"" +
           Num(sheet.remnant_length * scale) + "\" height=\"" + Num(f.fl + f.nl) + "\" fill=\"url(#" + hatch + ")\" class=\"remnantarea\"/>";
      s += "<text x=\"" + Num(f.px(sheet.remnant_start) + 2) + "\" y=\"" + Num(f.top() - 3) +
           "\" class=\"small\">middle remnant " + Num(sheet.remnant_length) + "</text></g>";
    }
    for (const PieceSpan& p : panel.pieces) {
      if (p.start > x1 || p.start + p.length < x0) continue;
      s += "<g class=\"piece\" data-x=\"" + Num(p.start) + "\" data-length=\"" + Num(p.length) +
           "\" data-label=\"" + Xml(p.name) + "\">";
      s += "<rect x=\"" + Num(f.px(p.start)) + "\" y=\"" + Num(f.top()) + "\" width=\"" +
           Num(p.length * scale) + "\" height=\"" + Num(f.fl + f.nl) + "\" class=\"pieceoutline\"/>";
      const double mid = std::clamp(p.start + p.length / 2, x0 + 30 / scale, x1 - 30 / scale);
      s += "<text x=\"" + Num(f.px(mid)) + "\" y=\"" + Num(f.top() - 3) + "\" class=\"piecename\">" +
           Xml(p.name) + "</text></g>";
    }
    const Op* labelled = nullptr;
    for (const Op& op : panel.ops) {
      if (!f.Holds(op.x, last)) continue;
      bool label = true;
      if (op.kind == 'D') {
        label = !labelled || labelled->axis != op.axis || labelled->level != op.level ||
                std::hypot(labelled->x - op.x, labelled->y - op.y) > op.tool_w;
        labelled = &op;
      }
      DrawOp(s, op, f, sheet, label);
    }
    int n = 0;
    for (const Unpunched& u : panel.unpunched) {
      ++n;
      if (!f.Holds(u.x, last)) continue;
      const double cx = f.px(u.x), cy = f.py(u.level, u.y), r = std::max(2.0, u.diameter * scale / 2);
      s += "<g class=\"unpunched\" data-x=\"" + Num(u.x) + "\" data-y=\"" + Num(u.y) +
           "\" data-face=\"" + FaceName(u.level) + "\" data-label=\"" + Xml(u.size + ": " + u.reason) + "\">";
      s += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy) + "\" r=\"" + Num(r) + "\" class=\"missing\"/>";
      s += "<text x=\"" + Num(cx + r + 1) + "\" y=\"" + Num(cy + 3) + "\" class=\"small missingtext\">!" +
           std::to_string(n) + "</text></g>";
    }
    s += "</g>";  // clip
    // Moves drawn at the same place stand side by side.
    double last_px = -1e9;
    int beside = 0;
    for (const ClampMove& m : panel.clamps) {
      if (!f.Holds(m.x, last)) continue;
      const double at = f.px(m.x);
      beside = std::fabs(at - last_px) < 1 ? beside + 1 : 0;
      last_px = at;
      const double cx = at + beside * 64, cy = f.bottom() + 8;
      const std::string label = std::string(m.close ? "close " : "open ") + std::to_string(m.clamp + 1);
      s += "<g class=\"clamp" + std::string(m.close ? " close" : " open") + (m.differs ? " differs" : "") +
           "\" data-x=\"" + Num(m.x) + "\" data-xm=\"" + Num(m.xm) + "\" data-label=\"" + label + "\">";
      s += m.close ? "<path d=\"M" + Num(cx - 4) + " " + Num(cy) + "h8l-4 6z\" class=\"clampclose\"/>"
                   : "<path d=\"M" + Num(cx - 4) + " " + Num(cy + 6) + "h8l-4 -6z\" class=\"clampopen\"/>";
      s += "<text x=\"" + Num(cx + 5) + "\" y=\"" + Num(cy + 13) + "\" class=\"small\">" +
           (m.close ? "C" : "O") + std::to_string(m.clamp + 1) + " X" + Num(m.xm) + "</text>";
      if (m.differs)
        s += "<circle cx=\"" + Num(cx) + "\" cy=\"" + Num(cy + 3) + "\" r=\"7\" class=\"diffmark\"/>";
      s += "</g>";
    }
    s += "</g>";  // panel
    py += PanelHeight(sheet, panel, scale);
  }
  s += "</g>";
}

const char kStyle[] =
    "<style>"
    "text{font-family:DejaVu Sans,Arial,Helvetica,sans-serif;font-size:11px;fill:#222}"
    ".small{font-size:9px}.tick{text-anchor:middle}.title{font-size:15px;font-weight:bold}"
    ".face{font-size:10px;fill:#555}.panelname{font-size:10px;font-weight:bold;fill:#036}"
    ".axis{stroke:#666;stroke-width:0.8}.fl{fill:#eef1f4;stroke:#8a96a3}.nl{fill:#e4e9ee;stroke:#8a96a3}"
    ".heel{stroke:#445;stroke-width:1.2}.pieceoutline{fill:none;stroke:#234;stroke-width:1.1}"
    ".piecename{font-size:10px;font-weight:bold;text-anchor:middle;fill:#234}"
    ".tool{fill:#fff;stroke:#000;stroke-width:0.8}.unit{fill:#0550ae}"
    ".char{font-weight:bold;fill:#7a1fa2;font-family:DejaVu Sans Mono,monospace}"
    ".sawline{stroke:#c00;stroke-width:1.2;stroke-dasharray:4 2}.saw{fill:#c00}"
    ".missing{fill:#e33;fill-opacity:0.35;stroke:#d00;stroke-width:1.2}.missingtext{fill:#d00;font-weight:bold}"
    ".remnantarea{stroke:#a60}.clampclose{fill:#1565c0}.clampopen{fill:#ef6c00}"
    ".diffmark{fill:none;stroke:#e0f;stroke-width:2}"
    "</style>";

}  // namespace

std::string Num(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 3);
  if (ec != std::errc()) return "0";
  std::string s(buf, end);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

void StripScale(const Sheet& sheet, const Layout& layout, double* strip_mm, double* scale) {
  const double drawing = layout.width - layout.left - layout.right;
  double strip = layout.strip;
  if (strip <= 0) {
    const double face = std::max({sheet.width[0], sheet.width[1], 20.0});
    const double wanted = drawing / (layout.face / face);
    strip = 0;
    for (double s : {100.0, 200.0, 250.0, 500.0, 750.0, 1000.0, 1250.0, 1500.0, 2000.0, 2500.0,
                     3000.0, 4000.0, 5000.0, 6000.0, 8000.0, 10000.0, 12000.0, 15000.0, 20000.0})
      if (s >= wanted) { strip = s; break; }
    if (strip == 0) strip = std::ceil(wanted / 5000) * 5000;
  }
  *strip_mm = strip;
  *scale = drawing / strip;
}

std::string SheetSvg(const Sheet& sheet, const Layout& layout, const std::string& ids) {
  double strip = 0, scale = 0;
  StripScale(sheet, layout, &strip, &scale);
  const int strips = std::max(1, static_cast<int>(std::ceil(sheet.length / strip - 1e-9)));
  double panels = 0;
  for (const Panel& p : sheet.panels) panels += PanelHeight(sheet, p, scale);
  const double header = 60;
  double notes = 0;
  for (const Panel& p : sheet.panels) notes += 14.0 * static_cast<double>(p.unpunched.size() + p.notes.size());
  const double height = header + strips * (kAxis + panels + kGap) + notes + 10;

  std::string s;
  s.reserve(4096 + 600 * sheet.panels.size() * (sheet.panels.empty() ? 0 : sheet.panels[0].ops.size()));
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(layout.width) + "\" height=\"" +
       Num(height) + "\" viewBox=\"0 0 " + Num(layout.width) + " " + Num(height) +
       "\" class=\"sheet\" data-title=\"" + Xml(sheet.title) + "\" data-start=\"" + Num(sheet.start) +
       "\" data-length=\"" + Num(sheet.length) + "\" data-scale=\"" + Exact(scale) + "\" data-strip=\"" +
       Num(strip) + "\">";
  s += kStyle;
  s += "<defs><pattern id=\"" + ids + "hatch\" width=\"6\" height=\"6\" patternUnits=\"userSpaceOnUse\" "
       "patternTransform=\"rotate(45)\"><rect width=\"6\" height=\"6\" fill=\"#fff3e0\"/>"
       "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"6\" stroke=\"#e69a3a\" stroke-width=\"2\"/></pattern>";
  double y = header;
  for (int k = 0; k < strips; ++k) {
    s += "<clipPath id=\"" + ids + "clip" + std::to_string(k) + "\"><rect x=\"" + Num(layout.left - 12) +
         "\" y=\"" + Num(y) + "\" width=\"" + Num(layout.width - layout.left - layout.right + 24) + "\" height=\"" +
         Num(kAxis + panels) + "\"/></clipPath>";
    y += kAxis + panels + kGap;
  }
  s += "</defs>";
  s += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>";
  s += "<text x=\"8\" y=\"20\" class=\"title\">" + Xml(sheet.title) + "</text>";
  // The scale bar: 100 mm, or 1 m on long strips.
  const double bar = strip >= 5000 ? 1000 : 100;
  s += "<g class=\"scalebar\" data-label=\"" + Num(bar) + " mm\"><line x1=\"8\" y1=\"40\" x2=\"" +
       Num(8 + bar * scale) + "\" y2=\"40\" stroke=\"#000\" stroke-width=\"2\"/><text x=\"" +
       Num(12 + bar * scale) + "\" y=\"44\" class=\"small\">" + Num(bar) + " mm  (strips of " +
       Num(strip) + " mm)</text></g>";
  y = header;
  for (int k = 0; k < strips; ++k) {
    const double x0 = sheet.start + k * strip;
    DrawStrip(s, sheet, layout, scale, x0, x0 + strip, k == strips - 1, y,
              ids + "clip" + std::to_string(k), ids + "hatch");
    y += kAxis + panels + kGap;
  }
  for (const Panel& p : sheet.panels) {
    int n = 0;
    for (const Unpunched& u : p.unpunched) {
      y += 14;
      s += "<text x=\"8\" y=\"" + Num(y) + "\" class=\"small missingtext\">!" + std::to_string(++n) + " " +
           Xml(u.piece) + "  X " + Num(u.x) + " Y " + Num(u.y) + " " + FaceName(u.level) + " " +
           Xml(u.size) + ": " + Xml(u.reason) + "</text>";
    }
    for (const std::string& note : p.notes) {
      y += 14;
      s += "<text x=\"8\" y=\"" + Num(y) + "\" class=\"small note\">" +
           Xml((sheet.panels.size() > 1 ? p.label + ": " : std::string()) + note) + "</text>";
    }
  }
  s += "</svg>\n";
  return s;
}

std::string PreviewHtml(const std::string& title, const std::vector<std::string>& summary,
                        const std::vector<Sheet>& sheets, const Layout& layout) {
  std::string h;
  h += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + Xml(title) + "</title>\n";
  h += "<style>body{font-family:DejaVu Sans,Arial,sans-serif;font-size:13px;margin:16px}"
       "svg{display:block;max-width:100%;height:auto;border:1px solid #ccc;margin:8px 0}"
       "table{border-collapse:collapse;font-size:12px;margin-bottom:24px}"
       "th,td{border:1px solid #ccc;padding:2px 6px;text-align:right}th{background:#eef}"
       "td.t{text-align:left}tr.differs td{background:#fce4ff}"
       "@media print{section{page-break-before:always}}</style></head><body>\n";
  h += "<h1>" + Xml(title) + "</h1>\n";
  for (const std::string& line : summary) h += "<p>" + Xml(line) + "</p>\n";
  for (const Sheet& sheet : sheets) {
    h += "<section class=\"sheet\"><h2>" + Xml(sheet.title) + "</h2>\n";
    h += SheetSvg(sheet, layout, "s" + std::to_string(&sheet - sheets.data() + 1) + "-");
    h += "<table><tr><th>panel</th><th>#</th><th>kind</th><th>face</th><th>X</th><th>Y</th>"
         "<th>machine X</th><th>machine Y</th><th>unit / character</th><th>M</th>"
         "<th class=\"t\">piece</th><th>line</th><th class=\"t\">status</th></tr>\n";
    for (const Panel& p : sheet.panels) {
      int n = 0;
      for (const Op& op : p.ops) {
        const char* kind = op.kind == 'D' ? "hole" : op.kind == 'M' ? "mark" : "cut";
        std::string what = op.kind == 'D' ? op.axis : op.kind == 'M' ? std::string(1, op.ch) : "saw";
        std::string status = op.differs ? "differs" : "";
        if (op.kind == 'M' && !op.written) status = "not written (no macro)";
        h += std::string("<tr") + (op.differs ? " class=\"differs\"" : "") + "><td class=\"t\">" +
             Xml(p.label) + "</td><td>" + std::to_string(++n) + "</td><td class=\"t\">" + kind +
             "</td><td class=\"t\">" + (op.kind == 'C' ? "" : FaceName(op.level)) + "</td><td>" +
             Num(op.x) + "</td><td>" + (op.kind == 'C' ? "" : Num(op.y)) + "</td><td>" + Num(op.xm) +
             "</td><td>" + (op.kind == 'C' || !op.has_y ? "" : Num(op.ym)) + "</td><td class=\"t\">" +
             Xml(what) + "</td><td>" + (op.code ? std::to_string(op.code) : "") +
             "</td><td class=\"t\">" + Xml(op.piece) + "</td><td>" +
             (op.line ? std::to_string(op.line) : "") + "</td><td class=\"t\">" + status + "</td></tr>\n";
      }
      for (const ClampMove& m : p.clamps) {
        h += std::string("<tr") + (m.differs ? " class=\"differs\"" : "") + "><td class=\"t\">" +
             Xml(p.label) + "</td><td></td><td class=\"t\">clamp</td><td></td><td>" + Num(m.x) +
             "</td><td></td><td>" + Num(m.xm) + "</td><td></td><td class=\"t\">" +
             (m.close ? "close " : "open ") + std::to_string(m.clamp + 1) + "</td><td>" +
             std::to_string((m.close ? 51 : 61) + m.clamp) + "</td><td></td><td>" +
             (m.line ? std::to_string(m.line) : "") + "</td><td class=\"t\">" +
             (m.differs ? "differs" : "") + "</td></tr>\n";
      }
    }
    h += "</table></section>\n";
  }
  h += "</body></html>\n";
  return h;
}

}  // namespace preview
