// Reading the entity classes from the fields of an entity line, in the unit
// of the record the line stands in. Used by the job file parser and by the
// classes' own Scanf.
#ifndef BARPOST_CAM_ENTITIES_H_
#define BARPOST_CAM_ENTITIES_H_

#include <vector>

#include "cam/cam.h"
#include "cam/entity_line.h"

namespace cam {

// Each sets every member from the fields (missing fields 0 or empty,
// unknown fields ignored, the last of a repeated field wins). Lengths are
// read in inches when inch is true and delivered in millimetres.
void ReadHole(const std::vector<Field>& fields, bool inch, Cam_Hole* hole);
void ReadMark(const std::vector<Field>& fields, bool inch, Cam_Mark* mark);
void ReadItem(const std::vector<Field>& fields, bool inch, Cam_Item* item);
void ReadPost(const std::vector<Field>& fields, Cam_Post* post);

}  // namespace cam

#endif  // BARPOST_CAM_ENTITIES_H_
