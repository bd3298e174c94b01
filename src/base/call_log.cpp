#include "base/call_log.h"

#include <cstdlib>
#include <ctime>

#include "base/platform.h"
#include "base/text.h"

namespace call_log {

namespace {

struct Record {
  bool open = false;
  std::string path;
  std::string text;
};

// One call at a time: the entry points hold the module's lock around a call.
Record& Current() {
  static Record record;
  return record;
}

// A line of the record: line breaks would start a new one.
std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (i + 1 < text.size()) out += " | ";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string Now() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  return buffer;
}

}  // namespace

void Begin(std::string_view entry, const std::vector<std::pair<std::string, std::string>>& args) {
  Record& r = Current();
  const char* path = std::getenv("BARPOST_LOG");
  r.open = path && *path;
  r.text.clear();
  if (!r.open) return;
  r.path = path;
  r.text = "== " + Now() + " " + std::string(entry) + "\n";
  for (const auto& [name, value] : args) Note(name, value);
}

void Note(std::string_view what, std::string_view text) {
  Record& r = Current();
  if (!r.open) return;
  r.text.append(what);
  r.text += ": ";
  r.text += OneLine(text);
  r.text += '\n';
}

FileRecord::FileRecord() : counting_(Current().open) {
  const char* brief = std::getenv("BARPOST_LOG_BRIEF");
  digesting_ = counting_ && !(brief && std::string_view(brief) == "1");
}

void FileRecord::Add(std::string_view piece) {
  if (!counting_) return;
  for (std::size_t at = 0; (at = piece.find('\n', at)) != std::string_view::npos; ++at) ++lines_;
  if (digesting_) digest_.Update(piece);
}

void FileRecord::Written(const std::string& path) {
  if (!counting_) return;
  std::string text = path + " (" + std::to_string(lines_) + " lines";
  if (digesting_) text += ", sha256 " + digest_.HexDigest();
  Note("wrote", text + ")");
}

void Written(const std::string& path, std::string_view text) {
  FileRecord record;
  record.Add(text);
  record.Written(path);
}

void End(int result) {
  Record& r = Current();
  if (!r.open) return;
  Note("result", IntText(result));
  std::string error;
  platform::AppendToFile(r.path, r.text, &error);  // a log that cannot be written stays silent
  r.open = false;
  r.text.clear();
}

}  // namespace call_log
