// barpost_win32_screenshots DIR: each Windows dialog and each page of the
// "Options" sheet as the screen shows it, for the documentation. Nothing is
// changed: every dialog ends with Cancel (the message box with OK).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/test_support.h"
#include "host/barpost.h"
#include "ui/win32/resource.h"
#include "window_driver.h"  // tests/win32: drives the dialogs by messages

namespace fs = std::filesystem;
using namespace window_driver;

namespace {

bool g_ok = true;

void Save(HWND window, const std::string& dir, const char* name) {
  Sleep(400);  // painted, and the focus band of "Profiles" drawn
  std::string path = dir + "/windows-" + name + ".png";
  if (!SaveWindowPicture(window, path)) {
    std::fprintf(stderr, "could not save %s\n", path.c_str());
    g_ok = false;
  } else {
    std::printf("%s\n", path.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: barpost_win32_screenshots DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  setenv("BARPOST_UI", "gui", 1);
  HMODULE module = LoadLibraryA(BARPOST_MODULE_PATH);
  if (!module) return 1;
  auto traitement = reinterpret_cast<BarpostTraitementFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "Traitement")));
  auto config = reinterpret_cast<BarpostConfigFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "Config_Export")));
  const fs::path work = test_support::MakeTempDir("barpost_screenshots");
  const fs::path examples = fs::path(BARPOST_SOURCE_DIR) / "examples";
  fs::copy_file(examples / "machine.ini", work / "machine.ini");
  fs::copy(examples / "MACRO_MK", work / "MACRO_MK");
  const std::string ini = (work / "machine.ini").string();

  Driven(
      [&] {
        config(ini.c_str(), "ANGLE1");
        return 0;
      },
      "Options", [&](HWND sheet) {
        const char* names[] = {"general", "offsets", "punching", "nibbling",
                               "nesting", "marking", "profiles"};
        for (int page = 0; page < 7; ++page) {
          HWND shown = ShowPage(sheet, page);
          if (page == 6) {
            // The focus on the origin of category Y: its column and row banded.
            SendMessageA(shown, WM_NEXTDLGCTL,
                         reinterpret_cast<WPARAM>(GetDlgItem(shown, IDC_PROFILE_ORIGIN1 + 9)), TRUE);
          }
          Save(sheet, dir, (std::string("options-") + names[page]).c_str());
        }
        PressButton(sheet, PSBTN_CANCEL);
      });

  // A job that needs a 14 hole no unit carries: one red row, OK disabled.
  const std::string missing = (examples / "job-missing-hole.cam").string();
  const std::string nc = (work / "B1.MPF").string();
  Driven([&] { return traitement(ini.c_str(), "ANGLE1", missing.c_str(), nc.c_str(), "1", "", ""); },
         "Setup machine", [&](HWND setup) {
           Save(setup, dir, "setup-machine");
           PressDialogButton(setup, IDCANCEL);
         });

  // A program that cannot be written: the system's reason in a message box.
  const std::string job = (examples / "job.cam").string();
  const std::string nowhere = (work / "none" / "B1.MPF").string();
  Driven([&] { return traitement(ini.c_str(), "ANGLE1", job.c_str(), nowhere.c_str(), "1", "", ""); },
         "Setup machine", [&](HWND setup) {
           PressDialogButton(setup, IDOK);
           HWND box = WaitForWindow("barpost");
           if (!box) {
             g_ok = false;
             return;
           }
           Save(box, dir, "message-error");
           PressDialogButton(box, IDOK);
         });
  FreeLibrary(module);
  std::error_code ec;
  fs::remove_all(work, ec);
  return g_ok ? 0 : 1;
}
