#include "preview/svg.h"

#include <gtest/gtest.h>

#include <set>

#include "preview/svg_structure.h"

namespace preview {
namespace {

Op At(char kind, int level, double x, double y, const char* axis = "", double tool = 22) {
  Op op;
  op.kind = kind, op.level = level, op.x = x, op.y = y, op.xm = x + 300, op.ym = y, op.axis = axis, op.tool_w = tool;
  op.ch = '&', op.code = 25;
  return op;
}

// A bar of 2000 from -10 in two strips of 1500, two panels, every kind of element.
Sheet Example() {
  Sheet s;
  s.title = "Bar 1/1 <L100> & \"B\xFChne\"";
  s.start = -10, s.length = 2000, s.width[0] = 100, s.width[1] = 80;
  s.remnant_start = 1790, s.remnant_length = 200;
  Panel job;
  job.label = "job";
  job.pieces = {{"K-1", 0, 1200}, {"K-2", 1203, 587}};
  job.ops = {At('D', 0, 60, 40, "Y1"), At('D', 1, 1250, 30, "Y4"), At('D', 1, 600, 50, "Y6"), At('M', 0, 100, 20),
             At('C', 0, 1203, 0)};
  job.ops[2].tool_l = 60;
  job.unpunched.push_back(Unpunched{"K-2", 1500, 45, 1, 14, "14", "no unit on level NL carries size 14"});
  job.clamps.push_back(ClampMove{1, true, 800, 60, 0, false});
  Panel program = job;
  program.label = "program";
  program.unpunched.clear();
  program.ops[1].differs = true;
  program.ops[1].x = 1251;
  program.ops[1].line = 7;
  s.panels = {job, program};
  return s;
}

// Every drawn shape stands where its data says: X along the strip from its
// start, FL above the heel and NL below it, to the sheet's one scale.
TEST(PreviewSvg, ShapesStandAtTheirPositionsToScale) {
  const std::string svg = SheetSvg(Example());
  const std::vector<SvgElement> e = SvgElements(svg);
  const double scale = std::stod(e.at(0).attrs.at("data-scale"));
  EXPECT_NEAR(scale, (Layout().width - Layout().left - Layout().right) / 1500, 1e-3);
  auto at = [&](int k) -> const SvgElement& { return e.at(static_cast<std::size_t>(k)); };
  auto cls = [&](int k) { return at(k).attrs.count("class") ? at(k).attrs.at("class") : std::string(); };
  auto up_to = [&](int k, const char* name) {  // the panel and strip the hole stands in
    while (k >= 0 && cls(k) != name) k = at(k).parent;
    return at(k).attrs;
  };
  std::string checked;
  for (std::size_t i = 0; i < e.size(); ++i) {
    if (e[i].tag != "circle" || e[i].parent < 0 || cls(e[i].parent) != "op hole") continue;
    const SvgElement& group = at(e[i].parent);
    const double heel = std::stod(up_to(group.parent, "panel").at("data-heel"));
    const double from = std::stod(up_to(group.parent, "strip").at("data-from"));
    const double x = std::stod(group.attrs.at("data-x")), y = std::stod(group.attrs.at("data-y"));
    const double sign = group.attrs.at("data-face") == "FL" ? -1 : 1;
    EXPECT_NEAR(std::stod(e[i].attrs.at("cx")), Layout().left + (x - from) * scale, 0.01);
    EXPECT_NEAR(std::stod(e[i].attrs.at("cy")), heel + sign * y * scale, 0.01);
    EXPECT_NEAR(std::stod(e[i].attrs.at("r")), 11 * scale, 0.01);
    checked += group.attrs.at("data-label") + group.attrs.at("data-x") + " ";
  }
  EXPECT_EQ(checked, "Y160 Y41250 Y160 ");  // the hole that differs is ringed, not counted
  // Only the operations read from a program name their line.
  EXPECT_EQ(svg.find("data-line"), svg.rfind("data-line=\"7\""));
}

TEST(PreviewSvg, TextsAreEscapedUtf8AndPagesKeepTheirIdsApart) {
  const std::string svg = SheetSvg(Example());
  EXPECT_NE(svg.find("Bar 1/1 &lt;L100&gt; &amp; &quot;B\xC3\xBChne&quot;"), std::string::npos);
  EXPECT_NE(svg.find(">&amp;</text>"), std::string::npos);
  const std::string html = PreviewHtml("t", {"a < b"}, {Example(), Example()});
  EXPECT_NE(html.find("<p>a &lt; b</p>"), std::string::npos);
  std::set<std::string> ids;
  for (const SvgElement& el : SvgElements(html))
    if (el.attrs.count("id") && !ids.insert(el.attrs.at("id")).second) ADD_FAILURE() << el.attrs.at("id");
  EXPECT_EQ(ids.count("s1-hatch") + ids.count("s2-hatch"), 2u);
  // A table row per operation and clamp move of each panel, marked when it differs.
  std::size_t rows = 0, differs = 0;
  for (std::size_t at = html.find("<tr"); at != std::string::npos; at = html.find("<tr", at + 1))
    (html.compare(at, 19, "<tr class=\"differs\"") == 0 ? differs : rows)++;
  EXPECT_EQ(rows + differs, 2u * (1 + 2 * 6));
  EXPECT_EQ(differs, 2u);
  EXPECT_EQ(html.find("http://www.w3.org/1999"), std::string::npos);  // nothing fetched
  EXPECT_EQ(html.find(" src="), std::string::npos);
}

}  // namespace
}  // namespace preview
