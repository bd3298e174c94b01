// A host keeps the module loaded all day: one loaded module runs the example
// job a thousand times in a row. Every program must be the same, the INI
// file must settle after the first job, and the memory the process holds
// must not grow once the first jobs have warmed the caches up.
#include <gtest/gtest.h>
#include <malloc.h>
#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <functional>
#include <thread>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/platform.h"
#include "base/test_support.h"
#include "child_process.h"
#include "host/barpost.h"

namespace fs = std::filesystem;

namespace {

using test_support::Slurp;

// Resident memory of this process, in kilobytes.
long ResidentKb() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return 0;
  return static_cast<long>(memory.WorkingSetSize / 1024);
#else
  long size = 0, resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = 0;
  std::fclose(f);
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
#endif
}

// Bytes the allocator has handed out and not yet got back.
long InUseBytes() {
#if defined(_WIN32)
  // The C runtime's heap, block by block.
  long used = 0;
  _HEAPINFO entry{};
  while (_heapwalk(&entry) == _HEAPOK)
    if (entry._useflag == _USEDENTRY) used += static_cast<long>(entry._size);
  return used;
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
  return static_cast<long>(mallinfo2().uordblks);
#else
  return 0;
#endif
}

TEST(LongRun, AThousandJobsInOneLoadedModule) {
  // LeakSanitizer checks the sanitizer build at exit; there the jobs are
  // several times slower, so fewer of them run.
  const int jobs = hardening::UnderSanitizer() ? 100 : 1000;
  const int warm_up = jobs / 10;

  std::string error;
  void* module = platform::LoadModule(BARPOST_MODULE_PATH, &error);
  ASSERT_NE(module, nullptr) << error;
  auto traitement =
      reinterpret_cast<BarpostTraitementFn>(platform::ModuleSymbol(module, "Traitement"));
  ASSERT_NE(traitement, nullptr);
  setenv("BARPOST_UI", "auto", 1);

  const fs::path dir = test_support::MakeTempDir("barpost_long_run");
  const fs::path examples = fs::path(BARPOST_SOURCE_DIR) / "examples";
  fs::copy_file(examples / "machine.ini", dir / "machine.ini");
  const std::string ini = (dir / "machine.ini").string();
  const std::string cam = (examples / "job.cam").string();
  const std::string nc = (dir / "B1.MPF").string();

  std::string first_program, first_ini;
  long rss_after_warm_up = 0, in_use_after_warm_up = 0;
  for (int i = 0; i < jobs; ++i) {
    ASSERT_EQ(traitement(ini.c_str(), "ANGLE1", cam.c_str(), nc.c_str(), "1", "", ""), 0)
        << "job " << i;
    std::string program = Slurp(nc);
    std::string options = Slurp(ini);
    if (i == 0) {
      first_program = program;
      first_ini = options;
      ASSERT_GT(program.size(), 1000u);
    } else {
      ASSERT_EQ(program, first_program) << "job " << i << " wrote another program";
      ASSERT_EQ(options, first_ini) << "job " << i << " changed the INI file";
    }
    if (i == warm_up) {
      rss_after_warm_up = ResidentKb();
      in_use_after_warm_up = InUseBytes();
    }
  }
  const long rss_growth = ResidentKb() - rss_after_warm_up;
  const long in_use_growth = InUseBytes() - in_use_after_warm_up;
  std::printf("%d jobs; after the warm-up RSS grew %ld kB, memory in use %ld bytes\n", jobs,
              rss_growth, in_use_growth);
  if (!hardening::UnderSanitizer()) {
    // A leak of even one small string per job would show in the bytes in use.
    EXPECT_LT(in_use_growth, 64 * 1024);
    EXPECT_LT(rss_growth, 1024);
  }

  platform::UnloadModule(module);
  fs::remove_all(dir);
}

// A host with several threads calls the module from two of them at once, for
// two lines with two INI files. Each call must get its own machine's program
// and leave its own INI file as a call alone would.
TEST(LongRun, TwoHostThreadsAtOnce) {
  std::string error;
  void* module = platform::LoadModule(BARPOST_MODULE_PATH, &error);
  ASSERT_NE(module, nullptr) << error;
  auto traitement =
      reinterpret_cast<BarpostTraitementFn>(platform::ModuleSymbol(module, "Traitement"));
  setenv("BARPOST_UI", "auto", 1);
  const fs::path dir = test_support::MakeTempDir("barpost_threads");
  const fs::path examples = fs::path(BARPOST_SOURCE_DIR) / "examples";
  struct Line {
    const char* machine;
    const char* job;
    fs::path folder;
    std::string program, ini;  // what one call alone leaves
  };
  Line lines[] = {{"ANGLE1", "job.cam", dir / "one", "", ""},
                  {"ANGLE2", "job-inch.cam", dir / "two", "", ""}};
  auto run = [&](const Line& line) {
    const std::string ini = (line.folder / "machine.ini").string();
    const std::string cam = (examples / line.job).string();
    const std::string nc = (line.folder / "B1.MPF").string();
    return traitement(ini.c_str(), line.machine, cam.c_str(), nc.c_str(), "1", "", "");
  };
  for (Line& line : lines) {
    fs::create_directories(line.folder);
    fs::copy(examples / "machine.ini", line.folder / "machine.ini");
    fs::copy(examples / "MACRO_MK", line.folder / "MACRO_MK");
    ASSERT_EQ(run(line), 0);
    line.program = Slurp(line.folder / "B1.MPF");
    line.ini = Slurp(line.folder / "machine.ini");
  }
  ASSERT_NE(lines[0].program, lines[1].program);

  const int calls = hardening::UnderSanitizer() ? 20 : 60;
  std::atomic<int> wrong{0};
  auto host_thread = [&](const Line& line) {
    for (int i = 0; i < calls; ++i) {
      if (run(line) != 0 || Slurp(line.folder / "B1.MPF") != line.program ||
          Slurp(line.folder / "machine.ini") != line.ini)
        ++wrong;
    }
  };
  std::thread a(host_thread, std::cref(lines[0])), b(host_thread, std::cref(lines[1]));
  a.join();
  b.join();
  EXPECT_EQ(wrong.load(), 0) << "calls that wrote another machine's program or options";
  platform::UnloadModule(module);
  fs::remove_all(dir);
}

}  // namespace
