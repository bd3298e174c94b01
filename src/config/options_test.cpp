#include "config/options.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <thread>
#include <filesystem>
#include <string>

#include "base/platform.h"
#include "base/test_support.h"

namespace {

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = test_support::MakeTempDir("barpost-opt");
    ASSERT_FALSE(dir_.empty());
    path_ = (dir_ / "barpost.ini").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteText(const std::string& text) {
    std::string error;
    ASSERT_TRUE(platform::ReplaceFileAtomically(path_, text, &error)) << error;
  }
  std::string ReadText() {
    std::string text, error;
    EXPECT_TRUE(platform::ReadWholeFile(path_, &text, &error)) << error;
    return text;
  }

  std::filesystem::path dir_;
  std::string path_;
};

// Every key of a machine section saved from the defaults, in order.
const char kDefaultSection[] =
    "[Line1]\r\n"
    "Motrice=4\r\nCnc=0\r\nUnite=0\r\nLigne=1\r\nMark_Auto=0\r\nMark_Auto_PLM=0\r\n"
    "Mark_Forcer=0\r\nMark_Sens=0\r\nMark_Niv=0\r\nMark_X=\r\nMark_Y=\r\nMark_XMin=\r\n"
    "Mark_Off=\r\nMark_NbCar=\r\nMark_LgCar=\r\nMark_HtCar=\r\nMark_Cod=\r\nMark_Device=0\r\n"
    "Mark_String=\r\nMark_Speed=3000\r\nMark_Typ=1\r\nMark_Sep=\r\n"
    "Mark_Cat=OOOOOOOOOOOOOOOOOOOO\r\nCateg=NNNNNNNNNONNNNNNNNNO\r\n"
    "Defaut=00000000000000000000\r\nXSym=NNNNNNNNNNNNNNNNNNNN\r\nYSym=NNNNNNNNNNNNNNNNNNNN\r\n"
    "Rotat=NNNNNNNNNNNNNNNNNNNN\r\nOrgDef=44114121141444111424\r\n"
    "NbVert=\r\nNbHorz=\r\nVLarg=\r\nVProf=\r\nHLarg=\r\nHProf=\r\nSRS=\r\nSL=\r\nSP=\r\nSC=\r\n"
    "TEC=0\r\n"
    "Off_X1=\r\nOff_X2=\r\nOff_X3=\r\nOff_X4=\r\nOff_X5=\r\nOff_X6=\r\n"
    "Clamp_Open1=\r\nClamp_Open2=\r\nClamp_Open3=\r\nClamp_Open4=\r\nClamp_Open5=\r\n"
    "Clamp_Open6=\r\n"
    "Clamp_Close1=\r\nClamp_Close2=\r\nClamp_Close3=\r\nClamp_Close4=\r\nClamp_Close5=\r\n"
    "Clamp_Close6=\r\n"
    "Off_Scie=\r\nOff_Marq=\r\nOff_R99=\r\nOff_YZ=\r\n"
    "Off_Rugosite=\r\n"  // Rugosite missing: the roughness is empty
    "Off_Recul=\r\nOff_Lacher=\r\nOff_Vitesse=\r\nLgBarre=\r\nCoupe=0\r\n"
    "Unite1=,,,,\r\nUnite2=,,,,\r\nUnite3=,,,,\r\nUnite4=,,,,\r\nUnite5=,,,,\r\nUnite6=,,,,\r\n"
    "Fctcoupe=25\r\nDir=C:\\Temp\\\r\n"
    "Poincon0=\r\nRugosite=\r\nOutil0=\r\n";

