// The module's Windows dialogs, driven the way a person drives them but
// through window messages: barpost.dll is loaded as a host loads it, an
// entry point shows its dialog on the test's thread, and a second thread
// finds the dialog, types into its edits and grid cells, switches pages and
// presses OK or Cancel. What counts is what lands in the INI file.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "base/test_support.h"
#include "host/barpost.h"
#include "ui/win32/resource.h"
#include "window_driver.h"

namespace fs = std::filesystem;
using namespace window_driver;

namespace {

using test_support::Slurp;

// The lines of the INI file that start with key=.
std::string Line(const std::string& ini, const std::string& key) {
  std::size_t at = ini.find("\n" + key + "=");
  if (at == std::string::npos) return "<missing " + key + ">";
  std::size_t end = ini.find_first_of("\r\n", at + 1);
  return ini.substr(at + 1, end - at - 1);
}

class Dialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = LoadLibraryA(BARPOST_MODULE_PATH);
    ASSERT_NE(module_, nullptr) << BARPOST_MODULE_PATH;
  }
  static void TearDownTestSuite() { FreeLibrary(module_); }

  void SetUp() override {
    setenv("BARPOST_UI", "gui", 1);
    dir_ = test_support::MakeTempDir("barpost_dialogs");
    ASSERT_FALSE(dir_.empty());
    const fs::path examples = fs::path(BARPOST_SOURCE_DIR) / "examples";
    fs::copy_file(examples / "machine.ini", dir_ / "machine.ini");
    fs::copy(examples / "MACRO_MK", dir_ / "MACRO_MK");
    ini_ = (dir_ / "machine.ini").string();
    before_ = Slurp(ini_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  template <typename Fn>
  Fn Entry(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  // Config_Export on this thread while drive works the sheet.
  void Configure(const std::function<void(HWND sheet)>& drive) {
    Driven(
        [&] {
          Entry<BarpostConfigFn>("Config_Export")(ini_.c_str(), "ANGLE1");
          return 0;
        },
        "Options", drive);
  }

  // Traitement of an example job on this thread while drive works "Setup
  // machine"; the entry point's result.
  int Process(const char* example, const std::string& nc,
              const std::function<void(HWND setup)>& drive) {
    const std::string job = (fs::path(BARPOST_SOURCE_DIR) / "examples" / example).string();
    return Driven(
        [&] {
          return Entry<BarpostTraitementFn>("Traitement")(ini_.c_str(), "ANGLE1", job.c_str(),
                                                           nc.c_str(), "1", "", "");
        },
        "Setup machine", drive);
  }

  static HMODULE module_;
  fs::path dir_;
  std::string ini_;
  std::string before_;
};
HMODULE Dialogs::module_ = nullptr;

TEST_F(Dialogs, OptionsOkStoresEveryPageThatWasShown) {
  Configure([](HWND sheet) {
    EXPECT_NE(FindText(sheet, "Machine: ANGLE1"), nullptr);  // the caption stays "Options"
    HWND general = CurrentPage(sheet);
    Type(general, IDC_DIRECTORY, "E:\\NC\\NEW\\");
    Type(general, IDC_MFUNC1 + 1, "m13");  // typed in capitals
    Click(general, IDC_CNC_SIEMENS + 1);     // Fagor
    // Leaving "General" stores it: the clamps of a Fagor are hidden.
    HWND offsets = ShowPage(sheet, 1);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(offsets, IDC_CLAMP_OPEN1)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(offsets, IDC_TOOLX1)));
    Type(offsets, IDC_TOOLX1 + 2, "12.5");

    // A punch typed into the empty last row; each edited last row gets a
    // successor.
    HWND punching = ShowPage(sheet, 2);
    HWND grid = GetDlgItem(punching, IDC_GRID);
    ASSERT_EQ(Rows(grid), 2);
    TypeCell(grid, 1, 0, "20");
    EXPECT_EQ(Rows(grid), 3);
    TypeCell(grid, 1, 1, "12");
    TypeCell(grid, 1, 2, "1.5");
    TypeCell(grid, 2, 0, "30");  // no tool: dropped at OK
    EXPECT_EQ(CellText(grid, 0, 0), "26.000");

    // An oblong tool: the row's picture follows what is typed.
    HWND nibbling = ShowPage(sheet, 3);
    grid = GetDlgItem(nibbling, IDC_GRID);
    ASSERT_EQ(Rows(grid), 3);
    EXPECT_EQ(CellImage(grid, 1, 0), 2);  // the oblong tool of the file
    TypeCell(grid, 2, 1, "12");
    EXPECT_EQ(CellImage(grid, 2, 0), 0);  // round while it has no length
    TypeCell(grid, 2, 2, "40");
    EXPECT_EQ(CellImage(grid, 2, 0), 2);
    Type(nibbling, IDC_ROUGHNESS, "3");
    PressButton(sheet, PSBTN_OK);
  });
  const std::string after = Slurp(ini_);
  EXPECT_EQ(Line(after, "Dir"), "Dir=E:\\NC\\NEW\\");
  EXPECT_EQ(Line(after, "Unite2"), "Unite2=1,Y2,M13,,18");
  EXPECT_EQ(Line(after, "Cnc"), "Cnc=1");
  EXPECT_EQ(Line(after, "Off_X3"), "Off_X3=12.5");
  EXPECT_EQ(Line(after, "Poincon0"), "Poincon0=20.000,12.000,1.500,");
  EXPECT_EQ(Line(after, "Poincon1"), "Poincon1=26.000,22.000,4.000,");
  EXPECT_EQ(Line(after, "Poincon2"), "Poincon2=");
  EXPECT_EQ(Line(after, "Outil2"), "Outil2=4,12.00,40.00,0.00");
  EXPECT_EQ(Line(after, "Rugosite"), "Rugosite=3");
}

