#include "cam/job_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/platform.h"
#include "base/text.h"
#include "cam/entities.h"
#include "cam/entity_line.h"
#include "cam/length_text.h"

namespace {

constexpr std::string_view kCategoryLetters = "ATCBDVGUZYILMNOPHEFR1234";
// Warnings kept per file; a file of garbage would otherwise give one per line.
constexpr std::size_t kMaxWarnings = 1000;
// The most records the parser makes room for before it reads them.
constexpr std::size_t kRecordsAtOnce = std::size_t{1} << 16;
// Up to this many heads a record finds its keys by a linear search.
constexpr std::size_t kLinearHeads = 16;

bool IsKeyChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "KEY=VALUE": KEY of upper-case letters, digits and '_', directly followed
// by '='.
bool SplitHeadLine(std::string_view line, std::string_view* key, std::string_view* value) {
  std::size_t i = 0;
  while (i < line.size() && IsKeyChar(line[i])) ++i;
  if (i == 0 || i >= line.size() || line[i] != '=') return false;
  *key = line.substr(0, i);
  *value = line.substr(i + 1);
  return true;
}

int RecordKind(std::string_view word) {
  if (word == "PIECE") return kRecordPiece;
  if (word == "BAR") return kRecordBar;
  if (word == "JOB") return kRecordJob;
  return kRecordOther;
}

const char* WordName(cam::EntityWord word) {
  switch (word) {
    case cam::EntityWord::kHole: return "HOLE";
    case cam::EntityWord::kMark: return "MARK";
    case cam::EntityWord::kItem: return "ITEM";
    case cam::EntityWord::kPost: return "POST";
    case cam::EntityWord::kNone: break;
  }
  return "";
}

// The two numbers of SECTION. In inches a whole number followed by a
// fraction ("4 1/2") is one value.
void ReadSection(std::string_view value, bool inch, double* h1, double* h2) {
  double* out[2] = {h1, h2};
  *h1 = *h2 = 0;
  int n = 0;
  std::size_t i = 0;
  auto next_token = [&](std::size_t from, std::size_t* start) {
    while (from < value.size() && IsBlank(value[from])) ++from;
    *start = from;
    while (from < value.size() && !IsBlank(value[from])) ++from;
    return from;
  };
  while (n < 2) {
    std::size_t start = 0;
    std::size_t end = next_token(i, &start);
    if (start == end) break;
    std::string_view token = value.substr(start, end - start);
    std::string_view digits = token;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    if (inch && IsDigits(digits)) {
      std::size_t frac_start = 0;
      std::size_t frac_end = next_token(end, &frac_start);
      if (frac_start < frac_end &&
          value.substr(frac_start, frac_end - frac_start).find('/') != std::string_view::npos)
        end = frac_end;
    }
    *out[n++] = cam::LengthOf(value.substr(start, end - start), inch);
    i = end;
  }
}

// The position of the first LF or CR at or after pos, or the text's size.
// Eight characters at a time: a word holds one of them when the word xor
// the character repeated has a zero byte.
std::size_t LineEnd(std::string_view text, std::size_t pos) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  auto has_zero = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighs; };
  const char* p = text.data() + pos;
  const char* end = text.data() + text.size();
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (has_zero(word ^ (kOnes * '\n')) | has_zero(word ^ (kOnes * '\r'))) break;
    p += 8;
  }
  while (p < end && *p != '\n' && *p != '\r') ++p;
  return static_cast<std::size_t>(p - text.data());
}

class Parser {
 public:
  Parser(std::string_view text, CamFile* file)
      : text_(text), file_(file), record_(&file->arena) {}

