// A DSTV part turned into a piece of the job file: its names, profile
// category and section, and the holes and marks the angle line can make,
// each hole on its level. What the line cannot make is reported.
//
// The faces of the DSTV views and the levels of the job (see doc/dstv.md):
//   angle (code L): v, the leg of the profile height, is level 0 (FL);
//                   u, the leg of the flange width, is level 1 (NL);
//                   Y on both legs is measured from the heel, as the job's Y.
//   flat (code B):  v is level 0, Y from the lower edge.
#ifndef BARPOST_DSTV_PIECE_H_
#define BARPOST_DSTV_PIECE_H_

#include <string>
#include <vector>

#include "dstv/nc1.h"

namespace dstv {

struct JobHole {
  int level = 0;
  int kind = 0;  // 0 round, 4 slot
  double d = 0;  // diameter; the width of a slot
  double x = 0, y = 0;
  double len = 0;    // slot: overall length
  double angle = 0;  // slot: degrees
  int line = 0;      // line of the DSTV file
};

struct JobMark {
  double x = 0, y = 0;
  std::string text;
  int line = 0;
};

struct JobPiece {
  std::string file;
  std::string order, drawing, phase, piece, grade, profile;
  int quantity = 1;
  char category = 0;        // 'Y' angle, 'R' flat
  double h1 = 0, h2 = 0;    // SECTION: level 0 face, level 1 face
  double length = 0;
  std::vector<JobHole> holes;
  std::vector<JobMark> marks;
  std::vector<std::string> texts;  // the header's free texts that are not empty
};

// Maps a part that ReadPart accepted. False (with an error) when the part
// is not an angle or a flat, or an element lies where no bar has it; the
// features the line does not make are reported as kNotMade and left out.
bool MapPart(const Part& part, JobPiece* piece, std::vector<Message>* messages);

// The job level of a DSTV face for a profile code, or -1 when the face is
// not one of the profile's.
int LevelOfFace(const std::string& code, char face);

}  // namespace dstv

#endif  // BARPOST_DSTV_PIECE_H_
