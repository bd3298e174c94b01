#include "cam/entity_line.h"

#include <gtest/gtest.h>

namespace cam {
namespace {

// The fields as "name=value|...", or "error: what" when the line is refused.
std::string Fields(std::string_view text) {
  std::vector<Field> fields;
  std::string storage, error, out;
  if (!SplitFields(text, &fields, &storage, &error)) return "error: " + error;
  for (const Field& f : fields) out += std::string(f.name) + "=" + std::string(f.value) + "|";
  return out;
}

TEST(EntityLine, SplitsFieldsAndSaysWhatIsWrong) {
  const std::pair<const char*, const char*> cases[] = {
      {"  x=1\ty=-2   e= u=a=b v=x\"y ", "x=1|y=-2|e=|u=a=b|v=x\"y|"}, {"", ""},
      {"t=\"a b=c \\\"q\\\" \\\\ \\n\" a=\"1\" t2=\"\"", "t=a b=c \"q\" \\ \\n|a=1|t2=|"},
      {"x=1 y", "error: expected name=value, found 'y'"},    {"=1", "error: field without a name"},
      {"t=\"open", "error: missing closing quote"},          {"t=\"a\\\"", "error: missing closing quote"},
      {"t=\"a\"b", "error: blank expected after the quoted value of 't'"}};
  for (const auto& [text, want] : cases) EXPECT_EQ(Fields(text), want) << text;
}

// The job writer's fields read back as written; a line break or NUL byte
// would end the line early and becomes a blank.
TEST(EntityLine, WrittenFieldsReadBackAndEntityWords) {
  for (std::string value : {"plain", "", "two words", "a=b", "q\"uote", "back\\slash", "\\\"", " lead"}) {
    std::string line;
    AppendField(&line, "text", value);
    EXPECT_EQ(Fields(line), "text=" + value + "|") << line;
  }
  std::string line;
  AppendField(&line, "t", std::string("a\r\nb\0c", 6));
  EXPECT_EQ(line, " t=\"a  b c\"");
  std::string_view rest;
  const std::pair<const char*, EntityWord> words[] = {
      {"HOLE x=1", EntityWord::kHole},  {"MARK", EntityWord::kMark},       {"ITEM\tqty=1", EntityWord::kItem},
      {"POST key=a", EntityWord::kPost}, {"HOLES x=1", EntityWord::kNone}, {"hole x=1", EntityWord::kNone},
      {"HOLE=1", EntityWord::kNone}};
  for (const auto& [text, word] : words) EXPECT_EQ(EntityWordOf(text, &rest), word) << text;
  EXPECT_EQ(rest, "HOLE=1");
  EntityWordOf("HOLE x=1", &rest);
  EXPECT_EQ(rest, " x=1");
}

}  // namespace
}  // namespace cam
