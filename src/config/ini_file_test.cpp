#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/platform.h"
#include "base/test_support.h"

namespace {

IniFile Parsed(std::string_view text) {
  IniFile ini;
  ini.Parse(text);
  return ini;
}

TEST(IniFileTest, LookupIgnoresCaseAndBlanks) {
  IniFile ini = Parsed(
      "top=before any section\r\n"
      "[Line1]\r\n"
      "  Motrice = 3  \r\n"
      "; Cnc=9\r\n"
      "NoEquals\r\n"
      "Empty=\r\n"
      "[ other ] ; note\r\n"
      "Motrice=1\r\n");
  EXPECT_EQ(ini.Find("LINE1", "motrice"), "3");
  EXPECT_EQ(ini.Find(" line1 ", " MOTRICE "), "3");
  EXPECT_EQ(ini.Find("Other", "Motrice"), "1");
  EXPECT_EQ(ini.Find("Line1", "Empty"), "");
  EXPECT_FALSE(ini.Find("Line1", "Cnc"));       // comment line
  EXPECT_FALSE(ini.Find("Line1", "NoEquals"));  // no '='
  EXPECT_FALSE(ini.Find("Line1", "top"));       // before any section
  EXPECT_FALSE(ini.Find("Missing", "Motrice"));
  EXPECT_EQ(ini.GetString("Line1", "Cnc", "dflt"), "dflt");
  EXPECT_EQ(ini.GetString("Line1", "Empty", "dflt"), "");
  EXPECT_TRUE(ini.HasSection("LINE1"));
}

TEST(IniFileTest, OnePairOfQuotesAroundAValueIsNotPartOfIt) {
  IniFile ini = Parsed(
      "[s]\nd=\"C:\\NC\\\"\nq= 'single' \nhalf=\"open\ninner=a \"b\" c\nmixed=\"x'\n"
      "one=\"\nn=\"12\"\n");
  EXPECT_EQ(ini.Find("s", "d"), "C:\\NC\\");
  EXPECT_EQ(ini.Find("s", "q"), "single");
  EXPECT_EQ(ini.Find("s", "half"), "\"open");
  EXPECT_EQ(ini.Find("s", "inner"), "a \"b\" c");
  EXPECT_EQ(ini.Find("s", "mixed"), "\"x'");
  EXPECT_EQ(ini.Find("s", "one"), "\"");
  EXPECT_EQ(ini.GetInt("s", "n", 0), 12);
}

TEST(IniFileTest, ValuesAreCutTo99Characters) {
  std::string long_value(120, 'x');
  long_value[98] = 'y';
  IniFile ini = Parsed("[s]\nk=" + long_value + "\n");
  std::string read = ini.GetString("s", "k", "");
  EXPECT_EQ(read.size(), 99u);
  EXPECT_EQ(read.back(), 'y');
  EXPECT_EQ(ini.GetString("s", "k", "", 5), "xxxxx");
  EXPECT_EQ(ini.GetString("s", "none", std::string(150, 'd')).size(), 99u);
}

TEST(IniFileTest, IntegerReading) {
  IniFile ini = Parsed(
      "[s]\n"
      "a=12abc\nb=abc\nc=-3\nd=+7\ne=\nf= 42 \ng=4294967297\nh=1.9\ni=- 5\n");
  EXPECT_EQ(ini.GetInt("s", "a", 9), 12);
  EXPECT_EQ(ini.GetInt("s", "b", 9), 0);
  EXPECT_EQ(ini.GetInt("s", "c", 9), -3);
  EXPECT_EQ(ini.GetInt("s", "d", 9), 7);
  EXPECT_EQ(ini.GetInt("s", "e", 9), 9);  // an empty value reads as missing
  EXPECT_EQ(ini.GetInt("s", "f", 9), 42);
  EXPECT_EQ(ini.GetInt("s", "g", 9), 1);  // wraps at 32 bits like the system's reader
  EXPECT_EQ(ini.GetInt("s", "h", 9), 1);
  EXPECT_EQ(ini.GetInt("s", "i", 9), 0);
  EXPECT_EQ(ini.GetInt("s", "missing", 9), 9);
  EXPECT_EQ(ini.GetInt("nosection", "a", -4), -4);
}

TEST(IniFileTest, DuplicateKeyFirstOneCounts) {
  IniFile ini = Parsed("[s]\r\nk=1\r\nK=2\r\n[S]\r\nk=3\r\n");
  EXPECT_EQ(ini.Find("s", "k"), "1");
  ini.Set("s", "k", "5");
  EXPECT_EQ(ini.Serialize(), "[s]\r\nk=5\r\nK=2\r\n[S]\r\nk=3\r\n");
}

TEST(IniFileTest, SetReplacesInPlaceAndKeepsEverythingElse) {
  const std::string text =
      "; machine settings\r\n"
      "[First]\r\n"
      "a=1\r\n"
      "\r\n"
      "[Line1]\r\n"
      "  motrice = 3   \r\n"
      "Cnc=0\r\n"
      "; unit rows follow\r\n"
      "\r\n"
      "[Last]\r\n"
      "z=9";  // no line end on the last line
  IniFile ini = Parsed(text);
  EXPECT_EQ(ini.Serialize(), text);

  ini.Set("LINE1", "Motrice", "4");
  ini.Set("Line1", "Unite1", "1,Y1,12,,22");
  ini.Set("Line1", "Unite2", "");
  ini.Set("First", "b", "2");
  ini.Set("Last", "y", "8");
  ini.Set("New", "k", "v");
  ini.Set("New", "k2", "v2\r\nbroken=1");  // a value never spans lines
  EXPECT_EQ(ini.Serialize(),
            "; machine settings\r\n"
            "[First]\r\n"
            "a=1\r\n"
            "b=2\r\n"
            "\r\n"
            "[Line1]\r\n"
            "  motrice = 4\r\n"
            "Cnc=0\r\n"
            "Unite1=1,Y1,12,,22\r\n"
            "Unite2=\r\n"
            "; unit rows follow\r\n"
            "\r\n"
            "[Last]\r\n"
            "z=9\r\n"
            "y=8\r\n"
            "\r\n"
            "[New]\r\n"
            "k=v\r\n"
            "k2=v2\r\n");
  EXPECT_EQ(ini.Find("line1", "MOTRICE"), "4");
  EXPECT_EQ(ini.Find("New", "k2"), "v2");
}

TEST(IniFileTest, LineEndsFollowTheFile) {
  IniFile lf = Parsed("[s]\nk=1\n");
  EXPECT_EQ(lf.LineEnd(), "\n");
  lf.Set("s", "j", "2");
  lf.Set("t", "k", "3");
  EXPECT_EQ(lf.Serialize(), "[s]\nk=1\nj=2\n\n[t]\nk=3\n");

  IniFile fresh;
  fresh.Parse("");
  fresh.Set("Line1", "Motrice", "4");
  fresh.Set("Line1", "Cnc", "0");
  EXPECT_EQ(fresh.Serialize(), "[Line1]\r\nMotrice=4\r\nCnc=0\r\n");

  // Lone CRs are line ends too, and a byte-order mark stays where it was.
  IniFile cr = Parsed("\xEF\xBB\xBF[s]\rk=1\r");
  EXPECT_EQ(cr.Find("s", "k"), "1");
  cr.Set("s", "j", "2");
  EXPECT_EQ(cr.Serialize(), "\xEF\xBB\xBF[s]\rk=1\rj=2\r");

  // A section without keys takes its first key right after the header.
  IniFile empty_section = Parsed("[a]\r\n\r\n[b]\r\n");
  empty_section.Set("a", "k", "1");
  EXPECT_EQ(empty_section.Serialize(), "[a]\r\nk=1\r\n\r\n[b]\r\n");
}

TEST(IniFileTest, ManyKeysInOneSection) {
  IniFile ini;
  ini.Parse("[s]\r\n");
  for (int i = 0; i < 20000; ++i) ini.Set("s", "Poincon" + std::to_string(i), "1,2,3,");
  for (int i = 0; i < 20000; i += 2) ini.Set("S", "POINCON" + std::to_string(i), "x");
  EXPECT_EQ(ini.Find("s", "poincon19998"), "x");
  EXPECT_EQ(ini.Find("s", "poincon19999"), "1,2,3,");
  IniFile again;
  again.Parse(ini.Serialize());
  EXPECT_EQ(again.Serialize(), ini.Serialize());
  EXPECT_EQ(again.Find("s", "Poincon0"), "x");
}

class IniFileDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test_support::MakeTempDir("barpost-ini");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(IniFileDiskTest, MissingFileReadsEmptyAndSaveLeavesNoTemporary) {
  std::string path = (dir_ / "barpost.ini").string();
  IniFile ini;
  std::string error;
  ASSERT_TRUE(ini.Load(path, &error));
  EXPECT_EQ(ini.Serialize(), "");
  ini.Set("Line1", "Motrice", "4");
  ASSERT_TRUE(ini.Save(path, &error)) << error;

  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(path, &text, &error));
  EXPECT_EQ(text, "[Line1]\r\nMotrice=4\r\n");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    EXPECT_EQ(entry.path().filename(), "barpost.ini");
    ++files;
  }
  EXPECT_EQ(files, 1);

  // A file in a folder that does not exist cannot be written.
  EXPECT_FALSE(ini.Save((dir_ / "no" / "such.ini").string(), &error));
  EXPECT_NE(error.find("such.ini: "), std::string::npos) << error;
}

}  // namespace
