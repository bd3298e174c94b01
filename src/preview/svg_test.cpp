#include "preview/svg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "preview/svg_structure.h"

namespace preview {
namespace {

Op HoleAt(int level, double x, double y, const char* axis, double tool) {
  Op op;
  op.kind = 'D';
  op.level = level;
  op.x = x, op.y = y, op.xm = x + 300, op.ym = y;
  op.axis = axis;
  op.tool_w = tool;
  return op;
}

// A bar of 2000 from -10, two panels, every kind of element.
Sheet Example() {
  Sheet s;
  s.title = "Bar 1/1 <L100> & \"B\xFChne\"";
  s.name = "bar-1-1";
  s.start = -10;
  s.length = 2000;
  s.width[0] = 100;
  s.width[1] = 80;
  s.remnant_start = 1790;
  s.remnant_length = 200;
  Panel job;
  job.label = "job";
  job.pieces = {{"K-1", 0, 1200}, {"K-2", 1203, 587}};
  job.ops.push_back(HoleAt(0, 60, 40, "Y1", 22));
  job.ops.push_back(HoleAt(1, 1250, 30, "Y4", 22));
  Op slot = HoleAt(1, 600, 50, "Y6", 22);
  slot.tool_l = 60;
  job.ops.push_back(slot);
  Op mark;
  mark.kind = 'M';
  mark.x = 100, mark.y = 20, mark.ch = '&';
  job.ops.push_back(mark);
  Op cut;
  cut.kind = 'C';
  cut.x = 1203, cut.code = 25;
  job.ops.push_back(cut);
  job.unpunched.push_back(Unpunched{"K-2", 1500, 45, 1, 14, "14", "no unit on level NL carries size 14"});
  job.clamps.push_back(ClampMove{1, true, 800, 60, 0, false});
  Panel program = job;
  program.label = "program";
  program.unpunched.clear();
  program.ops[1].differs = true;
  program.ops[1].x = 1251;
  s.panels = {job, program};
  return s;
}

TEST(PreviewSvg, StructureShowsEveryElementWithItsPlaceAndLabel) {
  Layout layout;
  layout.strip = 1500;  // two strips
  const std::vector<std::string> got = SvgStructure(SheetSvg(Example(), layout));
  const std::vector<std::string> want = {
      "strip -10 1490",
      "  panel job",
      "    piece x=0 length=1200 \"K-1\"",
      "    piece x=1203 length=587 \"K-2\"",
      "    hole FL x=60 y=40 \"Y1\"",
      "    hole NL x=1250 y=30 \"Y4\"",
      "    hole slot NL x=600 y=50 \"Y6\"",
      "    mark FL x=100 y=20 \"&\"",
      "    cut x=1203 \"M25\"",
      "    clamp close x=60 xm=800 \"close 2\"",
      "  panel program",
      "    piece x=0 length=1200 \"K-1\"",
      "    piece x=1203 length=587 \"K-2\"",
      "    hole FL x=60 y=40 \"Y1\"",
      "    hole differs NL x=1251 y=30 \"Y4\"",
      "    hole slot NL x=600 y=50 \"Y6\"",
      "    mark FL x=100 y=20 \"&\"",
      "    cut x=1203 \"M25\"",
      "    clamp close x=60 xm=800 \"close 2\"",
      "strip 1490 2990",
      "  panel job",
      "    remnant x=1790 length=200 \"middle remnant\"",
      "    piece x=1203 length=587 \"K-2\"",
      "    unpunched NL x=1500 y=45 \"14: no unit on level NL carries size 14\"",
      "  panel program",
      "    remnant x=1790 length=200 \"middle remnant\"",
      "    piece x=1203 length=587 \"K-2\"",
  };
  EXPECT_EQ(got, want);
}

// Every drawn shape stands where its data says: X along the strip from its
// start, FL above the heel and NL below it, to the sheet's one scale.
TEST(PreviewSvg, ShapesStandAtTheirPositionsToScale) {
  const std::string svg = SheetSvg(Example());
  const std::vector<SvgElement> e = SvgElements(svg);
  ASSERT_FALSE(e.empty());
  const double scale = std::stod(e[0].attrs.at("data-scale"));
  EXPECT_NEAR(scale, (Layout().width - Layout().left - Layout().right) / 1500, 1e-3);
  int checked = 0;
  std::set<int> groups;
  for (std::size_t i = 0; i < e.size(); ++i) {
    if (e[i].tag != "circle" || e[i].parent < 0 || !groups.insert(e[i].parent).second) continue;
    const SvgElement& group = e[static_cast<std::size_t>(e[i].parent)];
    if (group.attrs.count("class") == 0 || group.attrs.at("class").rfind("op hole", 0) != 0) continue;
    // The panel and strip the hole stands in.
    auto up_to = [&](int from, const char* cls) {
      while (from >= 0) {
        const SvgElement& el = e[static_cast<std::size_t>(from)];
        auto c = el.attrs.find("class");
        if (c != el.attrs.end() && c->second == cls) break;
        from = el.parent;
      }
      return from;
    };
    const int p = up_to(group.parent, "panel");
    const int s = up_to(p, "strip");
    ASSERT_GE(s, 0);
    const double heel = std::stod(e[static_cast<std::size_t>(p)].attrs.at("data-heel"));
    const double from = std::stod(e[static_cast<std::size_t>(s)].attrs.at("data-from"));
    const double x = std::stod(group.attrs.at("data-x")), y = std::stod(group.attrs.at("data-y"));
    const double sign = group.attrs.at("data-face") == "FL" ? -1 : 1;
    EXPECT_NEAR(std::stod(e[i].attrs.at("cx")), Layout().left + (x - from) * scale, 0.01);
    EXPECT_NEAR(std::stod(e[i].attrs.at("cy")), heel + sign * y * scale, 0.01);
    EXPECT_NEAR(std::stod(e[i].attrs.at("r")), 11 * scale, 0.01);
    ++checked;
  }
  EXPECT_EQ(checked, 4);  // two round holes on each panel
}

TEST(PreviewSvg, TextsAreEscapedUtf8AndPagesKeepTheirIdsApart) {
  const std::string svg = SheetSvg(Example());
  EXPECT_NE(svg.find("Bar 1/1 &lt;L100&gt; &amp; &quot;B\xC3\xBChne&quot;"), std::string::npos);
  EXPECT_NE(svg.find(">&amp;</text>"), std::string::npos);
  const std::string html = PreviewHtml("t", {"a < b"}, {Example(), Example()});
  EXPECT_NE(html.find("<p>a &lt; b</p>"), std::string::npos);
  std::set<std::string> ids;
  for (const SvgElement& el : SvgElements(html)) {
    auto id = el.attrs.find("id");
    if (id != el.attrs.end()) {
      EXPECT_TRUE(ids.insert(id->second).second) << id->second;
    }
  }
  EXPECT_EQ(ids.count("s1-hatch") + ids.count("s2-hatch"), 2u);
  // A table row per operation and clamp move of each panel, marked when it differs.
  std::size_t rows = 0, differs = 0;
  for (std::size_t at = html.find("<tr"); at != std::string::npos; at = html.find("<tr", at + 1)) ++rows;
  for (std::size_t at = html.find("<tr class=\"differs\""); at != std::string::npos;
       at = html.find("<tr class=\"differs\"", at + 1))
    ++differs;
  EXPECT_EQ(rows, 2u * (1 + 2 * 6));
  EXPECT_EQ(differs, 2u);
  EXPECT_EQ(html.find("http://www.w3.org/1999"), std::string::npos);  // nothing fetched
  EXPECT_EQ(html.find(" src="), std::string::npos);
}

}  // namespace
}  // namespace preview