TEST_F(OptionsTest, DefaultsAndFirstSave) {
  g_options.Motrice = 99;
  g_options.poincons.Add(CPoincon(1, 1, 1));
  LoadOptions(path_, "Line1");  // no file
  const OptionValues& o = g_options;
  EXPECT_EQ(o.Motrice, 4);
  EXPECT_EQ(o.Ligne, 1);
  EXPECT_EQ(o.Cnc, 0);
  EXPECT_EQ(o.Fctcoupe, "25");
  EXPECT_EQ(o.Dir, "C:\\Temp\\");
  EXPECT_EQ(o.Mark_Speed, "3000");
  EXPECT_EQ(o.Mark_Typ, "1");
  EXPECT_EQ(o.markPart, 1);
  EXPECT_EQ(o.markContract + o.markJob + o.markDrawing + o.markAssembly, 0);
  EXPECT_EQ(o.Categ, "NNNNNNNNNONNNNNNNNNO");
  EXPECT_EQ(o.OrgDef, "44114121141444111424");
  EXPECT_EQ(o.Rugosite, "");
  ASSERT_EQ(o.units.GetSize(), 6);
  for (const rec_uni& u : o.units) {
    EXPECT_EQ(u.level + u.axis + u.mfunc + u.spare + u.diameter, "");
  }
  EXPECT_TRUE(o.poincons.IsEmpty());
  EXPECT_TRUE(o.outils.IsEmpty());
  EXPECT_EQ(g_sIniDir, dir_.string() + platform::PreferredSeparator());

  std::string error;
  ASSERT_TRUE(SaveOptions(path_, "Line1", &error)) << error;
  EXPECT_EQ(ReadText(), kDefaultSection);
  // A save if changed of what the file holds leaves the file alone (its
  // time stays old); a changed value puts a new file in its place, so a
  // second name keeps the old text. Times and texts, not link counts: Wine
  // reports one link for every file.
  namespace fs = std::filesystem;
  const fs::file_time_type day_ago =
      fs::file_time_type::clock::now() - std::chrono::hours(24);
  fs::last_write_time(path_, day_ago);
  const SaveWhen changed = SaveWhen::kIfChanged;
  ASSERT_TRUE(SaveOptions(path_, "Line1", nullptr, changed) &&
              WriteIniKey(path_, "Line1", "Fctcoupe", "25", nullptr, changed));
  EXPECT_LT(fs::last_write_time(path_), day_ago + std::chrono::hours(1));
  const std::string second = (dir_ / "second.ini").string();
  fs::create_hard_link(path_, second);
  ASSERT_TRUE(WriteIniKey(path_, "Line1", "Fctcoupe", "27", nullptr, changed));
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(second, &text, &error)) << error;
  EXPECT_EQ(text, kDefaultSection);
  const std::string third = (dir_ / "third.ini").string();
  fs::create_hard_link(path_, third);
  ASSERT_TRUE(SaveOptions(path_, "Line1"));  // always: replaced even so
  EXPECT_EQ(ReadText(), kDefaultSection);    // Fctcoupe=25 again
  ASSERT_TRUE(platform::ReadWholeFile(third, &text, &error)) << error;
  EXPECT_NE(text.find("Fctcoupe=27"), std::string::npos);

  // An empty file and a file without the section read the same.
  WriteText("");
  LoadOptions(path_, "Line1");
  EXPECT_EQ(g_options.Motrice, 4);
  EXPECT_EQ(g_options.units.GetSize(), 6);
  WriteText("[Other]\r\nMotrice=2\r\n");
  LoadOptions(path_, "Line1");
  EXPECT_EQ(g_options.Motrice, 4);
}

// A file name beyond ASCII, 8-bit in the host's code page (0xE9,
// an e with an acute accent in code page 1252 and in Latin-1): loaded, saved
// and loaded again like any other.
TEST_F(OptionsTest, PathsBeyondAscii) {
  const std::string path = dir_.string() + platform::PreferredSeparator() + "Ligne" +
                           static_cast<char>(0xE9) + ".ini";
  std::string error;
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "[Line1]\r\nMotrice=2\r\n", &error)) << error;
  LoadOptions(path, "Line1");
  EXPECT_EQ(g_options.Motrice, 2);
  g_options.Motrice = 3;
  ASSERT_TRUE(SaveOptions(path, "Line1", &error)) << error;
  LoadOptions(path, "Line1");
  EXPECT_EQ(g_options.Motrice, 3);
}

