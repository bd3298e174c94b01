#include "dstv/nesting.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace dstv {
namespace {

// Lengths are nested in hundredths of a millimetre, so that sums are exact.
using Units = std::int64_t;
Units ToUnits(double mm) { return std::llround(mm * 100); }

// The pieces of one length (length plus kerf): interchangeable for filling.
struct SizeClass {
  Units size = 0;
  std::vector<int> kinds;  // kind indices, in the order given
};

// Kinds grouped by size, longest first.
std::vector<SizeClass> Classes(const std::vector<NestKind>& kinds, Units kerf,
                               const std::vector<bool>& skip) {
  std::map<Units, SizeClass, std::greater<Units>> by_size;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    if (skip[k] || kinds[k].quantity <= 0) continue;
    Units size = ToUnits(kinds[k].length) + kerf;
    SizeClass& c = by_size[size];
    c.size = size;
    c.kinds.push_back(static_cast<int>(k));
  }
  std::vector<SizeClass> out;
  for (auto& [size, c] : by_size) out.push_back(std::move(c));
  return out;
}

// The fullest bar of one capacity: a depth-first search over how many
// pieces of each size class the bar takes, largest classes first and
// largest counts first, so that the first complete fill it meets is the
// greedy one. Bounded by the room the remaining classes could fill at most,
// and by a node budget.
class BarSearch {
 public:
  BarSearch(const std::vector<Units>& size, std::vector<int>& left, Units capacity,
            std::int64_t budget)
      : size_(size), left_(left), capacity_(capacity), budget_(budget),
        take_(size.size(), 0), best_(size.size(), 0), suffix_(size.size() + 1, 0) {}

  // Fills starting with one piece of class forced; returns the fill and the
  // counts per class (best_).
  Units Run(int forced) {
    --left_[forced];
    for (std::size_t i = size_.size(); i-- > 0;)
      suffix_[i] = suffix_[i + 1] + size_[i] * left_[i];
    take_[forced] = 1;
    best_fill_ = -1;
    Dfs(static_cast<std::size_t>(forced), capacity_ - size_[forced], size_[forced]);
    ++left_[forced];
    return best_fill_;
  }
  const std::vector<int>& best() const { return best_; }

 private:
  void Dfs(std::size_t i, Units free, Units fill) {
    ++nodes_;
    if (fill > best_fill_) {
      best_fill_ = fill;
      best_ = take_;
    }
    if (best_fill_ == capacity_ || nodes_ > budget_ || i >= size_.size()) return;
    if (fill + std::min(suffix_[i], free) <= best_fill_) return;
    // The first class, from i on, whose pieces still fit.
    auto first = std::lower_bound(size_.begin() + static_cast<long>(i), size_.end(), free,
                                  [](Units s, Units f) { return s > f; });
    std::size_t j = static_cast<std::size_t>(first - size_.begin());
    if (j >= size_.size()) return;
    int most = static_cast<int>(std::min<Units>(left_[j], free / size_[j]));
    const int base = take_[j];
    for (int c = most; c >= 0; --c) {
      take_[j] = base + c;
      Dfs(j + 1, free - c * size_[j], fill + c * size_[j]);
      if (best_fill_ == capacity_ || nodes_ > budget_) break;
    }
    take_[j] = base;
  }

  const std::vector<Units>& size_;
  std::vector<int>& left_;
  Units capacity_;
  std::int64_t budget_;
  std::int64_t nodes_ = 0;
  Units best_fill_ = -1;
  std::vector<int> take_, best_;
  std::vector<Units> suffix_;
};

// Takes count pieces of class c off the kinds' remaining quantities,
// first kinds first, and records them on bar.
void TakePieces(const SizeClass& c, int count, std::vector<int>& kind_left,
                const std::vector<NestKind>& kinds, NestBar* bar) {
  for (int k : c.kinds) {
    int n = std::min(count, kind_left[static_cast<std::size_t>(k)]);
    if (n <= 0) continue;
    kind_left[static_cast<std::size_t>(k)] -= n;
    count -= n;
    bar->cuts.emplace_back(k, n);
    bar->used += n * kinds[static_cast<std::size_t>(k)].length;
    if (count == 0) break;
  }
}

// The shortest stock length that still holds a bar's pieces.
double ShortestStock(Units needed, const std::vector<double>& stock) {
  double best = 0;
  for (double s : stock)
    if (ToUnits(s) >= needed && (best == 0 || s < best)) best = s;
  return best;
}

NestPlan FirstFitDecreasing(const std::vector<NestKind>& kinds, const std::vector<SizeClass>& classes,
                            const std::vector<double>& stock, Units kerf) {
  const double longest = *std::max_element(stock.begin(), stock.end());
  const Units capacity = ToUnits(longest);
  std::vector<NestBar> bars;
  std::vector<Units> free;
  for (const SizeClass& c : classes) {
    for (int k : c.kinds) {
      // Copies of one piece go, one after the other, into the first bar
      // with room: that bar takes as many as fit before the next is tried.
      int left = kinds[static_cast<std::size_t>(k)].quantity;
      for (std::size_t b = 0; b < bars.size() && left > 0; ++b) {
        int n = static_cast<int>(std::min<Units>(left, free[b] / c.size));
        if (n <= 0) continue;
        bars[b].cuts.emplace_back(k, n);
        bars[b].used += n * kinds[static_cast<std::size_t>(k)].length;
        free[b] -= n * c.size;
        left -= n;
      }
      while (left > 0) {
        int n = static_cast<int>(std::min<Units>(left, capacity / c.size));
        NestBar bar;
        bar.cuts.emplace_back(k, n);
        bar.used = n * kinds[static_cast<std::size_t>(k)].length;
        bars.push_back(bar);
        free.push_back(capacity - n * c.size);
        left -= n;
      }
    }
  }
  NestPlan plan;
  for (std::size_t b = 0; b < bars.size(); ++b) {
    bars[b].stock = ShortestStock(capacity - free[b], stock);
    plan.stock_length += bars[b].stock;
  }
  (void)kerf;
  plan.bars = std::move(bars);
  return plan;
}

