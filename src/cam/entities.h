// Reading the entity classes from the fields of an entity line, in the unit
// of the record the line stands in. Used by the job file parser and by the
// classes' own Scanf.
#ifndef BARPOST_CAM_ENTITIES_H_
#define BARPOST_CAM_ENTITIES_H_

#include <string_view>
#include <vector>

#include "cam/cam.h"
#include "cam/entity_line.h"

namespace cam {

// Each sets every member from the fields (missing fields 0 or empty,
// unknown fields ignored, the last of a repeated field wins). Lengths are
// read in inches when inch is true and delivered in millimetres.
void ReadHole(const std::vector<Field>& fields, bool inch, Cam_Hole* hole);
// The same for the fields of a hole line in a millimetre record, read
// straight from the text: false, *hole untouched, for a line that holds a
// quoted value or is not well formed, which then takes the general way
// (SplitFields and ReadHole) with its messages. Most lines of a job are
// plain holes.
bool ReadPlainHole(std::string_view text, Cam_Hole* hole);
void ReadMark(const std::vector<Field>& fields, bool inch, Cam_Mark* mark);
void ReadItem(const std::vector<Field>& fields, bool inch, Cam_Item* item);
void ReadPost(const std::vector<Field>& fields, Cam_Post* post);

}  // namespace cam

#endif  // BARPOST_CAM_ENTITIES_H_
