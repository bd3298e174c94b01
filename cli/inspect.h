// barpost inspect: what the engine makes of a job, for programmers.
#ifndef BARPOST_CLI_INSPECT_H_
#define BARPOST_CLI_INSPECT_H_

#include <iosfwd>
#include <string>

#include "cam/cam.h"

int RunInspect(const std::string& ini, const std::string& machine, const std::string& camFile,
               bool bar, std::ostream& out, std::ostream& err);

// A hole's size as Setup machine lists it ("22", "22X60-0"), and why no
// punching unit makes it; preview draws the same.
std::string HoleSizeText(const Cam_Hole& hole, const CCam& reader);
std::string UnpunchedReason(const Cam_Hole& hole, const CCam& reader);

#endif  // BARPOST_CLI_INSPECT_H_