NestPlan PatternSearch(const std::vector<NestKind>& kinds, const std::vector<SizeClass>& classes,
                       const std::vector<double>& stock_lengths, const NestLimits& limits) {
  std::vector<Units> size;
  std::vector<int> left;
  for (const SizeClass& c : classes) {
    size.push_back(c.size);
    int n = 0;
    for (int k : c.kinds) n += kinds[static_cast<std::size_t>(k)].quantity;
    left.push_back(n);
  }
  std::vector<int> kind_left;
  for (const NestKind& k : kinds) kind_left.push_back(k.quantity);
  std::vector<double> stock = stock_lengths;
  std::sort(stock.begin(), stock.end(), std::greater<double>());

  NestPlan plan;
  for (std::size_t first = 0;;) {
    while (first < left.size() && left[first] == 0) ++first;
    if (first >= left.size()) break;
    // The pattern of the next bar, for each stock length: the fullest one
    // in proportion to its stock wins, the longer stock on a tie.
    double best_ratio = -1, best_stock = 0;
    std::vector<int> best_counts;
    Units best_fill = 0;
    for (double s : stock) {
      Units capacity = ToUnits(s);
      if (size[first] > capacity) continue;
      BarSearch search(size, left, capacity, limits.nodes_per_bar);
      Units fill = search.Run(static_cast<int>(first));
      double ratio = static_cast<double>(fill) / static_cast<double>(capacity);
      if (ratio > best_ratio + 1e-12) {
        best_ratio = ratio;
        best_stock = s;
        best_counts = search.best();
        best_fill = fill;
      }
    }
    (void)best_fill;
    // The pattern is cut as often as the pieces left allow.
    int repeat = -1;
    for (std::size_t c = 0; c < left.size(); ++c)
      if (best_counts[c] > 0) {
        int r = left[c] / best_counts[c];
        repeat = repeat < 0 ? r : std::min(repeat, r);
      }
    for (int r = 0; r < repeat; ++r) {
      NestBar bar;
      bar.stock = best_stock;
      for (std::size_t c = 0; c < left.size(); ++c) {
        if (best_counts[c] == 0) continue;
        TakePieces(classes[c], best_counts[c], kind_left, kinds, &bar);
        left[c] -= best_counts[c];
      }
      plan.stock_length += bar.stock;
      plan.bars.push_back(std::move(bar));
    }
  }
  return plan;
}

// Less stock is better (with one stock length: fewer bars); on a tie,
// fewer bars.
bool Better(const NestPlan& a, const NestPlan& b) {
  if (std::fabs(a.stock_length - b.stock_length) > 1e-6) return a.stock_length < b.stock_length;
  return a.bars.size() < b.bars.size();
}

}  // namespace

NestResult Nest(const std::vector<NestKind>& kinds, const std::vector<double>& stock, double kerf,
                const NestLimits& limits) {
  NestResult result;
  if (stock.empty()) return result;
  const double longest = *std::max_element(stock.begin(), stock.end());
  if (!(longest > 0)) return result;
  const Units kerf_units = ToUnits(kerf);
  std::vector<bool> skip(kinds.size(), false);
  double total = 0, kerfs = 0;
  for (std::size_t k = 0; k < kinds.size(); ++k) {
    if (kinds[k].quantity <= 0) continue;
    if (!(kinds[k].length > 0) || ToUnits(kinds[k].length) + kerf_units > ToUnits(longest)) {
      skip[k] = true;
      result.too_long.push_back(static_cast<int>(k));
      continue;
    }
    total += kinds[k].length * kinds[k].quantity;
    kerfs += kerf * kinds[k].quantity;
  }
  std::vector<SizeClass> classes = Classes(kinds, kerf_units, skip);
  result.lower_bound = static_cast<int>(std::ceil(total / longest - 1e-9));
  result.lower_bound_kerf = static_cast<int>(std::ceil((total + kerfs) / longest - 1e-9));
  result.first_fit = FirstFitDecreasing(kinds, classes, stock, kerf_units);
  result.first_fit.pieces_length = total;
  result.plan = result.first_fit;
  // A deeper search fills each bar better, but may use up the small pieces
  // that later bars need: the plans of a few search depths are compared.
  for (std::int64_t budget : {limits.nodes_per_bar / 16, limits.nodes_per_bar / 4, limits.nodes_per_bar}) {
    NestLimits depth;
    depth.nodes_per_bar = std::max<std::int64_t>(budget, 1);
    NestPlan searched = PatternSearch(kinds, classes, stock, depth);
    searched.pieces_length = total;
    if (Better(searched, result.plan)) result.plan = std::move(searched);
  }
  // Longest pieces first on every bar.
  for (NestBar& bar : result.plan.bars)
    std::stable_sort(bar.cuts.begin(), bar.cuts.end(), [&](const auto& a, const auto& b) {
      return kinds[static_cast<std::size_t>(a.first)].length >
             kinds[static_cast<std::size_t>(b.first)].length;
    });
  return result;
}

}  // namespace dstv
