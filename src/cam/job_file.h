// The parsed form of a job file: its records as the reader keeps them, the
// job-wide heads they inherit, and the parser that builds them.
#ifndef BARPOST_CAM_JOB_FILE_H_
#define BARPOST_CAM_JOB_FILE_H_

#include <memory>
#include <memory_resource>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cam/cam.h"

struct CamRecord {
  // The lists take their memory from `memory`, the parsed file's arena.
  explicit CamRecord(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : heads(memory), holes(memory), marks(memory), items(memory), posts(memory) {}

  int kind = kRecordOther;
  long line = 0;  // line of the record's "*KIND" line
  // Record values, from the heads of the same name (own or inherited).
  char profil = ' ';
  char inch = 0;
  double h1 = 0;
  double h2 = 0;
  double length = 0;
  int section = 0;
  // The record's own heads, each key once with its last value, in the order
  // the keys first appear.
  std::pmr::vector<Cam_Head> heads;
  std::pmr::vector<Cam_Hole> holes;  // in the library's hole order
  std::pmr::vector<Cam_Mark> marks;
  std::pmr::vector<Cam_Item> items;
  std::pmr::vector<Cam_Post> posts;

  // The record's own value of key, or null.
  const std::string* OwnHead(std::string_view key) const;
};

// Hash and equality that let maps keyed by std::string be searched with a
// string_view.
struct TextHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

struct CamFile {
  // The memory of the records' lists: tens of thousands of small lists,
  // made one after the other and given back all at once with the file.
  std::pmr::monotonic_buffer_resource arena;
  std::string name;  // the path or name used in messages
  std::vector<CamRecord> records;
  std::vector<std::string> warnings;  // "name:line: message"
  // Why the file was not read when it is no job file at all (a FIFO, a
  // folder, a device, a file beyond the size limit): "path: reason".
  std::string refused;
  // Heads of *JOB records: for each key, the values in file order with the
  // index of the job record that set them.
  std::unordered_map<std::string, std::vector<std::pair<long, std::string>>, TextHash,
                     std::equal_to<>>
      job_heads;

  // The value of key that the record at index inherits from the job records
  // before it, or null.
  const std::string* InheritedHead(std::string_view key, long index) const;
  // The value of key for the record at index: its own, else the inherited.
  const std::string* Head(std::string_view key, long index) const;
  // Index of the first piece record with these four name heads, or -1. The
  // index of all pieces is built at the first call.
  long FindPiece(const std::string& com, const std::string& dwg, const std::string& ass,
                 const std::string& pce) const;

 private:
  // The four names of a piece record, viewing the record's own texts.
  struct PieceNames {
    std::string_view com, dwg, ass, pce;
    bool operator==(const PieceNames&) const = default;
  };
  struct PieceNamesHash {
    std::size_t operator()(const PieceNames& n) const;
  };
  mutable std::once_flag piece_index_once_;
  mutable std::unordered_map<PieceNames, long, PieceNamesHash> piece_index_;
};

namespace cam {

// The largest job file read: a day's work of a line is a few megabytes.
inline constexpr std::size_t kMaxJobFileBytes = std::size_t{256} << 20;

// Parses the text of a job file. name goes into the warnings. Never fails:
// lines that cannot be understood are skipped with a warning.
std::shared_ptr<const CamFile> ParseJobText(std::string_view text, const std::string& name);

// Reads and parses the file at path. A file that cannot be read gives no
// record and one warning.
std::shared_ptr<const CamFile> ReadJobFile(const std::string& path);

// The position of letter in "ATCBDVGUZYILMNOPHEFR1234", or -1.
int CategoryPosition(char letter);

}  // namespace cam

#endif  // BARPOST_CAM_JOB_FILE_H_
