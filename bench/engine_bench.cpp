// Throughput of the engine on synthetic bar jobs of 1, 10 and 100 times the
// base size (10 bars, 50 piece kinds) on the example angle line ANGLE1:
//   Analysis: reading the job and building the operation list;
//   Program:  the whole job as the host runs it, "Setup machine" answered
//             by the automatic front end, the NC program written to a file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "engine/traitement.h"
#include "make_job.h"
#include "ui/front_end.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMachine = "ANGLE1";

// One section of an INI text, header included; empty when it is missing.
std::string IniSection(const std::string& text, const std::string& name) {
  std::istringstream in(text);
  std::string line, out;
  bool inside = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') inside = line == "[" + name + "]";
    if (inside) out += line + "\n";
  }
  return out;
}

// The temporary directory of this run: the machine file, the jobs and the
// programs. Removed at exit.
class Workspace {
 public:
  Workspace() {
    // "Setup machine" ends with OK when every hole type fits a unit.
    front_end_ = MakeAutoFrontEnd();
    SetFrontEndForTesting(front_end_.get());
    dir_ = fs::temp_directory_path() / ("barpost_bench_" + std::to_string(std::random_device()()));
    fs::create_directories(dir_);
    std::ifstream in(fs::path(BARPOST_SOURCE_DIR) / "examples" / "machine.ini", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string section = IniSection(text.str(), kMachine);
    if (section.empty()) {
      error_ = "examples/machine.ini has no section [ANGLE1]";
      return;
    }
    ini_ = (dir_ / "machine.ini").string();
    std::ofstream(ini_, std::ios::binary) << section;
  }
  ~Workspace() {
    SetFrontEndForTesting(nullptr);
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  const std::string& error() const { return error_; }
  const std::string& ini() const { return ini_; }
  fs::path Path(const std::string& name) const { return dir_ / name; }

  // The job file of a scale, written at its first use, and the number of
  // operations it makes.
  struct Job {
    std::string cam;
    bench::JobSize size;
    long ops = 0;
  };
  const Job& JobOf(int scale) {
    auto found = jobs_.find(scale);
    if (found != jobs_.end()) return found->second;
    Job& job = jobs_[scale];
    job.cam = (dir_ / ("bench" + std::to_string(scale) + ".cam")).string();
    std::ofstream(job.cam, std::ios::binary) << bench::MakeBarJob(scale, &job.size);
    job.ops = Analyse(job.cam);
    return job;
  }

  // Reading pass and writing pass in bar mode, nothing written: the number
  // of operations, or -1 when the job stopped at the operation limit.
  long Analyse(const std::string& cam) const {
    CTraitement job(ini_, kMachine, cam, "B1.MPF", 0, 0, 0);
    job.KeepOptionsUnsaved();
    job.ReadJob();
    job.DecideMiddleRemnant(false);
    job.BuildOperations();
    return job.Overflowed() ? -1 : job.m_aUsi.GetSize();
  }

 private:
  std::unique_ptr<CFrontEnd> front_end_;
  fs::path dir_;
  std::string ini_;
  std::string error_;
  std::map<int, Job> jobs_;
};

Workspace& TheWorkspace() {
  static Workspace workspace;
  return workspace;
}

void SetJobCounters(benchmark::State& state, const Workspace::Job& job, long total_ops) {
  state.counters["ops"] = static_cast<double>(job.ops);
  state.counters["ops/s"] =
      benchmark::Counter(static_cast<double>(total_ops), benchmark::Counter::kIsRate);
  state.counters["bars"] = job.size.bars;
  state.counters["pieces"] = static_cast<double>(job.size.pieces);
}

void BM_Analysis(benchmark::State& state) {
  Workspace& ws = TheWorkspace();
  if (!ws.error().empty()) return state.SkipWithError(ws.error().c_str());
  const Workspace::Job& job = ws.JobOf(static_cast<int>(state.range(0)));
  if (job.ops <= 0) return state.SkipWithError("the job makes no operations");

  long total = 0;
  for (auto _ : state) {
    long ops = ws.Analyse(job.cam);
    benchmark::DoNotOptimize(ops);
    if (ops != job.ops) {
      state.SkipWithError("the operation count changed between runs");
      break;
    }
    total += ops;
  }
  if (state.error_occurred()) return;
  SetJobCounters(state, job, total);
}

void BM_Program(benchmark::State& state) {
  Workspace& ws = TheWorkspace();
  if (!ws.error().empty()) return state.SkipWithError(ws.error().c_str());
  const Workspace::Job& job = ws.JobOf(static_cast<int>(state.range(0)));
  if (job.ops <= 0) return state.SkipWithError("the job makes no operations");
  const std::string nc = ws.Path("B1.MPF").string();

  long total = 0;
  for (auto _ : state) {
    CTraitement traitement(ws.ini(), kMachine, job.cam, nc, 0, 0, 0);
    if (traitement.Process() != 0) {
      state.SkipWithError("Setup machine was cancelled");
      break;
    }
    total += job.ops;
  }
  if (state.error_occurred()) return;
  std::error_code error;
  const auto bytes = fs::file_size(nc, error);
  if (error || bytes == 0) return state.SkipWithError("no program was written");
  SetJobCounters(state, job, total);
  state.counters["bytes"] = static_cast<double>(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

// Iterations fixed per scale so that the whole run stays well under a
// minute on a small machine. The rates are per second of CPU time, which a
// busy machine does not distort; the Time column is the wall clock, which
// for Program also holds the two synchronous saves of the INI file.
#define BARPOST_BENCH_SCALES(fn, n1, n10, n100)                           \
  BENCHMARK(fn)->Arg(1)->Iterations(n1)->Unit(benchmark::kMillisecond);   \
  BENCHMARK(fn)->Arg(10)->Iterations(n10)->Unit(benchmark::kMillisecond); \
  BENCHMARK(fn)->Arg(100)->Iterations(n100)->Unit(benchmark::kMillisecond)

BARPOST_BENCH_SCALES(BM_Analysis, 200, 20, 5);
BARPOST_BENCH_SCALES(BM_Program, 50, 10, 5);

}  // namespace
