#include "ui/front_end.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "base/test_support.h"
#include "config/options.h"
#include "ui/setup.h"

namespace {

class FrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* value = std::getenv("BARPOST_UI");
    had_value_ = value != nullptr;
    if (value) saved_ = value;
    SetFrontEndForTesting(nullptr);
    g_options.units.RemoveAll();
    rec_uni row;
    row.level = "1";
    row.diameter = "22";
    g_options.units.Add(row);
  }
  void TearDown() override {
    if (had_value_)
      setenv("BARPOST_UI", saved_.c_str(), 1);
    else
      unsetenv("BARPOST_UI");
    SetFrontEndForTesting(nullptr);
  }
  static void Choose(const char* value) { setenv("BARPOST_UI", value, 1); }

  bool had_value_ = false;
  std::string saved_;
};

Cam_Hole Round(double diameter) {
  Cam_Hole hole;
  hole.m_dDiameter = diameter;
  return hole;
}

TEST_F(FrontEndTest, ChosenByVariableAtEachCall) {
#ifdef _WIN32
  // The module's own windows wherever the process has a desktop, as the
  // tests under Wine do; nobody at all where it has none.
  const std::string by_default = MakeGuiFrontEnd() ? "gui" : "auto";
#else
  // No display: no windows, whether or not the Qt plugin is built.
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
  EXPECT_EQ(MakeGuiFrontEnd(), nullptr);
  const std::string by_default = "auto";
#endif
  Choose("auto");
  EXPECT_STREQ(FrontEnd().Name(), "auto");
  Choose("cancel");
  EXPECT_STREQ(FrontEnd().Name(), "cancel");
  Choose(" Cancel ");
  EXPECT_STREQ(FrontEnd().Name(), "cancel");
  unsetenv("BARPOST_UI");
  EXPECT_EQ(FrontEnd().Name(), by_default);
  Choose("gui");  // no window: the terminal, when the test runs in one
  std::string name = FrontEnd().Name();
  EXPECT_TRUE(name == by_default || name == "tty") << name;
  Choose("auto");
  EXPECT_EQ(&FrontEnd(), &FrontEnd());  // one object per kind, kept
}

#ifndef _WIN32
TEST_F(FrontEndTest, NoWindowsWithoutThePlugin) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("BARPOST_QT_PLUGIN", "/nonexistent/libbarpost_qt.so", 1);
  EXPECT_EQ(MakeGuiFrontEnd(), nullptr);
  Choose("gui");
  std::string name = FrontEnd().Name();
  EXPECT_TRUE(name == "auto" || name == "tty") << name;
  unsetenv("QT_QPA_PLATFORM");
  unsetenv("BARPOST_QT_PLUGIN");
}
#endif

TEST_F(FrontEndTest, AutoAndCancelResults) {
  CSetup fitting;
  fitting.AddHole(Round(22));
  CSetup missing;
  missing.AddHole(Round(30));

  Choose("auto");
  EXPECT_EQ(fitting.DoModal(), IDOK);
  EXPECT_EQ(fitting.Caption(), "Setup machine %00001");  // initialised
  EXPECT_EQ(missing.DoModal(), IDCANCEL);
  EXPECT_EQ(FrontEnd().RunOptionSheet(g_options, "M1"), IDOK);

  Choose("cancel");
  CSetup fresh;
  EXPECT_EQ(fresh.DoModal(), IDCANCEL);
  EXPECT_EQ(fresh.Caption(), "Setup machine %00001");
  EXPECT_EQ(fitting.DoModal(), IDCANCEL);
  EXPECT_EQ(FrontEnd().RunOptionSheet(g_options, "M1"), IDCANCEL);
}

TEST_F(FrontEndTest, MessagesGoToStandardError) {
  for (const char* kind : {"auto", "cancel"}) {
    Choose(kind);
    ::testing::internal::CaptureStderr();
    FrontEnd().ShowMessage("Cannot create /tmp/x.MPF: No such file", MessageIcon::kError);
    FrontEnd().ShowMessage("Middle remnant will be used\n", MessageIcon::kInformation);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "barpost: error: Cannot create /tmp/x.MPF: No such file\n"
              "barpost: Middle remnant will be used\n")
        << kind;
  }
}

#ifndef _WIN32  // under Wine the windows would answer, and wait for someone
TEST_F(FrontEndTest, AMisspeltChoiceIsToldOnce) {
  unsetenv("DISPLAY");  // no display: the default is the front end of nobody
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("QT_QPA_PLATFORM");
  Choose("atuo");
  ::testing::internal::CaptureStderr();
  EXPECT_STREQ(FrontEnd().Name(), "auto");
  EXPECT_STREQ(FrontEnd().Name(), "auto");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "barpost: warning: BARPOST_UI=atuo is none of gui, tty, auto and cancel; the auto "
            "front end answers instead.\n");
}
#endif

TEST_F(FrontEndTest, TestingOverride) {
  class Fake : public CFrontEnd {
   public:
    const char* Name() const override { return "fake"; }
    int RunSetup(CSetup&) override { return ++setups, IDOK; }
    int RunOptionSheet(OptionValues&, const std::string&) override { return IDCANCEL; }
    void ShowMessage(const std::string&, MessageIcon) override {}
    int setups = 0;
  } fake;
  Choose("cancel");
  SetFrontEndForTesting(&fake);
  CSetup setup;
  setup.AddHole(Round(30));
  EXPECT_EQ(setup.DoModal(), IDOK);
  EXPECT_EQ(fake.setups, 1);
  SetFrontEndForTesting(nullptr);
  EXPECT_STREQ(FrontEnd().Name(), "cancel");
}

}  // namespace