TEST_F(Dialogs, OptionsCancelLeavesTheFileAsItWas) {
  Configure([](HWND sheet) {
    Type(CurrentPage(sheet), IDC_DIRECTORY, "E:\\ELSEWHERE\\");
    ShowPage(sheet, 6);
    PressButton(sheet, PSBTN_CANCEL);
  });
  EXPECT_EQ(Slurp(ini_), before_);
}

TEST_F(Dialogs, ProfilesRefuseAnOriginThatIsNoInteger) {
  constexpr int kA = 0, kY = 9;  // categories: A is off in the example, Y on
  Configure([](HWND sheet) {
    HWND profiles = ShowPage(sheet, 6);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(profiles, IDC_PROFILE_ORIGIN1 + kA)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(profiles, IDC_PROFILE_ORIGIN1 + kY)));
    Click(profiles, IDC_PROFILE_ENABLED1 + kA);  // a row is usable once its category is on
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(profiles, IDC_PROFILE_ORIGIN1 + kA)));
    Type(profiles, IDC_PROFILE_ORIGIN1 + kY, "x");
    PressButton(sheet, PSBTN_OK);
    // The system's message, and the sheet stays.
    HWND box = WaitForWindow("Options", sheet);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(FindText(box, "Please enter an integer."), nullptr) << AllText(box);
    PressDialogButton(box, IDOK);
    Sleep(200);
    ASSERT_TRUE(IsWindow(sheet));
    Type(profiles, IDC_PROFILE_ORIGIN1 + kY, "7");
    Click(profiles, IDC_PROFILE_DEFAULT1 + 4 * kY + 3);  // Y: default rotation
    PressButton(sheet, PSBTN_OK);
  });
  const std::string after = Slurp(ini_);
  EXPECT_EQ(Line(after, "Categ"), "Categ=ONNNNNNNNONNNNNNNNNO");
  EXPECT_EQ(Line(after, "OrgDef"), "OrgDef=44114121171444111424");
  EXPECT_EQ(Line(after, "Defaut"), "Defaut=000000000R0000000000");
}

