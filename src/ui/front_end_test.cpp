// The front ends that answer without a window or a terminal. Which front end
// a terminal gets is in tty_front_end_test.cpp, the windows in qt/.
#include "ui/front_end.h"

#include <string>

#include <gtest/gtest.h>

#include "base/test_support.h"
#include "ui/setup.h"
#include "ui/setup_test_util.h"

namespace {

TEST(FrontEndTest, AutoAndCancelAnswerAtOnce) {
  SetUnits({{"1", "", "22"}});
  struct Row {
    const char* choice;
    const char* name;
    int fitting, missing, sheet;  // the answers
  };
  for (const Row& r : {Row{"auto", "auto", IDOK, IDCANCEL, IDOK},
                       Row{" Cancel ", "cancel", IDCANCEL, IDCANCEL, IDCANCEL}}) {
    setenv("BARPOST_UI", r.choice, 1);
    CSetup fitting, missing;
    fitting.AddHole(Hole(0, 22));
    missing.AddHole(Hole(0, 30));
    EXPECT_STREQ(FrontEnd().Name(), r.name);
    EXPECT_EQ(&FrontEnd(), &FrontEnd());  // one object, kept
    EXPECT_EQ(fitting.DoModal(), r.fitting) << r.name;
    EXPECT_EQ(fitting.Caption(), "Setup machine %00001") << r.name;  // initialised, as shown
    EXPECT_EQ(missing.DoModal(), r.missing) << r.name;
    EXPECT_EQ(FrontEnd().RunOptionSheet(g_options, "M1"), r.sheet) << r.name;
    ::testing::internal::CaptureStderr();  // messages: a line each on standard error
    ShowMessage("Cannot create /tmp/x.MPF: No such file", MessageIcon::kError);
    ShowMessage("Check the units", MessageIcon::kWarning);
    ShowMessage("Middle remnant will be used\n", MessageIcon::kInformation);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "barpost: error: Cannot create /tmp/x.MPF: No such file\n"
              "barpost: warning: Check the units\nbarpost: Middle remnant will be used\n");
  }
  setenv("BARPOST_UI", "auto", 1);
}

#ifndef _WIN32  // under Wine the module's own windows would answer, and wait for someone
TEST(FrontEndTest, WithoutADisplayNobodyIsAsked) {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
  EXPECT_EQ(MakeGuiFrontEnd(), nullptr);  // whether or not the Qt plugin is built
  // A misspelt choice is told once, by the front end that answers instead.
  setenv("BARPOST_UI", "atuo", 1);
  ::testing::internal::CaptureStderr();
  EXPECT_STREQ(FrontEnd().Name(), "auto");
  EXPECT_STREQ(FrontEnd().Name(), "auto");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "barpost: warning: BARPOST_UI=atuo is none of gui, tty, auto and cancel; the auto "
            "front end answers instead.\n");
  setenv("BARPOST_UI", "auto", 1);
}
#endif

#ifdef BARPOST_STUB_WINDOWS
// The windows are asked for only where there is somewhere to show them: a
// display, or one of Qt's screenless platforms. A stand-in answers for the
// Qt plugin.
TEST(FrontEndTest, WindowsOnlyWhereTheyCanBeShown) {
  setenv("BARPOST_QT_PLUGIN", BARPOST_STUB_WINDOWS, 1);
  unsetenv("WAYLAND_DISPLAY");
  struct Row {
    const char* display;
    const char* platform;
    bool windows;
  };
  for (const Row& r : {Row{"", "", false}, Row{"", "xcb", false}, Row{"", " offscreen ", true},
                       Row{"", "minimal", true}, Row{":0", "", true}}) {
    setenv("DISPLAY", r.display, 1);
    setenv("QT_QPA_PLATFORM", r.platform, 1);
    std::unique_ptr<CFrontEnd> gui = MakeGuiFrontEnd();
    ASSERT_EQ(gui != nullptr, r.windows) << r.display << "|" << r.platform;
    if (!gui) continue;
    EXPECT_STREQ(gui->Name(), "gui");
    ::testing::internal::CaptureStderr();
    gui->ShowMessage("Check the units", MessageIcon::kWarning);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "windows: Check the units\n");
  }
  unsetenv("DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("BARPOST_QT_PLUGIN");
}
#endif

}  // namespace
