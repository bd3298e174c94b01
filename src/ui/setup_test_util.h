// Hole types for the tests and demos of "Setup machine".
#ifndef BARPOST_UI_SETUP_TEST_UTIL_H_
#define BARPOST_UI_SETUP_TEST_UTIL_H_

#include <cstdint>

#include "cam/cam.h"

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

#endif  // BARPOST_UI_SETUP_TEST_UTIL_H_