TEST_F(OptionsTest, IniDirectory) {
  LoadOptions("C:\\Lines\\cfg\\barpost.ini", "Line1");
  EXPECT_EQ(g_sIniDir, "C:\\Lines\\cfg\\");
  LoadOptions("/etc/barpost/x\\barpost.ini", "Line1");
  EXPECT_EQ(g_sIniDir, "/etc/barpost/x\\");
  LoadOptions("cfg\\sub/barpost.ini", "Line1");
  EXPECT_EQ(g_sIniDir, "cfg\\sub/");
  LoadOptions("barpost.ini", "Line1");
  EXPECT_EQ(g_sIniDir, "");
}

TEST_F(OptionsTest, ValuesAndRowsRoundTrip) {
  const std::string long_value(120, 'S');
  WriteText(
      "; shared by the line's programs\r\n"
      "[Other]\r\n"
      "Motrice=2\r\n"
      "\r\n"
      "[line1]\r\n"
      "motrice=abc\r\n"
      "Ligne=0\r\n"
      "Mark_Typ=5\r\n"
      "Mark_String=" + long_value + "\r\n"
      "Nomfic=B0012\r\n"
      "Custom=kept\r\n"
      "Unite1=2,Y2,15,,20.5\r\n"
      "Unite2=1,Y4\r\n"
      "Unite3=1,Y1,12,x,22X60-45,extra\r\n"
      "Off_Rugosite=3\r\n"
      "Rugosite=6.3\r\n"
      "Poincon0=22,12,5\r\n"
      "Poincon1=18,10,3\r\n"
      "Poincon2=0,10,5\r\n"
      "Poincon3=20,10,1,\r\n"
      "Poincon4=?\r\n"
      "Poincon5=30,15,0\r\n"
      "Outil0=0,12,0,0\r\n"
      "Outil1=4,12,40,0\r\n"
      "Outil2=0,0,0,0\r\n"
      "Outil3=3,0,40,20\r\n"
      "Outil4=\r\n"
      "Outil5=0,8,0,0\r\n"
      "; end of line 1\r\n");
  LoadOptions(path_, "LINE1");
  OptionValues& o = g_options;
  EXPECT_EQ(o.Motrice, 0);
  EXPECT_EQ(o.Ligne, 0);
  EXPECT_EQ(o.markDrawing, 1);
  EXPECT_EQ(o.markPart, 1);
  EXPECT_EQ(o.markContract + o.markJob + o.markAssembly, 0);
  EXPECT_EQ(o.Mark_String, long_value.substr(0, 99));
  EXPECT_EQ(o.Rugosite, "6.3");

  // The rows read show in the saved text below: punches ordered by tool
  // diameter, equal tools in file order, 0,10,5 dropped and the list going
  // on, "?" ending it; short unit rows padded, long ones cut.
  o.markJob = 1;
  std::string error;
  ASSERT_TRUE(SaveOptions(path_, "Line1", &error)) << error;
  EXPECT_EQ(o.Mark_Typ, "13");
  std::string text = ReadText();

  auto has = [&](const std::string& line) {
    return text.find("\r\n" + line + "\r\n") != std::string::npos;
  };
  EXPECT_TRUE(text.starts_with(
      "; shared by the line's programs\r\n[Other]\r\nMotrice=2\r\n\r\n[line1]\r\nmotrice=0\r\n"
      "Ligne=0\r\nMark_Typ=13\r\nMark_String=" + long_value.substr(0, 99) +
      "\r\nNomfic=B0012\r\nCustom=kept\r\n"
      "Unite1=2,Y2,15,,20.5\r\nUnite2=1,Y4,,,\r\nUnite3=1,Y1,12,x,22X60-45\r\n"
      "Off_Rugosite=6.3\r\nRugosite=6.3\r\n"
      "Poincon0=18.000,10.000,3.000,\r\nPoincon1=20.000,10.000,1.000,\r\n"
      "Poincon2=22.000,12.000,5.000,\r\nPoincon3=\r\n"
      "Poincon4=?\r\nPoincon5=30,15,0\r\n"  // beyond the end: kept, no longer read
      "Outil0=0,12.00,12.00,0.00\r\nOutil1=4,12.00,40.00,0.00\r\n"
      "Outil2=3,0.00,40.00,20.00\r\nOutil3=\r\nOutil4=\r\nOutil5=0,8,0,0\r\n"))
      << text;
  // New keys go after the last key of the section, before its closing comment.
  EXPECT_TRUE(text.ends_with("Unite6=,,,,\r\nFctcoupe=25\r\nDir=C:\\Temp\\\r\n"
                             "; end of line 1\r\n"))
      << text;
  EXPECT_TRUE(has("Motrice=2"));  // the other section is untouched
  for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', nl + 1))
    ASSERT_EQ(text[nl - 1], '\r') << "line end at " << nl;  // CR LF throughout
  EXPECT_EQ(text.find("[Line1]"), std::string::npos);

  // Loading the saved file gives the same record.
  LoadOptions(path_, "Line1");
  EXPECT_EQ(g_options.poincons.GetSize(), 3);
  EXPECT_EQ(g_options.outils.GetSize(), 3);
  EXPECT_EQ(g_options.markJob, 1);
  EXPECT_EQ(g_options.units[1].level, "1");

  // Written into a new file, the rows come last: punches, Rugosite, tools.
  std::string other = (dir_ / "new.ini").string();
  ASSERT_TRUE(SaveOptions(other, "Line2", &error)) << error;
  std::string fresh;
  ASSERT_TRUE(platform::ReadWholeFile(other, &fresh, &error));
  EXPECT_TRUE(fresh.ends_with(
      "Dir=C:\\Temp\\\r\n"
      "Poincon0=18.000,10.000,3.000,\r\nPoincon1=20.000,10.000,1.000,\r\n"
      "Poincon2=22.000,12.000,5.000,\r\nPoincon3=\r\n"
      "Rugosite=6.3\r\n"
      "Outil0=0,12.00,12.00,0.00\r\nOutil1=4,12.00,40.00,0.00\r\n"
      "Outil2=3,0.00,40.00,20.00\r\nOutil3=\r\n"))
      << fresh;
  EXPECT_EQ(fresh.find("Nomfic"), std::string::npos);

  // A later load replaces everything, tables included.
  LoadOptions((dir_ / "missing.ini").string(), "Line1");
  EXPECT_TRUE(g_options.poincons.IsEmpty());
  EXPECT_TRUE(g_options.outils.IsEmpty());
  EXPECT_EQ(g_options.Mark_String, "");
}

