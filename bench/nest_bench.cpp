// Nesting 1,000 piece kinds (about 3,500 angles from 1.5 to 6 m) onto 12 m
// bars with a 3 mm kerf: the bars used against the lower bound (total length
// / bar length, rounded up) and against first-fit decreasing, the yield, and
// the time. Nest: the nesting alone; Import: the whole import from the DSTV
// texts to the job text.
#include <benchmark/benchmark.h>

#include "dstv/import.h"
#include "make_dstv.h"

namespace {

constexpr int kKinds = 1000;

void Counters(benchmark::State& state, const dstv::NestResult& r) {
  state.counters["bars"] = static_cast<double>(r.plan.bars.size());
  state.counters["lower_bound"] = r.lower_bound;
  state.counters["bound_kerf"] = r.lower_bound_kerf;
  state.counters["ffd_bars"] = static_cast<double>(r.first_fit.bars.size());
  state.counters["yield_pct"] = 100 * r.plan.Yield();
  state.counters["ffd_yield_pct"] = 100 * r.first_fit.Yield();
}

void BM_Nest(benchmark::State& state) {
  std::vector<dstv::NestKind> kinds;
  for (const bench::DstvFile& f : bench::MakeDstvFiles(kKinds)) kinds.push_back({f.length, f.quantity});
  dstv::NestResult r;
  for (auto _ : state) {
    r = dstv::Nest(kinds, {12000}, 3);
    benchmark::DoNotOptimize(r.plan.bars.data());
  }
  Counters(state, r);
}
BENCHMARK(BM_Nest)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
  std::vector<dstv::SourceFile> files;
  for (const bench::DstvFile& f : bench::MakeDstvFiles(kKinds)) files.push_back({f.name, f.text});
  dstv::ImportOptions options;
  options.bar_lengths = {12000};
  options.kerf = 3;
  dstv::ImportResult r;
  for (auto _ : state) {
    r = dstv::Import(files, options);
    benchmark::DoNotOptimize(r.job.data());
  }
  Counters(state, r.groups.at(0).nest);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

}  // namespace
