// An initialisation file held in memory and read and changed the way the
// Windows private-profile functions do it, so that a file the line's other
// programs share with us keeps every byte we do not touch.
//
// Reading: lines end with LF, CR LF or a lone CR, and a UTF-8 byte-order mark
// at the start is passed over (and kept). Sections "[name]" and "key=value"
// lines, names matched without regard to case, keys and values trimmed of
// surrounding blanks and of one pair of quotes ("..." or '...') around the
// whole value, a value cut
// to 99 characters (the 100-byte buffer of the profile functions), the first
// of two equal keys of a section the one that counts. Lines before the first
// section, comment lines (';') and lines without '=' hold no key.
//
// Writing: an existing key is replaced in its own line, which keeps its
// place and its spelling; a new key goes right after the last key line of its
// section (before any blank or comment lines that close the section); a new
// section is appended at the end of the file. Every other line and every line
// end is kept as read; new lines take the line end the file already uses,
// CR LF for a new file.
//
// Saving writes the whole text once, atomically. Lookups and changes cost
// constant time on average: sections and keys are indexed and lines are
// chained, so a new line is linked in without moving the others.
#ifndef BARPOST_CONFIG_INI_FILE_H_
#define BARPOST_CONFIG_INI_FILE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniFile {
 public:
  // The longest value the profile functions hand back.
  static constexpr std::size_t kMaxValueChars = 99;
  // The largest INI file read; a line's configuration takes a few kilobytes.
  static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

  // Replaces the contents with text (the bytes of a file).
  void Parse(std::string_view text);
  // The text of the file, every untouched line as it was parsed.
  std::string Serialize() const;

  // Reads the file at path. A missing file reads as an empty one; any other
  // failure, a path that is no regular file (a FIFO, a folder, a device) or
  // a file beyond kMaxFileBytes gives false with *error ("path: reason") and
  // an empty file.
  bool Load(const std::string& path, std::string* error);
  // Writes the whole text to path in one atomic replacement.
  bool Save(const std::string& path, std::string* error) const;

  // The value of key in section, trimmed, unquoted and uncut; nullopt when
  // missing.
  // The view is valid until the file is next changed.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
  // The value, or def when the key is missing, cut to max_chars characters.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        std::size_t max_chars = kMaxValueChars) const;
  // The integer reading of the profile functions: def when the key is
  // missing or its value empty; otherwise the decimal number (with an
  // optional sign) at the start of the value, 0 when there is none.
  int GetInt(std::string_view section, std::string_view key, int def) const;
  // Sets key in section to value, creating the key and the section as
  // needed. A value is one line: it is cut at a CR or LF.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  bool HasSection(std::string_view section) const;
  // The names of the sections in file order, each name once (the first of
  // two sections of one name is the one read).
  std::vector<std::string> SectionNames() const;
  // The line end new lines get: "\r\n", "\n" or "\r".
  std::string_view LineEnd() const { return eol_; }

 private:
  enum class LineKind : unsigned char { kOther, kSection, kKey };
  struct Line {
    std::string text;         // without its line end
    std::string_view eol;     // "\r\n", "\n", or empty for a last line without one
    int next = -1;            // next line of the file
    LineKind kind = LineKind::kOther;
    std::size_t value_begin = 0;  // key lines: where the value starts
  };
  struct Section {
    int last_line = -1;  // its last key line, or its header while it has no key
    std::string name;    // as its header writes it, trimmed
    std::unordered_map<std::string, int> keys;  // lower-case key -> first line
  };

  const Section* FindSection(std::string_view section) const;
  Section& SectionForWrite(std::string_view section);
  int AppendLine(std::string text, std::string_view eol);
  int InsertAfter(int anchor, std::string text);

  std::vector<Line> lines_;
  int head_ = -1;
  int tail_ = -1;
  std::vector<Section> sections_;
  std::unordered_map<std::string, int> section_index_;  // lower-case name -> first section
  std::string_view eol_ = "\r\n";
  bool bom_ = false;  // the file starts with a UTF-8 byte-order mark
};

#endif  // BARPOST_CONFIG_INI_FILE_H_
