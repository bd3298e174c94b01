#include "config/ini_file.h"

#include <cctype>
#include <cstdint>

#include "base/platform.h"
#include "base/text.h"

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kLf = "\n";
constexpr std::string_view kCr = "\r";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The line end that starts at text[at], a CR or an LF.
std::string_view EndAt(std::string_view text, std::size_t at) {
  if (text[at] == '\n') return kLf;
  return at + 1 < text.size() && text[at + 1] == '\n' ? kCrLf : kCr;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string NameKey(std::string_view name) { return Lower(Trim(name)); }

// The number the profile functions read from a value: an optional sign and
// decimal digits, wrapping around at 32 bits as the system's reader does.
int LeadingInteger(std::string_view value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
    negative = value[i] == '-';
    ++i;
  }
  std::uint32_t n = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
    n = n * 10u + static_cast<std::uint32_t>(value[i] - '0');
  if (negative) n = 0u - n;
  return static_cast<int>(n);
}

}  // namespace

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  head_ = tail_ = -1;
  sections_.clear();
  section_index_.clear();

  // An editor's UTF-8 byte-order mark is kept, but is no part of the first line.
  bom_ = text.starts_with(kBom);
  if (bom_) text.remove_prefix(kBom.size());

  // Lines end with LF, CR LF or a lone CR; new lines take the file's first kind.
  std::size_t first_end = text.find_first_of("\r\n");
  eol_ = first_end == std::string_view::npos ? kCrLf : EndAt(text, first_end);

  int current = -1;  // section of the lines being read
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    std::string_view body;
    std::string_view eol;
    if (end == std::string_view::npos) {
      body = text.substr(pos);
      pos = text.size();
    } else {
      body = text.substr(pos, end - pos);
      eol = EndAt(text, end);
      pos = end + eol.size();
    }
    int index = AppendLine(std::string(body), eol);
    Line& line = lines_[static_cast<std::size_t>(index)];

    std::string_view t = Trim(line.text);
    if (t.empty() || t.front() == ';') continue;
    std::size_t close = t.rfind(']');
    if (t.front() == '[' && close != std::string_view::npos) {
      line.kind = LineKind::kSection;
      current = static_cast<int>(sections_.size());
      sections_.push_back(Section{index, std::string(Trim(t.substr(1, close - 1))), {}});
      // A repeated section name: the first section is the one read and written.
      section_index_.emplace(NameKey(t.substr(1, close - 1)), current);
      continue;
    }
    std::size_t eq = line.text.find('=');
    if (current < 0 || eq == std::string::npos) continue;
    line.kind = LineKind::kKey;
    line.value_begin = line.text.find_first_not_of(" \t", eq + 1);
    if (line.value_begin == std::string::npos) line.value_begin = line.text.size();
    Section& section = sections_[static_cast<std::size_t>(current)];
    section.last_line = index;
    // emplace keeps the first of two equal keys.
    section.keys.emplace(NameKey(std::string_view(line.text).substr(0, eq)), index);
  }
}

std::string IniFile::Serialize() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.text.size() + line.eol.size();
  std::string out;
  out.reserve(size + kBom.size());
  if (bom_) out += kBom;
  for (int i = head_; i >= 0; i = lines_[static_cast<std::size_t>(i)].next) {
    const Line& line = lines_[static_cast<std::size_t>(i)];
    out += line.text;
    out += line.eol;
  }
  return out;
}

bool IniFile::Load(const std::string& path, std::string* error) {
  Parse({});
  std::string text;
  std::string reason;
  switch (platform::ReadRegularFile(path, kMaxFileBytes, &text, &reason)) {
    case platform::ReadResult::kOk:
      Parse(text);
      return true;
    case platform::ReadResult::kMissing:
      return true;
    default:
      if (error) *error = path + ": " + reason;
      return false;
  }
}

