// Shows a "Setup machine" dialog with a few hole types on the front end that
// BARPOST_UI chooses, then prints the result and the unit sizes. Usage:
//   BARPOST_UI=tty setup_tty_demo [number of extra hole types [messages]]
// With a second argument the option sheet and two message boxes follow.
#include <cstdio>
#include <cstdlib>

#include "config/options.h"
#include "ui/front_end.h"
#include "ui/setup.h"
#include "ui/setup_test_util.h"

namespace {

void SetUnit(int i, const char* level, const char* mfunc, const char* size) {
  rec_uni& row = g_options.units[i];
  row.level = level;
  row.axis = "Y" + std::to_string(i + 1);
  row.mfunc = mfunc;
  row.diameter = size;
}

}  // namespace

int main(int argc, char** argv) {
  g_options.units.RemoveAll();
  for (int i = 0; i < CSetup::kUnits; ++i) g_options.units.Add(rec_uni{});
  SetUnit(0, "1", "12", "18");
  SetUnit(1, "1", "13", "26");
  SetUnit(2, "2", "14", "22X60-45");
  SetUnit(3, "2", "15", "");
  SetUnit(4, "", "", "");
  SetUnit(5, "1", "0", "13.5");

  CSetup setup;
  setup.AddHole(Hole(0, 18));
  setup.AddHole(Hole(0, 22));
  setup.AddHole(Hole(1, 22, 4, 60, -135));
  setup.AddHole(Hole(1, 22));
  setup.AddHole(Hole(0, 13.5));
  int extra = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int i = 0; i < extra; ++i) setup.AddHole(Hole(i % 2, 30 + i));

  int result = setup.DoModal();
  std::printf("front end %s: %s\n", FrontEnd().Name(), result == IDOK ? "IDOK" : "IDCANCEL");
  for (int i = 0; i < CSetup::kUnits; ++i)
    std::printf("unit %d: \"%s\"\n", i + 1, setup.SizeText(i).c_str());
  if (argc > 2) {
    std::printf("option sheet: %s\n",
                FrontEnd().RunOptionSheet(g_options, "DEMO") == IDOK ? "IDOK" : "IDCANCEL");
    ShowMessage("Middle remnant will be used", MessageIcon::kInformation);
    ShowMessage("Cannot create /tmp/none/P1.MPF: No such file or directory",
                           MessageIcon::kError);
    std::printf("messages shown\n");
  }
  return 0;
}
