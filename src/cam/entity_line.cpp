#include "cam/entity_line.h"

namespace cam {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool NeedsQuotes(std::string_view value) {
  if (value.empty()) return true;
  for (char c : value) {
    if (IsBlank(c) || c == '=' || c == '"' || c == '\r' || c == '\n' || c == '\0') return true;
  }
  return false;
}

// Reads a quoted value starting at text[*i] == '"'; leaves *i after the
// closing quote.
bool ReadQuoted(std::string_view text, std::size_t* i, std::string* value, std::string* error) {
  std::size_t p = *i + 1;
  while (p < text.size()) {
    char c = text[p];
    if (c == '"') {
      *i = p + 1;
      return true;
    }
    if (c == '\\' && p + 1 < text.size() && (text[p + 1] == '"' || text[p + 1] == '\\')) {
      value->push_back(text[p + 1]);
      p += 2;
      continue;
    }
    value->push_back(c);
    ++p;
  }
  *error = "missing closing quote";
  return false;
}

}  // namespace

bool SplitFields(std::string_view text, std::vector<Field>* fields, std::string* storage,
                 std::string* error) {
  fields->clear();
  storage->clear();
  // Unquoting never makes a value longer, so the storage never moves and
  // the values already split keep pointing into it.
  storage->reserve(text.size());
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size()) return true;
    std::size_t name_start = i;
    while (i < text.size() && text[i] != '=' && !IsBlank(text[i])) ++i;
    std::string_view name = text.substr(name_start, i - name_start);
    if (i >= text.size() || text[i] != '=') {
      *error = "expected name=value, found '" + std::string(name.substr(0, 40)) + "'";
      return false;
    }
    if (name.empty()) {
      *error = "field without a name";
      return false;
    }
    ++i;  // '='
    if (i < text.size() && text[i] == '"') {
      const std::size_t from = storage->size();
      if (!ReadQuoted(text, &i, storage, error)) return false;
      if (i < text.size() && !IsBlank(text[i])) {
        *error = "blank expected after the quoted value of '" + std::string(name.substr(0, 40)) + "'";
        return false;
      }
      fields->push_back(Field{name, std::string_view(*storage).substr(from)});
    } else {
      std::size_t value_start = i;
      while (i < text.size() && !IsBlank(text[i])) ++i;
      fields->push_back(Field{name, text.substr(value_start, i - value_start)});
    }
  }
}

void AppendField(std::string* line, std::string_view name, std::string_view value) {
  line->push_back(' ');
  line->append(name);
  line->push_back('=');
  if (!NeedsQuotes(value)) {
    line->append(value);
    return;
  }
  line->push_back('"');
  for (char c : value) {
    if (c == '"' || c == '\\') line->push_back('\\');
    // A line is read back as a C string: a NUL byte would end it.
    line->push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
  }
  line->push_back('"');
}

EntityWord EntityWordOf(std::string_view line, std::string_view* rest) {
  static constexpr struct {
    std::string_view word;
    EntityWord kind;
  } kWords[] = {{"HOLE", EntityWord::kHole},
                {"MARK", EntityWord::kMark},
                {"ITEM", EntityWord::kItem},
                {"POST", EntityWord::kPost}};
  for (const auto& w : kWords) {
    if (line.size() >= w.word.size() && line.substr(0, w.word.size()) == w.word &&
        (line.size() == w.word.size() || IsBlank(line[w.word.size()]))) {
      *rest = line.substr(w.word.size());
      return w.kind;
    }
  }
  *rest = line;
  return EntityWord::kNone;
}

}  // namespace cam
