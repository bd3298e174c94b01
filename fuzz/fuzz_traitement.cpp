// Fuzz target: a whole job through the Traitement entry point. The input is
// a job file and an INI file separated by a line "--INI--"; the section is
// the first one the INI text names. "Setup machine" and the messages are
// answered by the auto front end; the files live in a private temporary
// folder with a copy of two Signoscript macros.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/test_support.h"
#include "host/barpost.h"

namespace {

constexpr std::string_view kSeparator = "\n--INI--\n";

std::string g_dir;

void WriteFile(const std::string& path, std::string_view text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// The first "[name]" of the INI text, else "M".
std::string FirstSection(std::string_view ini) {
  std::size_t open = ini.find('[');
  while (open != std::string_view::npos) {
    std::size_t close = ini.find_first_of("]\r\n", open + 1);
    if (close != std::string_view::npos && ini[close] == ']' && close > open + 1)
      return std::string(ini.substr(open + 1, close - open - 1));
    open = ini.find('[', open + 1);
  }
  return "M";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("BARPOST_UI", "auto", 1);
  g_dir = test_support::MakeTempDir("barpost_fuzz").string();
  if (g_dir.empty()) std::abort();
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(g_dir, ignored);
  });
  std::filesystem::create_directory(g_dir + "/MACRO_MK");
  WriteFile(g_dir + "/MACRO_MK/A.MAC", "LEAD:        0   0\r\nCUT:        35   100\r\nCUT:        70   0\r\n");
  WriteFile(g_dir + "/MACRO_MK/1.MAC", "LEAD:       35   0\r\nCUT:        35   100\r\n");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (g_dir.empty()) LLVMFuzzerInitialize(nullptr, nullptr);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t cut = input.find(kSeparator);
  std::string_view job = input.substr(0, cut);
  std::string_view ini =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + kSeparator.size());

  const std::string camPath = g_dir + "/job.cam";
  const std::string iniPath = g_dir + "/machine.ini";
  // Programs of bars for inputs of even length, of pieces otherwise.
  const std::string ncPath = g_dir + (size % 2 == 0 ? "/B1.MPF" : "/P1.MPF");
  WriteFile(camPath, job);
  WriteFile(iniPath, ini);
  const std::string machine = FirstSection(ini);
  Traitement(iniPath.c_str(), machine.c_str(), camPath.c_str(), ncPath.c_str(), "1", "", "");
  std::remove(ncPath.c_str());
  return 0;
}
