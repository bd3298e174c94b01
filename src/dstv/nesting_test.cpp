#include "dstv/nesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace dstv {
namespace {

// Every piece once, no bar over its stock, the stock one of those given.
void ExpectValid(const std::vector<NestKind>& kinds, const std::vector<double>& stock, double kerf,
                 const NestPlan& plan) {
  std::vector<int> placed(kinds.size(), 0);
  for (const NestBar& bar : plan.bars) {
    double used = 0;
    for (const auto& [k, n] : bar.cuts) {
      placed[static_cast<std::size_t>(k)] += n;
      used += n * (kinds[static_cast<std::size_t>(k)].length + kerf);
    }
    EXPECT_LE(used, bar.stock + 1e-6);
    EXPECT_NE(std::find(stock.begin(), stock.end(), bar.stock), stock.end());
  }
  for (std::size_t k = 0; k < kinds.size(); ++k) EXPECT_EQ(placed[k], kinds[k].quantity) << k;
}

TEST(Nesting, SmallJobs) {
  // First-fit decreasing puts 50 and 40 together and needs a third bar; the
  // search finds 50+25+25 and 40+30+30.
  std::vector<NestKind> kinds = {{50, 1}, {40, 1}, {30, 2}, {25, 2}};
  NestResult r = Nest(kinds, {100}, 0);
  EXPECT_EQ(r.first_fit.bars.size(), 3u);
  EXPECT_EQ(r.plan.bars.size(), 2u);
  EXPECT_EQ(r.lower_bound, 2);
  EXPECT_DOUBLE_EQ(r.plan.Yield(), 1.0);
  ExpectValid(kinds, {100}, 0, r.plan);
  // The kerf follows every piece.
  EXPECT_EQ(Nest({{1000, 3}}, {3014.99}, 5).plan.bars.size(), 2u);
  EXPECT_EQ(Nest({{1000, 3}}, {3015}, 5).plan.bars.size(), 1u);
  r = Nest({{1000, 3}}, {3010}, 5);
  EXPECT_EQ(r.lower_bound * 10 + r.lower_bound_kerf, 12);  // 1 bar, 2 with the kerfs
  // Two pieces of 2997 and their kerfs fill a 6000 bar, the piece of 1497 a
  // 1500 bar; one 12000 bar would hold all three, with 4500 to waste.
  kinds = {{2997, 2}, {1497, 1}};
  r = Nest(kinds, {6000, 12000, 1500}, 3);
  ExpectValid(kinds, {6000, 12000, 1500}, 3, r.plan);
  ASSERT_EQ(r.plan.bars.size(), 2u);
  EXPECT_EQ(r.plan.bars[0].stock, 6000);
  EXPECT_EQ(r.plan.bars[1].stock, 1500);
  EXPECT_DOUBLE_EQ(r.plan.stock_length, 7500);
  // Pieces longer than every bar are left out.
  r = Nest({{5999, 1}, {6001, 2}, {3000, 1}}, {6000}, 2);
  EXPECT_EQ(r.too_long, (std::vector<int>{0, 1}));
  EXPECT_EQ(r.plan.bars.at(0).cuts, (std::vector<std::pair<int, int>>{{2, 1}}));
}

TEST(Nesting, RandomJobsAreValidAboveTheBoundAndUseNoMoreStockThanFirstFit) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<NestKind> kinds(5 + rng() % 60);
    for (NestKind& k : kinds)
      k = {static_cast<double>(200 + rng() % 5800) + (rng() % 100) / 100.0, 1 + static_cast<int>(rng() % 6)};
    const std::vector<double> stock = round % 2 ? std::vector<double>{12000} : std::vector<double>{6000, 9000, 12000};
    NestResult r = Nest(kinds, stock, 3);
    ExpectValid(kinds, stock, 3, r.plan);
    ExpectValid(kinds, stock, 3, r.first_fit);
    EXPECT_GE(static_cast<int>(r.plan.bars.size()), r.lower_bound);
    EXPECT_LE(r.plan.stock_length, r.first_fit.stock_length);
    EXPECT_TRUE(stock.size() > 1 || r.plan.bars.size() <= r.first_fit.bars.size());
  }
}

}  // namespace
}  // namespace dstv
