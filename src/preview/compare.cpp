#include "preview/compare.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>

#include "preview/nc_reader.h"

namespace preview {
namespace {

// What must be equal besides the positions.
std::string Key(const Op& op) {
  switch (op.kind) {
    case 'D': return "D" + op.axis + "/" + std::to_string(op.code);
    case 'M': return "M" + op.glyph;
    case 'C': return "C" + std::to_string(op.code);
    default: return std::string(1, op.kind);
  }
}

template <typename T, typename KeyFn, typename SameFn>
int Match(std::vector<T>& a, std::vector<T>& b, KeyFn key, SameFn same, double tol_x,
          const std::vector<bool>& skip_a, const std::vector<bool>& skip_b,
          std::vector<int>* partner) {
  // Per key, b's entries by machine X; each a entry takes the first
  // unmatched b entry close enough.
  std::map<std::string, std::vector<std::size_t>> by_key;
  for (std::size_t j = 0; j < b.size(); ++j)
    if (!skip_b[j]) by_key[key(b[j])].push_back(j);
  for (auto& [k, list] : by_key)
    std::sort(list.begin(), list.end(), [&](std::size_t p, std::size_t q) { return b[p].xm < b[q].xm; });
  std::vector<int> of_b(b.size(), -1);
  int differ = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (skip_a[i]) continue;
    bool found = false;
    auto it = by_key.find(key(a[i]));
    if (it != by_key.end()) {
      const std::vector<std::size_t>& list = it->second;
      auto first = std::lower_bound(list.begin(), list.end(), a[i].xm - tol_x,
                                    [&](std::size_t j, double x) { return b[j].xm < x; });
      for (auto p = first; p != list.end() && b[*p].xm <= a[i].xm + tol_x; ++p) {
        if (of_b[*p] >= 0 || !same(a[i], b[*p])) continue;
        of_b[*p] = static_cast<int>(i);
        found = true;
        break;
      }
    }
    if (!found) {
      a[i].differs = true;
      ++differ;
    }
  }
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (skip_b[j] || of_b[j] >= 0) continue;
    b[j].differs = true;
    ++differ;
  }
  if (partner) *partner = std::move(of_b);
  return differ;
}

}  // namespace

int CompareOps(std::vector<Op>& a, std::vector<Op>& b, const OptionValues& options, bool inch,
               std::vector<int>* partner_of_b) {
  const double tol_x = Tolerance(options, inch, true), tol_y = Tolerance(options, inch, false);
  std::vector<bool> skip_a, skip_b;
  for (const Op& op : a) skip_a.push_back(!op.written);
  for (const Op& op : b) skip_b.push_back(!op.written);
  for (Op& op : a) op.differs = false;
  for (Op& op : b) op.differs = false;
  auto same = [&](const Op& p, const Op& q) {
    return !p.has_y || !q.has_y || std::fabs(p.ym - q.ym) <= tol_y;
  };
  return Match(a, b, Key, same, tol_x, skip_a, skip_b, partner_of_b);
}

int CompareClamps(std::vector<ClampMove>& a, std::vector<ClampMove>& b,
                  const OptionValues& options, bool inch) {
  const double tol_x = Tolerance(options, inch, true);
  for (ClampMove& m : a) m.differs = false;
  for (ClampMove& m : b) m.differs = false;
  auto key = [](const ClampMove& m) {
    return std::to_string(m.clamp) + (m.close ? "close" : "open");
  };
  auto same = [](const ClampMove&, const ClampMove&) { return true; };
  return Match(a, b, key, same, tol_x, std::vector<bool>(a.size(), false),
               std::vector<bool>(b.size(), false), nullptr);
}

}  // namespace preview
