#include "output/nc_control.h"

#include <gtest/gtest.h>

#include "output/output_test_util.h"

namespace {

// Runs the control over the operations in the given order, the program end
// included, and returns the text with "\n" line ends.
class ControlRun {
 public:
  explicit ControlRun(int cnc, int ligne = 1) {
    options.Cnc = cnc;
    options.Ligne = ligne;
    program.length = 6000;
  }

  std::string Body(const std::vector<CUsi>& ops) {
    return Run([&](NcControl& control) {
      double last_x = 0;
      for (const CUsi& u : ops) {
        control.BeforeOperation(u);
        if (u.m_cType == 'C') control.Cut(u);
        if (u.m_cType == 'D') control.Hole(u);
        if (u.m_cType == 'M') control.Mark(u);
        if (u.m_cType == 'C' || u.m_cType == 'D' || u.m_cType == 'M') last_x = u.m_dXMachine;
      }
      control.End(last_x);
    });
  }

  template <typename F>
  std::string Run(F f) {
    std::string out;
    NcText nc(out, options.Ligne != 0, program.inch, 0);
    MacroLibrary macros("/nonexistent/");
    std::unique_ptr<NcControl> control = MakeNcControl(NcContext{nc, program, options, macros});
    f(*control);
    return Lf(nc.out());
  }

  std::string Comment(const std::string& text) {
    return Run([&](NcControl& control) { control.Comment(text); });
  }
  std::string Preamble() {
    return Run([&](NcControl& control) { control.Preamble(); });
  }

  NcProgram program;
  OptionValues options;
};

void SetAllClamps(OptionValues& options, double open_from, double close_from) {
  for (int i = 0; i < 6; ++i) {
    options.Clamp_Open[i] = std::to_string(open_from + 100 * i);
    options.Clamp_Close[i] = std::to_string(close_from + 100 * i);
  }
}

}  // namespace

TEST(NcControl, CommentsOfEachControl) {
  EXPECT_EQ(ControlRun(0).Comment("Tooling 15 char"), "N2;Tooling 15 char\n");
  EXPECT_EQ(ControlRun(1).Comment("Tooling 15 char"),
            "N2(Tooling 15 char" + std::string(23, ' ') + ")\n");
  EXPECT_EQ(ControlRun(2).Comment("Tooling 15 char"), ";Tooling 15 char\n");
  // Unknown controls write like the Fagor.
  EXPECT_EQ(ControlRun(7).Comment("x"), "N2(x" + std::string(37, ' ') + ")\n");
  // Long texts are not cut.
  const std::string long_text(45, 'L');
  EXPECT_EQ(ControlRun(1, 0).Comment(long_text), "(" + long_text + ")\n");
}

TEST(NcControl, SiemensPreamble) {
  ControlRun run(0);
  run.program.profile_h = 100;
  run.program.profile_w = 50.5;
  run.program.bar_sc = 10;
  EXPECT_EQ(run.Preamble(),
            "N2G710\nN4G00\nN6G90\nN8G500\nN10R9=0\nN12H1=100\nN14H2=50.5\nN16M51\n"
            "N18_XREF(-10)\n");

  // Signoscript: the jump lands on the line after G74W0. Off_YZ replaces
  // both profile sizes; without a squaring cut X is referenced at 0.
  run.options.Mark_Device = 2;
  run.options.Off_YZ = "30";
  run.program.bar_sc = 0;
  EXPECT_EQ(run.Preamble(),
            "N2G710\nN4G00\nN6G90\nN8IF $AA_REF[W] < >0 GOTOF N12\nN10G74W0\nN12G500\n"
            "N14R9=0\nN16H1=30\nN18H2=30\nN20M51\nN22_XREF(0)\n");

  // Without line numbers the target still counts the lines.
  run.options.Ligne = 0;
  EXPECT_EQ(run.Preamble(),
            "G710\nG00\nG90\nIF $AA_REF[W] < >0 GOTOF N12\nG74W0\nG500\nR9=0\nH1=30\nH2=30\n"
            "M51\n_XREF(0)\n");

  run.options.Mark_Device = 1;
  EXPECT_EQ(run.Preamble(), "G710\nG00\nG90\n_WREF\nG500\nR9=0\nH1=30\nH2=30\nM51\n_XREF(0)\n");
}

