// The fields of an entity line: name=value pairs separated by blanks, a
// value in double quotes when it holds blanks, '=' or '"', with \" and \\ escaped
// inside the quotes.
#ifndef BARPOST_CAM_ENTITY_LINE_H_
#define BARPOST_CAM_ENTITY_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace cam {

struct Field {
  std::string_view name;   // points into the line
  std::string_view value;  // quotes and escapes resolved: into the line, or for a
                           // quoted value into the storage of SplitFields
};

// Splits the fields of an entity line (the text after the entity word) into
// *fields. The values of quoted fields are kept in *storage, which must
// outlive the fields. On a syntax error returns false with *error saying
// what is wrong.
bool SplitFields(std::string_view text, std::vector<Field>* fields, std::string* storage,
                 std::string* error);

// Appends " name=value" to *line, quoting the value when it needs it. Line
// breaks and NUL bytes in the value become blanks: an entity is one line,
// read back as a C string.
void AppendField(std::string* line, std::string_view name, std::string_view value);

// The entity words and the text after them.
enum class EntityWord { kNone, kHole, kMark, kItem, kPost };
// The entity word that begins line (followed by a blank or the end of the
// line), with *rest the text after it; kNone when the line begins otherwise.
EntityWord EntityWordOf(std::string_view line, std::string_view* rest);

}  // namespace cam

#endif  // BARPOST_CAM_ENTITY_LINE_H_
