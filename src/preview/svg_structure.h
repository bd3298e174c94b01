// Tests only: the structure of a preview picture, read back from its SVG
// text: one line per strip, panel and drawn element, with its kind, face,
// positions and label, so that golden files compare what a picture shows
// rather than its bytes.
#ifndef BARPOST_PREVIEW_SVG_STRUCTURE_H_
#define BARPOST_PREVIEW_SVG_STRUCTURE_H_

#include <map>
#include <string>
#include <vector>

namespace preview {

// One element of the picture: its tag and attributes, and the element it
// stands in (-1 for the root).
struct SvgElement {
  std::string tag;
  std::map<std::string, std::string> attrs;
  int parent = -1;
};

// The elements of an SVG text in document order (entities in attribute
// values resolved). Text content is not kept.
std::vector<SvgElement> SvgElements(const std::string& svg);

// "strip 0 1500", "  panel job", "    hole FL x=60 y=40 Y1", ... for the
// strips, panels, operations, pieces, holes no unit punches, clamp moves
// and the middle remnant.
std::vector<std::string> SvgStructure(const std::string& svg);

}  // namespace preview

#endif  // BARPOST_PREVIEW_SVG_STRUCTURE_H_
