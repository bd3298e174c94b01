// Hole types and unit rows for the tests and demos of "Setup machine".
#ifndef BARPOST_UI_SETUP_TEST_UTIL_H_
#define BARPOST_UI_SETUP_TEST_UTIL_H_

#include <cstdint>
#include <vector>

#include "cam/cam.h"
#include "config/options.h"

// A hole of the given level and diameter; for a slot (kind 4) its length
// and angle.
inline Cam_Hole Hole(int level, double diameter, int kind = 0, double length = 0,
                     double angle = 0) {
  Cam_Hole hole;
  hole.m_nLevel = static_cast<int16_t>(level);
  hole.m_dDiameter = diameter;
  hole.m_nKind = kind;
  hole.m_dLength = length;
  hole.m_dAngle = angle;
  return hole;
}

// The unit rows of g_options, padded to six: level, M function, size.
struct UnitText {
  const char *level, *mfunc, *size;
};
inline void SetUnits(const std::vector<UnitText>& units) {
  g_options.units.RemoveAll();
  for (const UnitText& u : units) g_options.units.Add(rec_uni{u.level, "", u.mfunc, "", u.size});
  while (g_options.units.GetSize() < 6) g_options.units.Add(rec_uni{});
}

#endif  // BARPOST_UI_SETUP_TEST_UTIL_H_