TEST_F(OptionsTest, MarkTypAndRoughnessEdges) {
  WriteText("[Line1]\nMark_Typ=x\nOff_Rugosite=3\nMotrice=7\n");
  LoadOptions(path_, "Line1");
  EXPECT_EQ(g_options.markContract + g_options.markJob + g_options.markDrawing +
                g_options.markAssembly + g_options.markPart,
            0);
  EXPECT_EQ(g_options.Mark_Typ, "x");
  EXPECT_EQ(g_options.Rugosite, "");  // Rugosite missing
  EXPECT_EQ(g_options.Motrice, 7);    // no range check
  ASSERT_TRUE(SaveOptions(path_, "Line1"));
  EXPECT_EQ(g_options.Mark_Typ, "0");
  std::string text = ReadText();
  EXPECT_TRUE(text.starts_with("[Line1]\nMark_Typ=0\nOff_Rugosite=\nMotrice=7\n")) << text;
  EXPECT_EQ(text.find('\r'), std::string::npos);  // LF file stays LF

  WriteText("[Line1]\r\nMark_Typ=31\r\n");
  LoadOptions(path_, "Line1");
  EXPECT_EQ(g_options.markContract + g_options.markJob + g_options.markDrawing +
                g_options.markAssembly + g_options.markPart,
            5);
  EXPECT_EQ(g_options.Rugosite, "");
}

