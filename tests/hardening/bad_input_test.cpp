// A catalogue of bad input, run through the module's entry points the way a
// CAM host calls them (module loaded at run time, BARPOST_UI=auto). Each row
// is one malformed job file, INI file, path or macro folder with the outcome
// the host and the operator get: the result code, whether a program is
// written, what the operator reads on standard error and what becomes of
// the INI file. Every row runs in a child process so that a crash, a hang
// or a runaway allocation is reported for that row instead of taking the
// test program down; the child's time and peak memory are bounded.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/test_support.h"
#include "child_process.h"
#include "host/barpost.h"

namespace fs = std::filesystem;
using hardening::ChildArgs;
using hardening::ChildOptions;
using hardening::ChildRun;
using hardening::RunInChild;

namespace {

using test_support::Slurp;

using test_support::Spit;

std::string Example(const char* name) {
  return Slurp(fs::path(BARPOST_SOURCE_DIR) / "examples" / name);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

// --- Job texts. One angle with two holes that units 1 and 2 of ANGLE1
// punch, nested on a bar qty times.
const std::string kPiece =
    "*PIECE\nPCE_NAM=P1\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=A\nCATEGORY=Y\nSECTION=100 100\n"
    "LENGTH=1000\nHOLE level=0 kind=0 d=22 x=100 y=40\nHOLE level=0 kind=0 d=18 x=500 y=60\n";

std::string Bar(const std::string& qty) {
  return "*BAR\nBAR_PRO=L100X100X10\nBAR_LEN=6000\nBAR_SC=10\nBAR_SL=3\nBAR_BON=7\nBAR_IDT=1\n"
         "CATEGORY=Y\nSECTION=100 100\nITEM com=C pce=P1 dwg=D ass=A length=1000 qty=" +
         qty + " turn=N\n";
}

// The piece with twenty holes: ten million operations come from half a
// million pieces, long before the positions leave any bar.
std::string ManyHolePiece() {
  std::string text = kPiece;
  for (int i = 0; i < 18; ++i)
    text += "HOLE level=0 kind=0 d=22 x=" + std::to_string(120 + 40 * i) + " y=40\n";
  return text;
}

std::string PieceWithHole(const std::string& hole_fields) {
  return "*PIECE\nPCE_NAM=P1\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=A\nCATEGORY=Y\nSECTION=100 100\n"
         "LENGTH=1000\nHOLE level=0 kind=0 d=22 x=100 y=40\nHOLE " +
         hole_fields + "\n";
}

std::string Garbage(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(random() & 0xff);
  return text;
}

// The system's reasons, as the operator reads them.
#ifdef _WIN32
const std::string kNoSuchFolder = platform::SystemErrorText(ERROR_PATH_NOT_FOUND);
const std::string kIsAFolder = platform::SystemErrorText(ERROR_DIRECTORY);
const std::string kPermissionDenied = platform::SystemErrorText(ERROR_ACCESS_DENIED);
#else
const std::string kNoSuchFolder = "No such file or directory";
const std::string kIsAFolder = "Is a directory";
const std::string kPermissionDenied = "Permission denied";
#endif

// Removes a row's folder, read-only files included.
void RemoveAll(const fs::path& dir) {
  std::error_code ec;
  if (!fs::exists(dir, ec)) return;
  for (const auto& entry : fs::recursive_directory_iterator(dir, ec))
    fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(dir, ec);
}

enum class Entry { kProcess, kExport, kTransmit, kConfig };

// The child's task: one entry point called as a host calls it, from the
// row's folder (Exportation writes there). Arguments: entry, folder, INI
// file, machine, job file, program.
int CallEntryPoint(const ChildArgs& a) {
  std::string error;
  void* module = platform::LoadModule(BARPOST_MODULE_PATH, &error);
  if (!module || a.size() != 6 || !hardening::ChangeDirectory(a[1])) return -1;
  auto get = [module](const char* name) { return platform::ModuleSymbol(module, name); };
  const char* ini = a[2].c_str();
  const char* machine = a[3].c_str();
  const char* cam = a[4].c_str();
  const char* nc = a[5].c_str();
  switch (static_cast<Entry>(std::stoi(a[0]))) {
    case Entry::kProcess:
      return reinterpret_cast<BarpostTraitementFn>(get("Traitement"))(ini, machine, cam, nc, "1",
                                                                        "", "");
    case Entry::kExport:
      return reinterpret_cast<BarpostExportationFn>(get("Exportation"))(ini, machine, nc, cam);
    case Entry::kTransmit:
      return reinterpret_cast<BarpostTransmissionFn>(get("Transmission"))(ini, machine, nc, "",
                                                                            "", "");
    case Entry::kConfig:
      reinterpret_cast<BarpostConfigFn>(get("Config_Export"))(ini, machine);
      return 0;
  }
  return -1;
}
const hardening::ChildTaskName kCallEntryPoint("call_entry_point", &CallEntryPoint);

// Null and empty arguments, as a careless host may pass them.
int CallWithNullArguments(const ChildArgs&) {
  std::string error;
  void* module = platform::LoadModule(BARPOST_MODULE_PATH, &error);
  if (!module) return -1;
  auto traitement = reinterpret_cast<BarpostTraitementFn>(platform::ModuleSymbol(module, "Traitement"));
  auto transmission =
      reinterpret_cast<BarpostTransmissionFn>(platform::ModuleSymbol(module, "Transmission"));
  auto config = reinterpret_cast<BarpostConfigFn>(platform::ModuleSymbol(module, "Config_Export"));
  int a = traitement(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  int b = transmission(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  config(nullptr, nullptr);
  return a * 10000 + b;
}
const hardening::ChildTaskName kCallWithNullArguments("call_with_null_arguments",
                                                      &CallWithNullArguments);
enum class Program { kNone, kEmpty, kWritten, kAny };
enum class IniAfter { kAny, kUnchanged, kChanged, kAbsent };

// One row of the catalogue. Paths are relative to the row's own folder,
// which holds machine.ini (a copy of examples/machine.ini unless ini is
// given), MACRO_MK (a copy of the example font) and job.cam.
struct Row {
  const char* name;
  Entry entry = Entry::kProcess;
  std::string job = "";            // the text of job.cam
  std::string ini = "<example>";  // the text of machine.ini; "<none>": no file
  std::string machine = "ANGLE1";
  std::string ini_path = "machine.ini";
  std::string cam_path = "job.cam";
  std::string nc_path = "B1.MPF";  // also the source of a transmission
  std::string written = "";        // the program file checked, when not nc_path
  std::function<void(const fs::path& dir)> prepare = nullptr;  // more setup
  bool unprivileged = false;       // run as "nobody" so permissions count
  long long file_size_limit = 0;   // the largest file the entry point may write
  // Expected.
  int result = 0;
  Program program = Program::kWritten;
  std::vector<std::string> messages = {};  // each must appear on stderr; none: stderr empty
  IniAfter ini_after = IniAfter::kAny;
  bool same_program_as_reference = false;
  double max_seconds = 20;
  long max_mb = 1536;  // peak memory, doubled under AddressSanitizer
  // Further checks of the row's folder after the run.
  std::function<void(const fs::path& dir)> verify = nullptr;
  // A fault of a subsystem this catalogue found and that is not mended yet:
  // the row still must not crash, hang or run away, and the fault is shown.
  const char* open_fault = nullptr;
};

// Ten million operations of 152 bytes, in a vector that doubles as it grows.
constexpr long kOperationLimitMb = 3072;

class BadInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    handle_ = platform::LoadModule(BARPOST_MODULE_PATH, &error);
    ASSERT_NE(handle_, nullptr) << error;
    root_ = fs::temp_directory_path() /
            ("barpost_bad_input_" + std::to_string(test_support::ProcessId()));
    RemoveAll(root_);
    fs::create_directories(root_);
    fs::permissions(root_, fs::perms::all);  // "nobody" works in it too
  }
  static void TearDownTestSuite() {
    RemoveAll(root_);
    platform::UnloadModule(handle_);
  }
  void SetUp() override { setenv("BARPOST_UI", "auto", 1); }

  // Lays out the row's folder and runs its entry point in a child.
  static ChildRun Run(const Row& row, fs::path* dir_out) {
    fs::path dir = root_ / row.name;
    RemoveAll(dir);
    fs::create_directories(dir);
    fs::copy(fs::path(BARPOST_SOURCE_DIR) / "examples" / "MACRO_MK", dir / "MACRO_MK");
    if (row.ini == "<example>")
      Spit(dir / "machine.ini", Example("machine.ini"));
    else if (row.ini != "<none>")
      Spit(dir / "machine.ini", row.ini);
    Spit(dir / "job.cam", row.job);
#ifndef _WIN32
    if (row.unprivileged) {
      for (const auto& entry : fs::recursive_directory_iterator(dir))
        ::chown(entry.path().c_str(), hardening::kNobody, hardening::kNobody);
      ::chown(dir.c_str(), hardening::kNobody, hardening::kNobody);
    }
#endif
    if (row.prepare) row.prepare(dir);
    *dir_out = dir;

    const std::string ini = (dir / row.ini_path).string();
    const std::string cam = (dir / row.cam_path).string();
    const std::string nc = (dir / row.nc_path).string();
    const std::string machine = row.machine;
    ChildOptions options;
    options.timeout_seconds = row.max_seconds * (hardening::UnderSanitizer() ? 4 : 1);
    options.unprivileged = row.unprivileged;
    options.file_size_limit = row.file_size_limit;
    const ChildArgs args = {std::to_string(static_cast<int>(row.entry)), dir.string(), ini,
                            machine, cam, nc};
    return RunInChild("call_entry_point", args, options);
  }

  // Runs the row and checks every expectation of it.
  static void Check(const Row& row, const std::string& reference_program) {
    SCOPED_TRACE(row.name);
    std::string ini_before;
    fs::path dir;
    const ChildRun run = Run(row, &dir);
    if (row.verify) row.verify(dir);  // first: it also undoes what prepare mounted
    if (row.ini == "<example>") {
      ini_before = Example("machine.ini");
    } else if (row.ini != "<none>") {
      ini_before = row.ini;
    }

    std::printf("  %-34s result %4d  %6.2f s  %5ld MB\n", row.name, run.result, run.seconds,
                run.max_rss_kb / 1024);
    ASSERT_TRUE(run.finished) << run.Describe();
    EXPECT_EQ(run.result, row.result) << run.Describe();
    EXPECT_LT(run.max_rss_kb, row.max_mb * 1024 * (hardening::UnderSanitizer() ? 2 : 1))
        << run.Describe();

    // Paths in messages as "{dir}/name" on every system.
    std::string err = Replace(run.err, dir.string() + platform::PreferredSeparator(), "{dir}/");
    err = Replace(err, dir.string(), "{dir}");
    if (row.messages.empty()) {
      EXPECT_EQ(err, "") << "the operator should see nothing here";
    } else {
      for (const std::string& message : row.messages)
        EXPECT_NE(err.find(message), std::string::npos) << "message: " << message << "\nstderr: "
                                                         << err;
    }

    const fs::path nc = dir / (row.written.empty() ? row.nc_path : row.written);
    const bool exists = fs::is_regular_file(nc);
    const std::string program = exists ? Slurp(nc) : std::string();
    switch (row.program) {
      case Program::kNone:
        EXPECT_FALSE(exists) << "a program was written";
        break;
      case Program::kEmpty:
        EXPECT_TRUE(exists);
        EXPECT_EQ(program, "");
        break;
      case Program::kWritten:
        EXPECT_TRUE(exists);
        EXPECT_NE(program, "");
        break;
      case Program::kAny:
        break;
    }
    if (row.open_fault) {
      std::printf("  %-34s open fault: %s\n", row.name, row.open_fault);
    } else if (row.entry == Entry::kProcess) {
      // No coordinate of a program is ever NaN or infinite.
      EXPECT_EQ(program.find("nan"), std::string::npos);
      EXPECT_EQ(program.find("inf"), std::string::npos);
    }
    if (row.same_program_as_reference) {
      EXPECT_EQ(program, reference_program);
    }

    const fs::path ini = dir / row.ini_path;
    switch (row.ini_after) {
      case IniAfter::kUnchanged:
        EXPECT_EQ(fs::is_regular_file(ini) ? Slurp(ini) : "<not a file>", ini_before);
        break;
      case IniAfter::kChanged:
        EXPECT_TRUE(fs::is_regular_file(ini));
        EXPECT_NE(Slurp(ini), ini_before);
        break;
      case IniAfter::kAbsent:
        EXPECT_FALSE(fs::exists(ini));
        break;
      case IniAfter::kAny:
        break;
    }
  }

  static std::string ReferenceProgram() {
    Row reference{.name = "reference", .job = Example("job.cam")};
    fs::path dir;
    ChildRun run = Run(reference, &dir);
    EXPECT_TRUE(run.finished && run.result == 0) << run.Describe();
    return Slurp(dir / "B1.MPF");
  }

  static void* handle_;
  static fs::path root_;
};
void* BadInput::handle_ = nullptr;
fs::path BadInput::root_;

TEST_F(BadInput, JobFiles) {
  const std::string job = Example("job.cam");
  const std::string reference = ReferenceProgram();
  ASSERT_NE(reference, "");
  std::string with_nuls = job;
  for (std::size_t i = 40; i < with_nuls.size(); i += 97) with_nuls[i] = '\0';
  std::string many_holes = kPiece;
  for (int i = 0; i < 100000; ++i)
    many_holes += "HOLE level=0 kind=0 d=22 x=" + std::to_string(i % 1000) + " y=40\n";

  const Row rows[] = {
      {.name = "example_job", .job = job, .ini_after = IniAfter::kChanged,
       .same_program_as_reference = true},
      // An empty or unreadable job: nothing to punch, so an empty program.
      {.name = "empty_job", .job = "", .nc_path = "P1.MPF", .program = Program::kEmpty},
      {.name = "job_file_missing", .cam_path = "none.cam", .nc_path = "P1.MPF",
       .program = Program::kEmpty},
      {.name = "job_path_is_a_folder", .cam_path = "MACRO_MK", .nc_path = "P1.MPF",
       .program = Program::kEmpty,
       .messages = {"barpost: error: {dir}/MACRO_MK: " + kIsAFolder +
                    "; the job is read as holding no record."}},
      // Truncated: the damaged line is skipped, the rest is read.
      {.name = "truncated_record_word", .job = kPiece + Bar("2") + "*PIE", .nc_path = "B1.MPF"},
      {.name = "truncated_in_a_quote",
       .job = kPiece + "MARK x=1 y=2 code=0 text=\"HB-1" + "\n" + Bar("2")},
      {.name = "truncated_mid_file", .job = job.substr(0, job.size() / 2),
       .nc_path = "P1.MPF"},
      {.name = "binary_garbage", .job = Garbage(64 * 1024, 1), .nc_path = "P1.MPF",
       .program = Program::kEmpty},
      {.name = "garbage_between_records",
       .job = kPiece + Garbage(4096, 2) + "\n" + Bar("2")},
      {.name = "nul_bytes_in_lines", .job = with_nuls},
      // Line ends of old editors and a byte-order mark read like any others.
      {.name = "cr_only_line_ends", .job = Replace(job, "\n", "\r"),
       .same_program_as_reference = true},
      {.name = "byte_order_mark", .job = "\xEF\xBB\xBF" + job, .same_program_as_reference = true},
      // Very long lines.
      {.name = "one_mb_head_value",
       .job = Replace(kPiece, "PCE_NAM=P1", "PCE_NAM=P1\nPCE_DES=" + std::string(1 << 20, 'x')) +
              Bar("2")},
      {.name = "one_mb_entity_line",
       .job = kPiece + "HOLE" + [] {
         std::string s;
         while (s.size() < (1u << 20)) s += " d=22 x=700 y=40";
         return s;
       }() + "\n" + Bar("2")},
      {.name = "one_mb_line_without_end", .job = kPiece + Bar("2") + std::string(1 << 20, 'Q')},
      {.name = "one_mb_mark_text",
       .job = kPiece + "MARK x=1 y=2 code=0 text=" + std::string(1 << 20, 'A') + "\n" + Bar("1")},
      // Numbers out of the ordinary: read as 0 when not a finite number.
      {.name = "nan_coordinates", .job = PieceWithHole("level=0 kind=0 d=22 x=nan y=NaN") + Bar("2")},
      {.name = "inf_coordinates", .job = PieceWithHole("level=0 kind=0 d=22 x=inf y=-inf") + Bar("2")},
      {.name = "huge_coordinates",
       .job = PieceWithHole("level=0 kind=0 d=22 x=1e308 y=-1e308") + Bar("2"),
       .program = Program::kNone,
       .messages = {"{dir}/B1.MPF", "beyond any bar"}},
      {.name = "coordinates_beyond_double",
       .job = PieceWithHole("level=0 kind=0 d=22 x=1e309 y=1e400") + Bar("2")},
      {.name = "huge_piece_length", .job = Replace(kPiece, "LENGTH=1000", "LENGTH=1e308") + Bar("3"),
       .program = Program::kNone,
       .messages = {"{dir}/B1.MPF", "beyond any bar"}},
      {.name = "huge_slot_nibbled",
       .job = PieceWithHole("level=1 kind=4 d=22 x=500 y=50 len=1e308 angle=0") + Bar("1"),
       .program = Program::kNone,
       .messages = {"{dir}/B1.MPF", "beyond any bar"}},
      {.name = "inch_fraction_over_zero",
       .job = "*PIECE\nUNIT=INCH\nPCE_NAM=P1\nCOM_NAM=C\nDWG_NAM=D\nASS_NAM=A\nCATEGORY=Y\n"
              "SECTION=4 4/0\nLENGTH=40\nHOLE level=0 kind=0 d=22 x=1/0 y=0/0\n"
              "HOLE level=0 kind=0 d=22 x=\"3 1/0\" y=1-1/0\n" +
              Bar("1")},
      // Quantities.
      {.name = "negative_quantity", .job = kPiece + Bar("-5")},
      {.name = "zero_quantity", .job = kPiece + Bar("0")},
      {.name = "quantity_of_a_billion", .job = ManyHolePiece() + Bar("1000000000"),
       .program = Program::kNone,
       .messages = {"{dir}/B1.MPF", "more than 10000000 machining operations",
                    "no program was written"},
       .max_seconds = 30, .max_mb = kOperationLimitMb},
      {.name = "quantity_beyond_int", .job = ManyHolePiece() + Bar("99999999999999"),
       .program = Program::kNone, .messages = {"more than 10000000 machining operations"},
       .max_seconds = 30, .max_mb = kOperationLimitMb},
      // Records and keys.
      {.name = "unknown_record_kinds",
       .job = "*FOO\nX=1\nHOLE d=1\n*piece\nPCE_NAM=A-101\n* \n*\n" + job,
       .same_program_as_reference = true},
      {.name = "duplicate_keys",
       .job = Replace(Replace(kPiece, "LENGTH=1000", "LENGTH=5\nLENGTH=1000"), "PCE_NAM=P1",
                      "PCE_NAM=Q\nPCE_NAM=P1") +
              Bar("2")},
      {.name = "item_of_a_missing_piece", .job = Replace(Bar("2"), "pce=P1", "pce=NONE")},
      {.name = "hundred_thousand_holes", .job = many_holes, .nc_path = "P1.MPF"},
  };
  for (const Row& row : rows) Check(row, reference);
}

TEST_F(BadInput, IniFilesAndPaths) {
  const std::string job = kPiece + Bar("2");
  const std::string example_ini = Example("machine.ini");
  auto read_only = [](const char* name) {
    return [name](const fs::path& dir) { fs::permissions(dir / name, fs::perms::owner_read); };
  };
  const Row rows[] = {
      // Without the machine's options no hole fits a unit: "Setup machine"
      // cannot be confirmed. The defaults are written back for next time.
      {.name = "missing_section", .job = job, .machine = "NOPE", .result = 1008,
       .program = Program::kNone, .ini_after = IniAfter::kChanged},
      {.name = "missing_ini_file", .job = job, .ini = "<none>", .result = 1008,
       .program = Program::kNone, .ini_after = IniAfter::kChanged},
      {.name = "ini_in_a_missing_folder", .job = job, .ini_path = "none/machine.ini",
       .result = 1008, .program = Program::kNone, .ini_after = IniAfter::kAbsent},
      {.name = "ini_path_is_a_folder", .job = job, .ini_path = "MACRO_MK", .result = 1008,
       .program = Program::kNone,
       .messages = {"{dir}/MACRO_MK: " + kIsAFolder, "options cannot be read"}},
      {.name = "ini_binary_garbage", .job = job, .ini = Garbage(32 * 1024, 3), .result = 1008,
       .program = Program::kNone},
      // A read-only INI file is never replaced; the job itself is made.
      {.name = "read_only_ini", .job = job, .prepare = read_only("machine.ini"),
       .unprivileged = true, .ini_after = IniAfter::kUnchanged},
      // Keys: the first of two counts; long values are cut; numbers wrap.
      {.name = "duplicate_ini_keys", .job = Example("job.cam"),
       .ini = Replace(example_ini, "[ANGLE1]\n", "[ANGLE1]\nCnc=0\nUnite1=1,Y1,12,,22\n") +
              "\n[ANGLE1]\nCnc=2\n",
       .same_program_as_reference = true},
      {.name = "one_mb_ini_line", .job = job,
       .ini = Replace(example_ini, "Dir=", "Mark_Sep=" + std::string(1 << 20, '-') + "\nDir=")},
      {.name = "one_mb_section_name", .job = job,
       .ini = "[" + std::string(1 << 20, 'S') + "]\n" + example_ini},
      {.name = "huge_ini_numbers", .job = job,
       .ini = Replace(Replace(example_ini, "Motrice=4", "Motrice=99999999999999"), "Cnc=0",
                      "Cnc=-2147483649")},
      // Any control number but 0 and 2 writes a Fagor program, as it always did.
      {.name = "unknown_control", .job = job, .ini = Replace(example_ini, "Cnc=0", "Cnc=7")},
      {.name = "garbage_unit_rows", .job = Example("job.cam"),
       .ini = Replace(Replace(example_ini, "Unite3=1,Y3,14,,26", "Unite3=,,,,,,,,,,,,,,,,,,"),
                      "Unite4=2,Y4,15,,22", "Unite4=2,Y4,15,,22X-"),
       .result = 1008, .program = Program::kNone},
      {.name = "garbage_tables", .job = Example("job.cam"),
       .ini = Replace(Replace(example_ini, "Outil0=0,22.00,22.00,0.00", "Outil0=4,1e308,-1,nan"),
                      "Poincon0=26.000,22.000,4.000,", "Poincon0=1e308,1e-308,1e308,")},
      // A program that cannot be written: its path and the system's reason.
      {.name = "nc_in_a_missing_folder", .job = job, .nc_path = "none/B1.MPF",
       .program = Program::kNone,
       .messages = {"barpost: error: {dir}/none/B1.MPF", kNoSuchFolder}},
      {.name = "nc_path_is_a_folder", .job = job, .nc_path = "MACRO_MK", .program = Program::kNone,
       .messages = {"{dir}/MACRO_MK", kIsAFolder}},
#ifndef _WIN32
      // Windows: a folder's read-only mark does not keep files out of it.
      {.name = "nc_in_a_read_only_folder", .job = job, .nc_path = "ro/B1.MPF",
       .prepare = [](const fs::path& dir) {
         fs::create_directory(dir / "ro");
         fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec |
                                         fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
         ::chown((dir / "ro").c_str(), 0, 0);
       },
       .unprivileged = true, .program = Program::kNone,
       .messages = {"{dir}/ro/B1.MPF", "Permission denied"}},
#endif
      // Signoscript marking (ANGLE2) without its macros, or with macros whose
      // lines stop before their columns: the job is made all the same.
      {.name = "signoscript_without_macro_folder", .job = Example("job-inch.cam"),
       .machine = "ANGLE2",
       .prepare = [](const fs::path& dir) { fs::remove_all(dir / "MACRO_MK"); }},
      {.name = "macro_lines_shorter_than_columns", .job = Example("job-inch.cam"),
       .machine = "ANGLE2",
       .prepare = [](const fs::path& dir) {
         for (const auto& entry : fs::directory_iterator(dir / "MACRO_MK"))
           Spit(entry.path(), "LEAD:\r\nCUT:   5\r\nCUT:        3\r\nLEAD:        7   \r\nCUT");
       }},
      {.name = "macro_binary_garbage", .job = Example("job-inch.cam"), .machine = "ANGLE2",
       .prepare = [](const fs::path& dir) {
         unsigned seed = 10;
         for (const auto& entry : fs::directory_iterator(dir / "MACRO_MK"))
           Spit(entry.path(), Garbage(2000, seed++));
       }},
  };
  const std::string reference = ReferenceProgram();
  for (const Row& row : rows) Check(row, reference);
}

TEST_F(BadInput, OtherEntryPoints) {
  const std::string job = kPiece + Bar("2");
  auto with_dir = [](const std::string& dir_key) {
    return [dir_key](const fs::path& dir) {
      std::string ini = Slurp(dir / "machine.ini");
      Spit(dir / "machine.ini", Replace(ini, "Dir=D:\\NC\\ANGLE1\\", "Dir=" + (dir / dir_key).string()));
      Spit(dir / "program.nc", "N2 G0\r\nM30\r\n");
    };
  };
  const Row rows[] = {
      {.name = "transmit_missing_source", .entry = Entry::kTransmit, .nc_path = "none.nc",
       .prepare = with_dir("out"), .result = 2004, .program = Program::kNone},
      {.name = "transmit_a_folder", .entry = Entry::kTransmit, .nc_path = "MACRO_MK",
       .written = "out/.MPF",
       .prepare =
           [&](const fs::path& dir) {
             with_dir("out")(dir);
             fs::create_directory(dir / "out");
           },
       .result = 2004, .program = Program::kNone},
      {.name = "transmit_a_program", .entry = Entry::kTransmit, .nc_path = "program.nc",
       .written = "out/.MPF",
       .prepare =
           [&](const fs::path& dir) {
             with_dir("out")(dir);
             fs::create_directory(dir / "out");
           }},
      {.name = "transmit_into_a_missing_dir", .entry = Entry::kTransmit, .nc_path = "program.nc",
       .written = "none/.MPF", .prepare = with_dir("none"), .program = Program::kNone,
       .messages = {"barpost: error: {dir}/none" + std::string(1, platform::PreferredSeparator()) +
                        ".MPF",
                    kNoSuchFolder}},
      {.name = "config_ini_is_a_folder", .entry = Entry::kConfig, .ini_path = "MACRO_MK",
       .program = Program::kNone, .messages = {"barpost: error: {dir}/MACRO_MK: " + kIsAFolder}},
      {.name = "config_read_only_ini", .entry = Entry::kConfig,
       .prepare = [](const fs::path& dir) {
         fs::permissions(dir / "machine.ini", fs::perms::owner_read);
       },
       .unprivileged = true, .program = Program::kNone,
       .messages = {"barpost: error: {dir}/machine.ini: " + kPermissionDenied},
       .ini_after = IniAfter::kUnchanged},
      {.name = "config_ini_in_a_missing_folder", .entry = Entry::kConfig,
       .ini_path = "none/machine.ini", .program = Program::kNone,
       .messages = {"{dir}/none/machine.ini", kNoSuchFolder},
       .ini_after = IniAfter::kAbsent},
      {.name = "export_binary_garbage", .entry = Entry::kExport, .job = Garbage(64 * 1024, 4),
       .program = Program::kNone},
      {.name = "export_a_billion", .entry = Entry::kExport,
       .job = ManyHolePiece() + Bar("1000000000"),
       .program = Program::kNone, .messages = {"more than 10000000 machining operations"},
       .max_seconds = 30, .max_mb = kOperationLimitMb},
  };
  for (const Row& row : rows) Check(row, "");

  ChildRun run = RunInChild("call_with_null_arguments", {});
  ASSERT_TRUE(run.finished) << run.Describe();
  EXPECT_EQ(run.result, 0 * 10000 + 2004) << run.Describe();
}

#ifndef _WIN32
// FIFOs, devices, links, small file systems and file-size limits are the
// POSIX forms of these faults.
// Mounts a file system of 8 kB at dir: a disk that fills up at once.
void SmallDisk(const fs::path& dir) {
  fs::create_directories(dir);
  ASSERT_EQ(std::system(("mount -t tmpfs -o size=8k tmpfs " + dir.string()).c_str()), 0)
      << "mounting a small file system needs root";
}

// What reaches the disk, and what the operator is told, when a file is not
// what it should be: a FIFO or a device instead of a file, the same file
// named twice, a name that would leave its folder, a disk that fills up.
TEST_F(BadInput, FilesPathsAndNames) {
  const std::string job = kPiece + Bar("2");
  const std::string example_ini = Example("machine.ini");
  auto fifo = [](const char* name) {
    return [name](const fs::path& dir) {
      fs::remove(dir / name);
      ASSERT_EQ(::mkfifo((dir / name).c_str(), 0644), 0);
    };
  };
  // A previous program at path, which a failed write must leave as it is.
  auto old_program = [](const char* path) {
    return [path](const fs::path& dir) { Spit(dir / path, "N2;OLD\r\nM30\r\n"); };
  };
  auto still_old = [](const char* path) {
    return [path](const fs::path& dir) { EXPECT_EQ(Slurp(dir / path), "N2;OLD\r\nM30\r\n"); };
  };
  auto nomfic_is = [](const std::string& name) {
    return [name](const fs::path& dir) {
      EXPECT_NE(Slurp(dir / "machine.ini").find("\nNomfic=" + name + "\r\n"), std::string::npos);
    };
  };
  // A machine whose programs go to dir/<folder> and whose last program is nomfic.
  auto transmit_setup = [](const std::string& folder, const std::string& nomfic) {
    return [=](const fs::path& dir) {
      std::string ini = Replace(Slurp(dir / "machine.ini"), "Dir=D:\\NC\\ANGLE1\\",
                                "Dir=" + (folder.empty() ? "" : (dir / folder).string() + "/") +
                                    "\nNomfic=" + nomfic);
      Spit(dir / "machine.ini", ini);
      Spit(dir / "program.nc", "N2 G0\nN4 M30\n");
      fs::create_directories(dir / "out");
    };
  };
  const Row rows[] = {
      // Files that are no files: refused at once, never read or waited on.
      {.name = "job_is_a_fifo", .cam_path = "job.fifo", .nc_path = "P1.MPF",
       .prepare = fifo("job.fifo"), .program = Program::kEmpty,
       .messages = {"{dir}/job.fifo: a FIFO, not a regular file"}, .max_seconds = 10},
      {.name = "job_is_a_device", .cam_path = "/dev/zero", .nc_path = "P1.MPF",
       .program = Program::kEmpty, .messages = {"/dev/zero: a device, not a regular file"},
       .max_seconds = 10},
      {.name = "job_beyond_the_size_limit", .nc_path = "P1.MPF",
       .prepare = [](const fs::path& dir) { fs::resize_file(dir / "job.cam", 300u << 20); },
       .program = Program::kEmpty, .messages = {"{dir}/job.cam: larger than 256 MB"},
       .max_seconds = 10, .max_mb = 100},
      {.name = "ini_is_a_fifo", .job = job, .ini_path = "m.fifo", .prepare = fifo("m.fifo"),
       .result = 1008, .program = Program::kNone,
       .messages = {"{dir}/m.fifo: a FIFO, not a regular file"}, .max_seconds = 10,
       .verify = [](const fs::path& dir) { EXPECT_TRUE(fs::is_fifo(dir / "m.fifo")); }},
      {.name = "macro_is_a_fifo", .job = Example("job-inch.cam"), .machine = "ANGLE2",
       .prepare = fifo("MACRO_MK/B.MAC"), .messages = {"{dir}/MACRO_MK/B.MAC: a FIFO"},
       .max_seconds = 10},
      // What editors write: a byte-order mark, lone CRs.
      {.name = "ini_with_a_byte_order_mark", .job = Example("job.cam"),
       .ini = "\xEF\xBB\xBF" + example_ini.substr(example_ini.find("\n[ANGLE1]") + 1),
       .same_program_as_reference = true,
       .verify = [](const fs::path& dir) {
         EXPECT_EQ(Slurp(dir / "machine.ini").rfind("\xEF\xBB\xBF[ANGLE1]\r\n", 0), 0u);
       }},
      {.name = "ini_with_cr_line_ends", .job = Example("job.cam"),
       .ini = Replace(example_ini, "\n", "\r"), .same_program_as_reference = true,
       .verify = [](const fs::path& dir) {
         EXPECT_EQ(Slurp(dir / "machine.ini").find('\n'), std::string::npos);
       }},
      // The same file twice: nothing is written, the INI file included.
      {.name = "program_over_the_job", .job = job, .nc_path = "job.cam", .result = 1008,
       .program = Program::kAny, .messages = {"would be written over the job file"},
       .ini_after = IniAfter::kUnchanged,
       .verify = [job](const fs::path& dir) { EXPECT_EQ(Slurp(dir / "job.cam"), job); }},
      {.name = "program_over_the_ini_by_a_link", .job = job,
       .prepare = [](const fs::path& dir) { fs::create_symlink("machine.ini", dir / "B1.MPF"); },
       .result = 1008, .program = Program::kAny,
       .messages = {"would be written over the machine configuration"},
       .ini_after = IniAfter::kUnchanged},
      {.name = "program_over_a_device", .job = job, .nc_path = "/dev/full",
       .program = Program::kNone, .messages = {"/dev/full", "a device, not a regular file"},
       .verify = [](const fs::path&) { EXPECT_FALSE(fs::is_regular_file("/dev/full")); }},
      {.name = "transmit_onto_itself", .entry = Entry::kTransmit, .nc_path = "out/P7.MPF",
       .written = "out/P7.MPF",
       .prepare = [&](const fs::path& dir) {
         transmit_setup("out", "P7")(dir);
         Spit(dir / "out/P7.MPF", "N2;OLD\r\nM30\r\n");
       },
       .messages = {"is the machine's copy itself"}, .verify = still_old("out/P7.MPF")},
      // Names: a piece mark or a Nomfic never leaves its folder; an empty Dir
      // is not the root; a machine name never breaks the INI file.
      {.name = "piece_mark_with_separators",
       .job = Replace(kPiece, "PCE_NAM=P1", "PCE_NAM=../..\\x:y"), .nc_path = "P1.MPF",
       .verify = nomfic_is(".._.._x_y")},
      {.name = "transmit_a_nomfic_with_separators", .entry = Entry::kTransmit,
       .nc_path = "program.nc", .written = "out/.._escape.MPF",
       .prepare = transmit_setup("out", "../escape"),
       .verify = [](const fs::path& dir) {
         EXPECT_EQ(Slurp(dir / "out/.._escape.MPF"), "N2 G0\r\nN4 M30\r\n");
         EXPECT_FALSE(fs::exists(dir / "escape.MPF"));
       }},
      {.name = "transmit_with_an_empty_dir", .entry = Entry::kTransmit, .nc_path = "program.nc",
       .written = "out/x.MPF", .prepare = transmit_setup("", "barpost-empty-dir-test"),
       .program = Program::kNone, .messages = {"option Dir) is empty"},
       .verify = [](const fs::path&) {
         EXPECT_FALSE(fs::exists("/barpost-empty-dir-test.MPF"));
         fs::remove("/barpost-empty-dir-test.MPF");
       }},
      {.name = "machine_name_with_a_line_break", .job = job, .machine = "ANGLE1\n[X]",
       .result = 1008, .program = Program::kNone, .messages = {"holds a line break"},
       .ini_after = IniAfter::kUnchanged},
      // Bars whose nesting cannot be right: the operator is warned, the
      // program is made as the rules say.
      {.name = "pieces_overrun_their_bar", .job = kPiece + Bar("7"),
       .messages = {"warning: Bar 0007_01: the pieces nested on it take 7000.0 mm, more than "
                    "its length of 6000.0 mm"}},
      {.name = "bar_length_not_a_number", .job = kPiece + Replace(Bar("2"), "6000", "6000abc"),
       .messages = {"warning: Bar 0007_01: its length BAR_LEN is 0.0 mm",
                    "Middle remnant will be used"}},
      // A write that fails half-way (here: the file-size limit) leaves the
      // previous program and Nomfic as they were.
      {.name = "program_beyond_the_file_size_limit", .job = Example("job.cam"),
       .prepare = old_program("B1.MPF"), .file_size_limit = 4096, .program = Program::kAny,
       .messages = {"{dir}/B1.MPF", "File too large"},
       .verify = [&](const fs::path& dir) {
         still_old("B1.MPF")(dir);
         EXPECT_EQ(Slurp(dir / "machine.ini").find("Nomfic="), std::string::npos);
       }},
      {.name = "export_beyond_the_file_size_limit", .entry = Entry::kExport,
       .job = Example("job.cam"), .written = "000007_001", .prepare = old_program("000007_001"),
       .file_size_limit = 4096, .program = Program::kAny,
       .messages = {"{dir}/B1.MPF\n000007_001: File too large"},
       .verify = still_old("000007_001")},
      // A full disk (a small file system of its own) does the same.
      {.name = "program_on_a_full_disk", .job = Example("job.cam"), .nc_path = "full/B1.MPF",
       .prepare = [&](const fs::path& dir) {
         SmallDisk(dir / "full");
         old_program("full/B1.MPF")(dir);
       },
       .program = Program::kAny, .messages = {"{dir}/full/B1.MPF", "No space left on device"},
       .verify = [&](const fs::path& dir) {
         still_old("full/B1.MPF")(dir);
         EXPECT_EQ(Slurp(dir / "machine.ini").find("Nomfic="), std::string::npos);
         EXPECT_EQ(std::system(("umount " + (dir / "full").string()).c_str()), 0);
       }},
      {.name = "transmit_beyond_the_file_size_limit", .entry = Entry::kTransmit,
       .nc_path = "big.nc", .written = "out/P7.MPF",
       .prepare = [&](const fs::path& dir) {
         transmit_setup("out", "P7")(dir);
         Spit(dir / "big.nc", std::string(10000, 'X'));
         Spit(dir / "out/P7.MPF", "N2;OLD\r\nM30\r\n");
       },
       .file_size_limit = 4096, .program = Program::kAny,
       .messages = {"{dir}/out/P7.MPF", "File too large"}, .verify = still_old("out/P7.MPF")},
  };
  const std::string reference = ReferenceProgram();
  for (const Row& row : rows) Check(row, reference);
}
#endif  // !_WIN32

}  // namespace