  void Run() {
    // Room for the records at once, so the list is not copied as it grows:
    // a line that starts with '*' starts one (or ends the file). Beyond
    // kRecordsAtOnce, should the file say so, the list grows as it goes.
    std::size_t starts = 1;
    for (std::size_t at = 0; (at = text_.find('*', at)) != std::string_view::npos; ++at)
      starts += at == 0 || text_[at - 1] == '\n' || text_[at - 1] == '\r';
    file_->records.reserve(std::min(starts, kRecordsAtOnce));
    // An editor's UTF-8 byte-order mark is no part of the first line.
    std::size_t pos = text_.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < text_.size()) {
      // Lines end with LF, CR LF, or a CR alone as old editors write them.
      const std::size_t eol = LineEnd(text_, pos);
      std::string_view line = Trim(text_.substr(pos, eol - pos));
      pos = eol + 1;
      if (eol + 1 < text_.size() && text_[eol] == '\r' && text_[eol + 1] == '\n') ++pos;
      ++line_;
      if (!HandleLine(line)) break;
    }
    FinishRecord();
    WriteWarnings();
  }

 private:
  struct PendingEntity {
    cam::EntityWord word;
    std::string_view fields;
    long line;
  };

  // False at "*END".
  bool HandleLine(std::string_view line) {
    if (line.empty() || line.front() == '#') return true;
    if (line.front() == '*') {
      FinishRecord();
      std::string_view word = Trim(line.substr(1));
      if (word == "END") return false;
      StartRecord(RecordKind(word));
      return true;
    }
    if (!in_record_) {
      Warn(line_, "line outside a record, skipped");
      return true;
    }
    std::string_view key;
    std::string_view value;
    if (SplitHeadLine(line, &key, &value)) {
      AddHead(key, value);
      return true;
    }
    std::string_view rest;
    cam::EntityWord word = cam::EntityWordOf(line, &rest);
    if (word != cam::EntityWord::kNone) {
      pending_.push_back({word, rest, line_});
      return true;
    }
    Warn(line_, "expected KEY=VALUE or an entity line (HOLE, MARK, ITEM, POST), skipped");
    return true;
  }

  void StartRecord(int kind) {
    // The record's lists keep taking their memory from the file's arena (an
    // assignment of a new record would not pass that on).
    record_.heads.clear();
    record_.holes.clear();
    record_.marks.clear();
    record_.items.clear();
    record_.posts.clear();
    record_.profil = ' ';
    record_.inch = 0;
    record_.h1 = record_.h2 = record_.length = 0;
    record_.section = 0;
    // Room for the heads of a piece without growing the list head by head.
    record_.heads.reserve(8);
    record_.kind = kind;
    record_.line = line_;
    in_record_ = true;
  }

  void AddHead(std::string_view key, std::string_view value) {
    if (Cam_Head* head = FindOwn(key)) {
      head->SetVal(std::string(value));
      return;
    }
    record_.heads.emplace_back(std::string(key), std::string(value));
    if (record_.heads.size() == kLinearHeads) {
      for (std::size_t i = 0; i < record_.heads.size(); ++i)
        head_index_.emplace(record_.heads[i].GetCle(), i);
    } else if (record_.heads.size() > kLinearHeads) {
      head_index_.emplace(std::string(key), record_.heads.size() - 1);
    }
  }

  Cam_Head* FindOwn(std::string_view key) {
    if (record_.heads.size() >= kLinearHeads) {
      auto it = head_index_.find(key);
      return it == head_index_.end() ? nullptr : &record_.heads[it->second];
    }
    for (Cam_Head& head : record_.heads)
      if (head.GetCle() == key) return &head;
    return nullptr;
  }

  const std::string* Value(std::string_view key, long index) {
    if (const Cam_Head* head = FindOwn(key)) return &head->GetVal();
    return file_->InheritedHead(key, index);
  }

  void ResolveValues(long index) {
    const std::string* unit = Value("UNIT", index);
    bool inch = unit != nullptr && EqualsNoCase(Trim(*unit), "INCH");
    record_.inch = inch ? 1 : 0;
    if (const std::string* category = Value("CATEGORY", index)) {
      std::string_view letter = Trim(*category);
      if (letter.size() == 1 && cam::CategoryPosition(letter.front()) >= 0)
        record_.profil = letter.front();
    }
    if (const std::string* section = Value("SECTION", index))
      ReadSection(Trim(*section), inch, &record_.h1, &record_.h2);
    if (const std::string* kind = Value("SECTION_KIND", index))
      record_.section = static_cast<int>(cam::WholeOf(*kind, INT32_MIN, INT32_MAX));
    if (const std::string* length = Value("LENGTH", index))
      record_.length = cam::LengthOf(*length, inch);
  }

  void ReadEntities() {
    bool inch = record_.inch != 0;
    // Each list is made at its size: a job holds tens of thousands of them.
    std::size_t count[5] = {};
    for (const PendingEntity& entity : pending_) ++count[static_cast<int>(entity.word)];
    record_.holes.reserve(count[static_cast<int>(cam::EntityWord::kHole)]);
    record_.marks.reserve(count[static_cast<int>(cam::EntityWord::kMark)]);
    record_.items.reserve(count[static_cast<int>(cam::EntityWord::kItem)]);
    record_.posts.reserve(count[static_cast<int>(cam::EntityWord::kPost)]);
    for (const PendingEntity& entity : pending_) {
      if (entity.word == cam::EntityWord::kHole && !inch) {
        Cam_Hole hole;
        if (cam::ReadPlainHole(entity.fields, &hole)) {
          record_.holes.push_back(hole);
          continue;
        }
      }
      std::string error;
      if (!cam::SplitFields(entity.fields, &fields_, &storage_, &error)) {
        Warn(entity.line, std::string(WordName(entity.word)) + ": " + error + ", line skipped");
        continue;
      }
      switch (entity.word) {
        case cam::EntityWord::kHole:
          cam::ReadHole(fields_, inch, &record_.holes.emplace_back());
          break;
        case cam::EntityWord::kMark:
          cam::ReadMark(fields_, inch, &record_.marks.emplace_back());
          break;
        case cam::EntityWord::kItem:
          cam::ReadItem(fields_, inch, &record_.items.emplace_back());
          break;
        case cam::EntityWord::kPost:
          cam::ReadPost(fields_, &record_.posts.emplace_back());
          break;
        case cam::EntityWord::kNone:
          break;
      }
    }
    // Holes equal in the five keys keep their file order.
    SortHoles(record_.holes.begin(), record_.holes.end());
  }

  void FinishRecord() {
    if (!in_record_) return;
    long index = static_cast<long>(file_->records.size());
    ResolveValues(index);
    ReadEntities();
    if (record_.kind == kRecordJob) {
      for (const Cam_Head& head : record_.heads)
        file_->job_heads[head.GetCle()].emplace_back(index, head.GetVal());
    }
    file_->records.push_back(std::move(record_));
    pending_.clear();
    if (!head_index_.empty()) head_index_ = {};
    in_record_ = false;
  }

  void Warn(long line, std::string message) {
    if (warnings_.size() < kMaxWarnings)
      warnings_.emplace_back(line, std::move(message));
    else
      ++dropped_;
  }

  void WriteWarnings() {
    std::stable_sort(warnings_.begin(), warnings_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [line, message] : warnings_)
      file_->warnings.push_back(file_->name + ":" + std::to_string(line) + ": " + message);
    if (dropped_ > 0)
      file_->warnings.push_back(file_->name + ": " + std::to_string(dropped_) +
                                " more lines skipped");
  }

  std::string_view text_;
  CamFile* file_;
  long line_ = 0;
  bool in_record_ = false;
  CamRecord record_;
  std::vector<PendingEntity> pending_;
  std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>> head_index_;
  std::vector<cam::Field> fields_;
  std::string storage_;
  std::vector<std::pair<long, std::string>> warnings_;
  std::size_t dropped_ = 0;
};

}  // namespace

