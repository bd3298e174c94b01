// The text that differs from one control to the next: comment syntax, the
// units and referencing preamble, the block of each operation, clamp moves
// and the program end. One writer class per control behind one interface;
// the control is chosen once, by MakeNcControl.
#ifndef BARPOST_OUTPUT_NC_CONTROL_H_
#define BARPOST_OUTPUT_NC_CONTROL_H_

#include <memory>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "engine/usi.h"
#include "output/marking_macro.h"
#include "output/nc_program.h"
#include "output/nc_text.h"

// Everything a control writer reads, gathered once per program.
struct NcContext {
  NcText& nc;
  const NcProgram& program;
  const OptionValues& options;
  MacroLibrary& macros;
};

class NcControl {
 public:
  explicit NcControl(const NcContext& ctx) : ctx_(ctx) {}
  virtual ~NcControl() = default;
  NcControl(const NcControl&) = delete;
  NcControl& operator=(const NcControl&) = delete;

  // The line before the comment block (the Fagor program number).
  virtual void FirstLine() {}
  virtual void Comment(std::string_view text) = 0;
  // Whether the header carries the "Lead End" and "Trail End" comments.
  virtual bool WritesBarEnds() const { return true; }
  // Units, tools and referencing, after the comment block.
  virtual void Preamble() = 0;
  // Before each operation's block: the middle remnant and the clamps.
  virtual void BeforeOperation(const UsiRecord&) {}
  virtual void Cut(const UsiRecord& u) = 0;
  virtual void Hole(const UsiRecord& u) = 0;
  virtual void Mark(const UsiRecord& u) = 0;
  // After the last operation; last_x is the machine X of the last one.
  virtual void End(double last_x) = 0;

 protected:
  NcText& nc() { return ctx_.nc; }
  const NcProgram& program() const { return ctx_.program; }
  const OptionValues& options() const { return ctx_.options; }
  MacroLibrary& macros() { return ctx_.macros; }

 private:
  NcContext ctx_;
};

// The unit rows that the header lists: as many rows as there are units in
// use (level not empty), taken from the top of the table whichever rows
// those are, so an unused row among them is listed and a used one below
// them is not. At most six.
std::vector<const rec_uni*> ListedUnitRows(const OptionValues& options);

// The writer of option Cnc: 0 Siemens 840Di, 2 Ocean Clipper, 1 and any
// other value Fagor (the value the comment syntax has always fallen back to).
// Sets the line numbering of ctx.nc for that control.
std::unique_ptr<NcControl> MakeNcControl(const NcContext& ctx);

#endif  // BARPOST_OUTPUT_NC_CONTROL_H_