TEST(NcControl, FagorAndClipperPreambles) {
  ControlRun fagor(1);
  fagor.options.Off_YZ = "12.5";
  fagor.program.bar_sc = 7;
  fagor.program.inch = 1;
  EXPECT_EQ(fagor.Preamble(),
            "N2G70\nN4G74X\nN6G00\nN8G90\nN10.G74YZ\nN12Y0.4921Z0.4921M26\nN14G92X-0.2756\n");
  fagor.program.inch = 0;
  fagor.program.bar_sc = 0;
  EXPECT_EQ(fagor.Preamble(),
            "N2G71\nN4G74X\nN6G00\nN8G90\nN10.G74YZ\nN12Y12.5Z12.5M26\nN14G92X0\n");
  EXPECT_EQ(fagor.Run([](NcControl& c) { c.FirstLine(); }), "%00001\n");

  ControlRun clipper(2);
  clipper.program.profile = "L100x10";
  clipper.program.length = 254;
  clipper.options.units.Add(rec_uni{"1", "Y1", "11", "", "22"});
  clipper.options.units.Add(rec_uni{"", "Y2", "12", "", "18"});
  clipper.options.units.Add(rec_uni{"2", "Y3", "13", "", "26X60-45"});
  // Two units in use: the first two rows of the table, the unused one too.
  EXPECT_EQ(clipper.Preamble(),
            "\nINCH\nTOOLS(Y1, 22, 0, 0)\nTOOLS(Y2, 18, 0, 0)\n"
            "MATERIAL(L, \"L100x10\", 254)\n\n");
}

TEST(NcControl, ClampsWithoutClampOptions) {
  // All positions 0: clamps 2 to 6 close at the first X above 0 and every
  // clamp opens once X passes the bar length less the squaring cut.
  ControlRun run(0);
  run.program.length = 1000;
  run.program.bar_sc = 10;
  EXPECT_EQ(run.Body({Cut(0), Cut(50), Cut(995)}),
            "N2X0\nN4M5\n"
            "N6G64X0\nN8M52\nN10X0\nN12M53\nN14X0\nN16M54\nN18X0\nN20M55\nN22X0\nN24M56\n"
            "N26G60\nN28X50\nN30M5\n"
            "N32G64X1000\nN34M61\nN36X1000\nN38M62\nN40X1000\nN42M63\nN44X1000\nN46M64\n"
            "N48X1000\nN50M65\nN52X1000\nN54M66\nN56G60\nN58X995\nN60M5\n"
            "N62M30\n");
}

TEST(NcControl, ClampsStillClosedOpenAtTheEnd) {
  ControlRun run(0);
  run.program.length = 2000;
  SetAllClamps(run.options, 0, 0);  // clamp 2 closes at 100, clamp 6 at 500
  EXPECT_EQ(run.Body({Cut(150)}),
            "N2G64X100\nN4M52\nN6G60\nN8X150\nN10M5\n"
            "N12M61\nN14M62\nN16M30\n");
  // Clamp 6 gets an X move six inches past the last operation first.
  EXPECT_EQ(run.Body({Cut(650)}),
            "N2G64X100\nN4M52\nN6X200\nN8M53\nN10X300\nN12M54\nN14X400\nN16M55\nN18X500\n"
            "N20M56\nN22G60\nN24X650\nN26M5\n"
            "N28M61\nN30M62\nN32M63\nN34M64\nN36M65\nN38X802.4\nN40M66\nN42M30\n");
}