const std::string* CamRecord::OwnHead(std::string_view key) const {
  for (const Cam_Head& head : heads)
    if (head.GetCle() == key) return &head.GetVal();
  return nullptr;
}

const std::string* CamFile::InheritedHead(std::string_view key, long index) const {
  auto it = job_heads.find(key);
  if (it == job_heads.end()) return nullptr;
  const auto& values = it->second;
  auto after = std::partition_point(values.begin(), values.end(),
                                    [index](const auto& v) { return v.first < index; });
  if (after == values.begin()) return nullptr;
  return &std::prev(after)->second;
}

const std::string* CamFile::Head(std::string_view key, long index) const {
  if (index < 0 || index >= static_cast<long>(records.size())) return nullptr;
  if (const std::string* own = records[static_cast<std::size_t>(index)].OwnHead(key)) return own;
  return InheritedHead(key, index);
}

std::size_t CamFile::PieceNamesHash::operator()(const PieceNames& n) const {
  std::hash<std::string_view> hash;
  std::size_t h = hash(n.com);
  for (std::string_view part : {n.dwg, n.ass, n.pce}) h = h * 1000003 ^ hash(part);
  return h;
}

long CamFile::FindPiece(const std::string& com, const std::string& dwg, const std::string& ass,
                        const std::string& pce) const {
  std::call_once(piece_index_once_, [this] {
    static const std::string kEmpty;
    // Views of the file's own texts, which stay as they are.
    auto text = [this](const char* key, long i) {
      const std::string* v = Head(key, i);
      return std::string_view(v ? *v : kEmpty);
    };
    for (long i = 0; i < static_cast<long>(records.size()); ++i) {
      if (records[static_cast<std::size_t>(i)].kind != kRecordPiece) continue;
      // The first record of a name keeps it.
      piece_index_.emplace(
          PieceNames{text("COM_NAM", i), text("DWG_NAM", i), text("ASS_NAM", i), text("PCE_NAM", i)},
          i);
    }
  });
  auto it = piece_index_.find(PieceNames{com, dwg, ass, pce});
  return it == piece_index_.end() ? -1 : it->second;
}

namespace cam {

std::shared_ptr<const CamFile> ParseJobText(std::string_view text, const std::string& name) {
  auto file = std::make_shared<CamFile>();
  file->name = name;
  Parser(text, file.get()).Run();
  return file;
}

std::shared_ptr<const CamFile> ReadJobFile(const std::string& path) {
  std::string contents;
  std::string error;
  const platform::ReadResult read =
      platform::ReadRegularFile(path, kMaxJobFileBytes, &contents, &error);
  if (read != platform::ReadResult::kOk) {
    auto file = std::make_shared<CamFile>();
    file->name = path;
    file->warnings.push_back(path + ": cannot read the job file: " + error);
    if (read == platform::ReadResult::kNotRegular || read == platform::ReadResult::kTooLarge)
      file->refused = path + ": " + error;
    return file;
  }
  return ParseJobText(contents, path);
}

int CategoryPosition(char letter) {
  std::size_t pos = kCategoryLetters.find(letter);
  return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

}  // namespace cam