TEST_F(Dialogs, MarkingDetailsFollowTheAutomaticMarking) {
  Configure([](HWND sheet) {
    HWND marking = ShowPage(sheet, 5);
    Type(marking, IDC_MARK_COD, "");
    Click(marking, IDC_MARK_AUTO);  // stores the page: no tool code, nothing enabled
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(marking, IDC_MARK_CONTRACT)));
    Type(marking, IDC_MARK_COD, "T5");
    Click(marking, IDC_MARK_LEVEL0 + 1);
    bool automatic = SendDlgItemMessageA(marking, IDC_MARK_AUTO, BM_GETCHECK, 0, 0) == BST_CHECKED;
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(marking, IDC_MARK_CONTRACT)) != FALSE, automatic);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(marking, IDC_MARK_X)) != FALSE, automatic);
    PressButton(sheet, PSBTN_OK);
  });
  const std::string after = Slurp(ini_);
  EXPECT_EQ(Line(after, "Mark_Cod"), "Mark_Cod=T5");
  EXPECT_EQ(Line(after, "Mark_Niv"), "Mark_Niv=1");
}

TEST_F(Dialogs, SetupMachineOkOnlyWhenEveryHoleFits) {
  const std::string nc = (dir_ / "B1.MPF").string();
  int result = Process("job-missing-hole.cam", nc, [](HWND setup) {
    EXPECT_EQ(WindowText(setup), "Setup machine %00001");
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_SETUP_STATUS)), "Metrique");
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_SETUP_LEVEL1 + 3)), "NL");
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_SETUP_UNIT2 + 4)), "M17");
    // Hole types in the order the job needs them: 22 on both levels, 14.
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_PROGRAM_LEVEL1 + 1)), "NL");
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_PROGRAM_SIZE1 + 2)), "14");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(setup, IDOK)));
    // Why, in words as well as colours.
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_PROGRAM_FIT1 + 2)), "no unit");
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_SETUP_SUMMARY)).rfind("1 of 3 hole types", 0),
              0u);
    Type(setup, IDC_SETUP_SIZE1 + 1, "14");  // unit 2, first level
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(setup, IDOK)));
    EXPECT_EQ(WindowText(GetDlgItem(setup, IDC_PROGRAM_FIT1 + 2)), "fits");
    PressDialogButton(setup, IDOK);
    // On the 840Di the short remnant of this bar stays in the middle.
    if (HWND box = WaitForWindow("barpost", setup, 3000)) {
      EXPECT_NE(AllText(box).find("Middle remnant will be used"), std::string::npos);
      PressDialogButton(box, IDOK);
    }
  });
  EXPECT_EQ(result, BARPOST_OK);
  EXPECT_TRUE(fs::is_regular_file(nc));
  EXPECT_EQ(Line(Slurp(ini_), "Unite2"), "Unite2=1,Y2,13,,14");
}

TEST_F(Dialogs, SetupMachineCancelledWritesNoProgram) {
  const std::string nc = (dir_ / "B1.MPF").string();
  int result = Process("job.cam", nc, [](HWND setup) {
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(setup, IDOK)));
    PressDialogButton(setup, IDCANCEL);
  });
  EXPECT_EQ(result, BARPOST_SETUP_CANCELLED);
  EXPECT_FALSE(fs::exists(nc));
}

TEST_F(Dialogs, AProgramThatCannotBeWrittenIsAMessageBox) {
  const std::string nc = (dir_ / "none" / "B1.MPF").string();
  std::string text;
  Process("job.cam", nc, [&](HWND setup) {
    PressDialogButton(setup, IDOK);
    HWND box = WaitForWindow("barpost");
    ASSERT_NE(box, nullptr);
    text = AllText(box);
    PressDialogButton(box, IDOK);
  });
  EXPECT_NE(text.find(nc), std::string::npos) << text;
  EXPECT_FALSE(fs::exists(nc));
}

}  // namespace