TEST(NcControl, SignomatRetractsBeforeClampsNearTheBarEnd) {
  ControlRun run(0, 0);
  run.options.Mark_Device = 1;
  run.program.length = 1000;
  run.program.max_x = 500;
  SetAllClamps(run.options, -300, 950);  // clamps 2+ close beyond the bar
  run.options.Clamp_Close[1] = "900";    // 900 > 1000 - 120
  EXPECT_EQ(run.Body({Mark(100, 20, 'A', 12.5, 33), Cut(950)}),
            "W=DC(12.50)X100\nM33\n"
            "G64X700\nM61\nM39\nX900\nM52\nG60\nX950\nM5\n"
            "M62\nM30\n");
  // Before m_dMaxX an opening does not retract the marker.
  run.program.max_x = 2000;
  run.options.Clamp_Close[1] = "2000";
  run.options.Clamp_Open[0] = "-50";  // opens at 950 > 880
  EXPECT_EQ(run.Body({Cut(960)}), "G64X950\nM61\nG60\nX960\nM5\nM30\n");
  run.program.max_x = 900;
  EXPECT_EQ(run.Body({Cut(960), Cut(970)}), "M39\nG64X950\nM61\nG60\nX960\nM5\nX970\nM5\nM30\n");
}

TEST(NcControl, MiddleRemnant) {
  ControlRun run(0, 0);
  run.program.length = 3000;
  run.program.middle_remnant = 1;
  run.program.middle_x = 3500;
  SetAllClamps(run.options, 500, 10000);  // no other clamp moves
  CUsi r1 = Cut(100);
  r1.m_bRemnant = 1;
  CUsi r2 = Cut(200);
  r2.m_bRemnant = 1;
  EXPECT_EQ(run.Body({r1, r2, Cut(300), r2}),
            "G64X3500\nM61\nG60\nX2974.6\n_XREF(3000)\nG54\nG64X3500\nM51\nG60\nX100\nM5\n"
            "X200\nM5\n"
            "G500\nX300\nM5\n"
            "G54\nX200\nM5\n"
            "M61\nM30\n");
  // Without the middle remnant, remnant operations only switch frames.
  run.program.middle_remnant = 0;
  EXPECT_EQ(run.Body({r1, Cut(300)}), "G54\nX100\nM5\nG500\nX300\nM5\nM61\nM30\n");
}

TEST(NcControl, HolesRememberYPerUnit) {
  ControlRun siemens(0, 0);
  SetAllClamps(siemens.options, 0, 100000);
  siemens.program.length = 100000;
  EXPECT_EQ(siemens.Body({Hole(10, 0, 0, "Y1", 11), Hole(20, 35, 0, "Y1", 11),
                          Hole(30, 35, 0, "Y1", 11), Hole(40, 35, 1, "Y2", 12),
                          Hole(50, 35.5, 7, "Y8", 18), Hole(60, 35.5, 7, "Y8", 18)}),
            "X10\nM11\nX20Y1=35\nM11\nX30\nM11\nX40Y2=35\nM12\nX50Y8=35.5\nM18\n"
            "X60Y8=35.5\nM18\nM61\nM30\n");

  ControlRun fagor(1, 0);
  EXPECT_EQ(fagor.Body({Hole(10, 0, 0, "Y1", 11), Hole(20, 35, 0, "Y1", 11),
                        Hole(30, 35, 0, "Y1", 11), Cut(40, 7)}),
            "X10M11\nX20Y135M11\nX30M11\nX40M7\nM30\n");
}

TEST(NcControl, ClipperBlocksAndEnd) {
  ControlRun run(2);
  run.options.Mark_Device = 2;  // the Clipper marks with its own CHAR cycle
  EXPECT_EQ(run.Body({Cut(10), Hole(20, 30, 0, "P1", 11), Mark(40.5, 12, 'K'), CUsi()}),
            "N0: SHEAR(0, 10)\nN2: PUNCH(P1, 1, 20, 30)\nN4: CHAR(K, 0, 1, 40.5, 12)\n"
            "N6: MOVE(X,  192.9)\n");
}

TEST(NcControl, MarksWithoutDeviceWriteNothing) {
  ControlRun run(1, 0);
  EXPECT_EQ(run.Body({Cut(10), Mark(40, 12, 'K')}), "X10M5\nM30\n");
}
