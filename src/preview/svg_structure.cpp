#include "preview/svg_structure.h"

#include <sstream>

namespace preview {
namespace {

std::string Unescape(const std::string& v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '&') {
      out += v[i];
      continue;
    }
    std::size_t semi = v.find(';', i);
    std::string e = v.substr(i + 1, semi - i - 1);
    out += e == "amp" ? "&" : e == "lt" ? "<" : e == "gt" ? ">" : e == "quot" ? "\"" : e == "#39" ? "'" : "?";
    i = semi;
  }
  return out;
}

}  // namespace

std::vector<SvgElement> SvgElements(const std::string& svg) {
  std::vector<SvgElement> out;
  std::vector<int> open;
  for (std::size_t i = svg.find('<'); i != std::string::npos; i = svg.find('<', i + 1)) {
    if (svg.compare(i, 2, "</") == 0) {
      if (!open.empty()) open.pop_back();
      continue;
    }
    std::size_t end = svg.find('>', i);
    if (end == std::string::npos) break;
    std::string tag = svg.substr(i + 1, end - i - 1);
    bool self_closing = !tag.empty() && tag.back() == '/';
    if (self_closing) tag.pop_back();
    SvgElement e;
    std::size_t sp = tag.find(' ');
    e.tag = tag.substr(0, sp);
    e.parent = open.empty() ? -1 : open.back();
    for (std::size_t at = sp; at != std::string::npos && at < tag.size();) {
      std::size_t eq = tag.find("=\"", at);
      if (eq == std::string::npos) break;
      std::size_t close = tag.find('"', eq + 2);
      std::string name = tag.substr(at + 1, eq - at - 1);
      while (!name.empty() && name.front() == ' ') name.erase(0, 1);
      e.attrs[name] = Unescape(tag.substr(eq + 2, close - eq - 2));
      at = close + 1;
    }
    out.push_back(e);
    if (!self_closing && e.tag != "?xml") open.push_back(static_cast<int>(out.size() - 1));
  }
  return out;
}

std::vector<std::string> SvgStructure(const std::string& svg) {
  std::vector<std::string> lines;
  for (const SvgElement& e : SvgElements(svg)) {
    auto cls = e.attrs.find("class");
    if (e.tag != "g" || cls == e.attrs.end()) continue;
    std::string kind = cls->second;
    static const char* const kKinds[] = {"strip", "panel", "op ", "piece", "unpunched", "clamp",
                                         "remnant"};
    bool shown = false;
    for (const char* k : kKinds) shown |= kind.rfind(k, 0) == 0;
    if (!shown) continue;
    auto get = [&](const char* name) {
      auto it = e.attrs.find(name);
      return it == e.attrs.end() ? std::string() : it->second;
    };
    std::ostringstream line;
    if (kind == "strip") {
      line << "strip " << get("data-from") << " " << get("data-to");
    } else if (kind == "panel") {
      line << "  panel " << get("data-label");
    } else {
      if (kind.rfind("op ", 0) == 0) kind = kind.substr(3);
      line << "    " << kind;
      if (!get("data-face").empty()) line << " " << get("data-face");
      line << " x=" << get("data-x");
      if (!get("data-y").empty()) line << " y=" << get("data-y");
      if (!get("data-length").empty()) line << " length=" << get("data-length");
      if (!get("data-xm").empty()) line << " xm=" << get("data-xm");
      line << " \"" << get("data-label") << "\"";
    }
    lines.push_back(line.str());
  }
  return lines;
}

}  // namespace preview