bool IniFile::Save(const std::string& path, std::string* error) const {
  std::string reason;
  if (platform::ReplaceFileAtomically(path, Serialize(), &reason)) return true;
  if (error) *error = path + ": " + reason;
  return false;
}

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
  auto it = section_index_.find(NameKey(section));
  return it == section_index_.end() ? nullptr : &sections_[static_cast<std::size_t>(it->second)];
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    auto it = section_index_.find(NameKey(sections_[i].name));
    if (it != section_index_.end() && static_cast<std::size_t>(it->second) == i)
      names.push_back(sections_[i].name);
  }
  return names;
}

bool IniFile::HasSection(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> IniFile::Find(std::string_view section,
                                              std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  auto it = s->keys.find(NameKey(key));
  if (it == s->keys.end()) return std::nullopt;
  const Line& line = lines_[static_cast<std::size_t>(it->second)];
  std::string_view value = Trim(std::string_view(line.text).substr(line.value_begin));
  // One pair of quotes around the whole value is not part of it.
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  return value;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view def, std::size_t max_chars) const {
  std::string_view value = Find(section, key).value_or(def);
  return std::string(value.substr(0, max_chars));
}

int IniFile::GetInt(std::string_view section, std::string_view key, int def) const {
  std::optional<std::string_view> value = Find(section, key);
  if (!value || value->empty()) return def;
  return LeadingInteger(*value);
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  value = value.substr(0, value.find_first_of("\r\n"));
  Section& s = SectionForWrite(section);
  std::string name = NameKey(key);
  auto it = s.keys.find(name);
  if (it != s.keys.end()) {
    Line& line = lines_[static_cast<std::size_t>(it->second)];
    line.text.resize(line.value_begin);
    line.text += value;
    return;
  }
  std::string text(Trim(key));
  text += '=';
  std::size_t value_begin = text.size();
  text += value;
  int index = InsertAfter(s.last_line, std::move(text));
  Line& line = lines_[static_cast<std::size_t>(index)];
  line.kind = LineKind::kKey;
  line.value_begin = value_begin;
  s.last_line = index;
  s.keys.emplace(std::move(name), index);
}

IniFile::Section& IniFile::SectionForWrite(std::string_view section) {
  std::string name = NameKey(section);
  auto it = section_index_.find(name);
  if (it != section_index_.end()) return sections_[static_cast<std::size_t>(it->second)];

  // A blank line sets the new section apart from the text before it.
  if (tail_ >= 0 && !Trim(lines_[static_cast<std::size_t>(tail_)].text).empty())
    AppendLine(std::string(), eol_);
  std::string header = "[";
  header += Trim(section);
  header += ']';
  int index = AppendLine(std::move(header), eol_);
  lines_[static_cast<std::size_t>(index)].kind = LineKind::kSection;
  int number = static_cast<int>(sections_.size());
  sections_.push_back(Section{index, std::string(Trim(section)), {}});
  section_index_.emplace(std::move(name), number);
  return sections_.back();
}

int IniFile::AppendLine(std::string text, std::string_view eol) {
  if (tail_ < 0) {
    lines_.push_back(Line{std::move(text), eol, -1, LineKind::kOther, 0});
    head_ = tail_ = static_cast<int>(lines_.size()) - 1;
    return tail_;
  }
  int index = InsertAfter(tail_, std::move(text));
  lines_[static_cast<std::size_t>(index)].eol = eol;
  return index;
}

int IniFile::InsertAfter(int anchor, std::string text) {
  int index = static_cast<int>(lines_.size());
  lines_.push_back(Line{std::move(text), eol_, -1, LineKind::kOther, 0});
  Line& before = lines_[static_cast<std::size_t>(anchor)];
  // The file's last line may have had no line end; it needs one now.
  if (before.eol.empty()) before.eol = eol_;
  lines_.back().next = before.next;
  before.next = index;
  if (tail_ == anchor) tail_ = index;
  return index;
}
