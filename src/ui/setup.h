// "Setup machine": the hole types a job needs against the sizes mounted on
// the six punching units. This is the dialog's data and rules; front ends
// draw it and hand edits back.
#ifndef BARPOST_UI_SETUP_H_
#define BARPOST_UI_SETUP_H_

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/array.h"
#include "cam/cam.h"

// A unit size text: "22" for a round punch, "22X60-45" for a slot punch
// (width, length, angle; "-0" when the angle part is missing).
struct UnitSize {
  double width = 0;
  double length = 0;
  double angle = 0;
};
// Lengths are read with the reader's TextToVal, in the reader's unit.
// Blanks around the text are ignored; a lower-case "x" counts as "X". The
// angle part starts at the first "-" behind the "X" (behind the start of the
// text when there is no "X"), so "22X60--30" has the angle -30. A text with
// a "-" only in front of its "X" has the angle 0. An empty text is all 0.
UnitSize ParseUnitSize(const std::string& text, const CCam& reader);

// A slot's direction brought into [0, 180) by half turns: -30 gives 150,
// 180 gives 0. A direction that is not finite gives 0.
double HalfTurnAngle(double angle);

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

class CSetup {
 public:
  static constexpr int kUnits = 6;

  // The "Setup" rows: one per punching unit.
  struct UnitRow {
    std::string level = "*";  // "FL", "NL" or empty; "*" until initialised
    std::string unit = "*";   // "M" and the M function, or "*"
    bool size_visible = true; // the size edit is hidden for a row without level
  };
  // The "Program" rows: one per distinct hole type.
  struct ProgramRow {
    std::string level;  // "FL" for level 0, "NL" for level 1
    std::string size;   // "22" or "22X60-45"
    bool fitting = false;
    std::string fit;    // the same in a word: "fits" or "no unit"
    Rgb text, background;
  };

  // Hole list (filled during the reading pass). Keeps one hole per hole
  // type, in the order of first appearance; see AddHole in setup.cpp.
  void AddHole(Cam_Hole hole);
  void ClearHoles();
  const CArray<Cam_Hole>& Holes() const { return m_aHoles; }

  // The job's unit: 0 millimetres, 1 inches.
  int m_nUnit = 0;

  // Runs the dialog through the front end; IDOK or IDCANCEL.
  int DoModal();

  // Dialog handlers.
  void Initialise();
  void Refresh();

  // The size edits are bound to g_options.units[i].diameter.
  const std::string& SizeText(int unit) const;
  void SetSizeText(int unit, const std::string& text);  // then Refresh()

  const std::string& Caption() const { return m_sCaption; }
  const std::string& Status() const { return m_sStatus; }
  const UnitRow& Unit(int i) const { return m_units[i]; }
  const std::vector<ProgramRow>& Program() const { return m_program; }
  bool OkEnabled() const { return m_bOkEnabled; }
  // Number of "Program" rows that no unit serves (0 when OK is enabled).
  int NotFittingCount() const;
  // One line under the lists that says why OK is disabled: how many hole
  // types fit no unit, and the first of them by level and size ("2 of 5 hole
  // types fit no unit: FL 14, NL 18 (mounted on FL only)."). Set by Refresh.
  const std::string& Summary() const { return m_sSummary; }

 private:
  // The fields that make two holes the same hole type.
  struct HoleKey {
    int kind;
    int level;
    double diameter, length, angle, angle2, shape, y;
    bool operator==(const HoleKey&) const = default;  // exact comparisons
  };
  struct HoleKeyHash {
    std::size_t operator()(const HoleKey& key) const;
  };

  CArray<Cam_Hole> m_aHoles;
  std::unordered_set<HoleKey, HoleKeyHash> m_holeTypes;  // keys of m_aHoles
  CCam m_reader;  // for TextToVal and ValToText only
  std::string m_sCaption = "Setup machine";
  std::string m_sStatus;
  std::string m_sSummary;
  UnitRow m_units[kUnits];
  std::vector<ProgramRow> m_program;
  bool m_bOkEnabled = true;
};

#endif  // BARPOST_UI_SETUP_H_
