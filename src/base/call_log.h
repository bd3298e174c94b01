// The record of one call of an entry point, appended to the file that the
// variable BARPOST_LOG names, when it is set: what the host asked, every
// message the operator was shown, what was written, and the result. A shop
// traces with it which program was cut from which job; the command-line host
// reads its own record back to learn whether the module reported an error.
//
// A record:
//   == 2026-12-06 14:03:27 Traitement
//   ini: /lines/machine.ini
//   ...
//   read: /jobs/job.cam (6 records)
//   size: unit 3 "22" -> "24"
//   wrote: /nc/B1.MPF (332 lines, sha256 5f1c...)
//   result: 0
// A message of several lines is one line with " | " between them.
#ifndef BARPOST_BASE_CALL_LOG_H_
#define BARPOST_BASE_CALL_LOG_H_

#include <string>
#include <string_view>

#include "base/sha256.h"
#include <utility>
#include <vector>

namespace call_log {

// Starts the record of a call (nothing happens without BARPOST_LOG).
void Begin(std::string_view entry, const std::vector<std::pair<std::string, std::string>>& args);
// One line "what: text" of the current record.
void Note(std::string_view what, std::string_view text);
// A file written piece by piece: its lines counted and its SHA-256 taken as
// the pieces go by, when the call's record wants them. BARPOST_LOG_BRIEF=1
// leaves the digest out, for a host that only reads back the messages.
class FileRecord {
 public:
  FileRecord();
  void Add(std::string_view piece);
  // "wrote: path (N lines, sha256 ...)".
  void Written(const std::string& path);

 private:
  bool counting_ = false;
  bool digesting_ = false;
  std::size_t lines_ = 0;
  Sha256 digest_;
};

// The same for a file written whole with text.
void Written(const std::string& path, std::string_view text);
// Ends the record with the result and appends it to the file in one write.
void End(int result);

}  // namespace call_log

#endif  // BARPOST_BASE_CALL_LOG_H_
