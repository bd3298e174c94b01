// The pictures of a preview: one self-contained SVG per sheet, and an HTML
// page with every sheet and a table of its operations. Nothing is loaded
// from elsewhere.
//
// A sheet is drawn in strips of equal length, one under the other, all to
// the same scale, with position ticks along X and a scale bar. In each strip
// the faces are unfolded around the heel: FL above it, NL below. Every
// drawn element carries what it shows as data attributes (class, data-x,
// data-y, data-face, data-label), so that tests can read a picture's
// structure back without comparing bytes.
#ifndef BARPOST_PREVIEW_SVG_H_
#define BARPOST_PREVIEW_SVG_H_

#include <string>
#include <vector>

#include "preview/model.h"

namespace preview {

struct Layout {
  double width = 1100;   // the picture, in pixels (SVG user units)
  double left = 72;      // room for the face labels
  double right = 16;
  double face = 70;      // the wider face is drawn about this high
  double strip = 0;      // strip length in mm; 0 chooses one from the faces
};

// The strip length and scale (pixels per millimetre) for a sheet.
void StripScale(const Sheet& sheet, const Layout& layout, double* strip_mm, double* scale);

// ids: a prefix for the picture's element ids, so that several pictures
// can stand in one page.
std::string SheetSvg(const Sheet& sheet, const Layout& layout = Layout(),
                     const std::string& ids = std::string());

// title: the page's heading; summary: lines under it.
std::string PreviewHtml(const std::string& title, const std::vector<std::string>& summary,
                        const std::vector<Sheet>& sheets, const Layout& layout = Layout());

// A length as the pictures write it: at most three decimals, no trailing zeros.
std::string Num(double v);

}  // namespace preview

#endif  // BARPOST_PREVIEW_SVG_H_