TEST_F(OptionsTest, WriteFailuresAreReported) {
  // The INI path names a folder: it can be neither read nor replaced.
  std::filesystem::create_directory(dir_ / "folder.ini");
  g_options = OptionValues();
  g_options.markPart = 1;
  g_options.markContract = 1;
  std::string error;
  EXPECT_FALSE(SaveOptions((dir_ / "folder.ini").string(), "Line1", &error));
  EXPECT_NE(error.find("folder.ini: "), std::string::npos) << error;
  EXPECT_EQ(g_options.Mark_Typ, "17");
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder.ini"));

  error.clear();
  EXPECT_FALSE(SaveOptions((dir_ / "no" / "barpost.ini").string(), "Line1", &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(OptionsTest, SingleKeys) {
  WriteText("[Line1]\r\nMotrice=3\r\nNomfic=old\r\n[Line2]\r\nNomfic=two\r\n");
  EXPECT_EQ(ReadIniKey(path_, "line1", "NOMFIC", "", 99), "old");
  EXPECT_EQ(ReadIniKey(path_, "Line3", "Nomfic", "none", 99), "none");
  EXPECT_EQ(ReadIniKey(path_, "Line2", "Nomfic", "", 2), "tw");
  ASSERT_TRUE(WriteIniKey(path_, "Line1", "Nomfic", "B0012"));
  ASSERT_TRUE(WriteIniKey(path_, "Line3", "Nomfic", "P7"));
  EXPECT_EQ(ReadText(),
            "[Line1]\r\nMotrice=3\r\nNomfic=B0012\r\n[Line2]\r\nNomfic=two\r\n"
            "\r\n[Line3]\r\nNomfic=P7\r\n");

  std::string missing = (dir_ / "none.ini").string();
  EXPECT_EQ(ReadIniKey(missing, "Line1", "Nomfic", "d", 99), "d");
  ASSERT_TRUE(WriteIniKey(missing, "Line1", "Nomfic", "B1"));
  EXPECT_EQ(ReadIniKey(missing, "Line1", "Nomfic", "", 99), "B1");
}

// Two savers at once, here two threads as two programs of the shop would
// be: each re-reads the file under the lock, so neither loses the other's
// section.
TEST_F(OptionsTest, ConcurrentSavesKeepEachOthersKeys) {
  WriteText("[A]\r\nn=-1\r\n[B]\r\nn=-1\r\n");
  auto saver = [this](const char* section) {
    for (int i = 0; i < 200; ++i)
      ASSERT_TRUE(WriteIniKey(path_, section, "n", std::to_string(i)));
  };
  std::thread a(saver, "A"), b(saver, "B");
  a.join();
  b.join();
  EXPECT_EQ(ReadIniKey(path_, "A", "n", "", 99), "199");
  EXPECT_EQ(ReadIniKey(path_, "B", "n", "", 99), "199");
}

// A decimal-comma locale, as a host or the Qt windows may set, changes
// neither what is read nor what is written.
TEST_F(OptionsTest, RowsRoundTripUnderADecimalCommaLocale) {
  WriteText("[Line1]\r\nPoincon0=22.5,12.25,5,\r\nOutil0=4,12.5,40,0\r\nOff_R99=2.5\r\n");
  ASSERT_NE(std::setlocale(LC_ALL, test_support::kDecimalCommaLocale), nullptr);
  LoadOptions(path_, "Line1");
  ASSERT_EQ(g_options.poincons.GetSize(), 1);
  EXPECT_EQ(g_options.poincons[0].m_dDiameter, 22.5);
  ASSERT_TRUE(SaveOptions(path_, "Line1"));
  std::setlocale(LC_ALL, "C");
  const std::string text = ReadText();
  EXPECT_NE(text.find("Poincon0=22.500,12.250,5.000,\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Outil0=4,12.50,40.00,0.00\r\n"), std::string::npos) << text;
}

}  // namespace
