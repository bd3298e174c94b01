#include "cam/entity_line.h"

#include <gtest/gtest.h>

namespace cam {
namespace {

// The fields of text; their quoted values live in storage.
std::vector<Field> Split(std::string_view text, std::string& storage) {
  std::vector<Field> fields;
  std::string error;
  EXPECT_TRUE(SplitFields(text, &fields, &storage, &error)) << text << ": " << error;
  return fields;
}

TEST(EntityLine, SplitsFieldsAndQuotes) {
  std::string storage;
  auto f = Split("  x=1\ty=-2   text=\"a b=c \\\"q\\\" \\\\ \\n\" e= u=a=b v=x\"y ", storage);
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[0].name, "x");
  EXPECT_EQ(f[0].value, "1");
  EXPECT_EQ(f[1].value, "-2");
  EXPECT_EQ(f[2].name, "text");
  EXPECT_EQ(f[2].value, "a b=c \"q\" \\ \\n");
  EXPECT_EQ(f[3].value, "");
  EXPECT_EQ(f[4].value, "a=b");
  EXPECT_EQ(f[5].value, "x\"y");
  EXPECT_TRUE(Split("", storage).empty());
  std::string other;
  auto g = Split("a=\"1\" b=\"two words\" c=3", other);  // quoted values do not move
  EXPECT_EQ(g[0].value, "1");
  EXPECT_EQ(g[1].value, "two words");
  EXPECT_EQ(Split("t=\"\"", storage)[0].value, "");
}

TEST(EntityLine, RejectsBadFields) {
  std::vector<Field> fields;
  std::string storage, error;
  for (const char* bad : {"x", "x=1 y", "=1", "t=\"open", "t=\"a\"b", "t=\"a\\\""}) {
    error.clear();
    EXPECT_FALSE(SplitFields(bad, &fields, &storage, &error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(EntityLine, WrittenFieldsReadBack) {
  for (std::string value : {"plain", "", "two words", "a=b", "q\"uote", "back\\slash", "\\\"", " lead"}) {
    std::string line, storage;
    AppendField(&line, "text", value);
    auto f = Split(line, storage);
    ASSERT_EQ(f.size(), 1u) << line;
    EXPECT_EQ(f[0].value, value) << line;
  }
  std::string line;
  AppendField(&line, "text", "a\r\nb");
  EXPECT_EQ(line, " text=\"a  b\"");
  // A NUL byte (a damaged job file) would cut the line short for Scanf.
  line.clear();
  AppendField(&line, "pce", std::string("A\0B", 3));
  EXPECT_EQ(line, " pce=\"A B\"");
  std::string storage;
  EXPECT_EQ(Split(line.c_str(), storage)[0].value, "A B");
}

TEST(EntityLine, RecognisesEntityWords) {
  std::string_view rest;
  EXPECT_EQ(EntityWordOf("HOLE x=1", &rest), EntityWord::kHole);
  EXPECT_EQ(rest, " x=1");
  EXPECT_EQ(EntityWordOf("MARK", &rest), EntityWord::kMark);
  EXPECT_EQ(EntityWordOf("ITEM\tqty=1", &rest), EntityWord::kItem);
  EXPECT_EQ(EntityWordOf("POST key=a", &rest), EntityWord::kPost);
  EXPECT_EQ(EntityWordOf("HOLES x=1", &rest), EntityWord::kNone);
  EXPECT_EQ(EntityWordOf("hole x=1", &rest), EntityWord::kNone);
  EXPECT_EQ(EntityWordOf("HOLE=1", &rest), EntityWord::kNone);
}

}  // namespace
}  // namespace cam
