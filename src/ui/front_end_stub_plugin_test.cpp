// A stand-in for the Qt windows plugin, so that a build without Qt can test
// when the module asks for its windows: every dialog answers OK at once and
// each message goes to standard error as "windows: TEXT".
#include <cstdio>

#include "ui/qt/window_plugin.h"

namespace {

class StubWindows : public CWindowFrontEnd {
 public:
  int RunSetup(CSetupView&) override { return IDOK; }
  int RunOptionSheet(OptionValues&, const std::string&, const COptionRules&) override { return IDOK; }
  void ShowMessage(const std::string& text, MessageIcon) override {
    std::fprintf(stderr, "windows: %s\n", text.c_str());
  }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) CWindowFrontEnd* barpost_make_qt_front_end(
    int version) {
  return version == kWindowPluginVersion ? new StubWindows : nullptr;  // the module owns it
}
