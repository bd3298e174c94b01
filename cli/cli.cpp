#include "cli/cli.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/platform.h"
#include "base/text.h"
#include "cli/import.h"
#include "cli/inspect.h"
#include "cli/machines.h"
#include "cli/preview.h"
#include "config/ini_file.h"
#include "config/options.h"
#include "host/barpost.h"

namespace {

const char kUsageHead[] =
    "usage: barpost [--module PATH] [--log FILE] [--ui WHO] COMMAND ARGS...\n"
    "\n"
    "Runs the barpost post-processor module the way a CAM host does.\n"
    "\n"
    "commands:\n";

const char kUsageTail[] =
    "\n"
    "options:\n"
    "  --module PATH   the module to load (default: libbarpost.so beside barpost;\n"
    "                  the variable BARPOST_MODULE also sets it)\n"
    "  --log FILE      append a record of each call to FILE: what was asked and read,\n"
    "                  the sizes set in \"Setup machine\", every message shown, each file\n"
    "                  written with its SHA-256, the result (BARPOST_LOG for any host)\n"
    "  --ui WHO        who answers the dialogs: gui, tty, auto or cancel (the same as\n"
    "                  BARPOST_UI); 'auto' confirms \"Setup machine\" when every hole type\n"
    "                  fits a punching unit and cancels it otherwise\n"
    "  --version       print the version\n"
    "  -h, --help      this text; 'barpost help COMMAND' for one command\n"
    "\n"
    "exit status: 0 done, 1 failure (a file checked before the call, the module not\n"
    "loaded, a check with findings), 2 bad usage, 3 \"Setup machine\" cancelled (1008),\n"
    "4 source program cannot be opened (2004), 5 any other result, 6 the module showed\n"
    "an error (a program or a copy was not written, a file or a name was refused),\n"
    "7 preview: a program differs from its job.\n";

struct Command {
  const char* name;
  int args;  // fixed arguments after the name; -1: the command reads its own
  const char* synopsis;
  const char* summary;  // one line for the list of commands
  const char* help;
  bool creates = false;  // takes --create
};

// Largest record of one call read back from the log.
constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;

const Command kCommands[] = {
    {"process", 4, "process [--create] INI MACHINE CAMFILE NCFILE",
     "write the NC program of a job (Traitement)",
     "Reads CAMFILE with the options of section MACHINE of INI, shows \"Setup machine\"\n"
     "and writes the NC program NCFILE. A file name starting with 'B' (B12.MPF) makes a\n"
     "program of the bars of the job; any other name a program of its pieces. The name\n"
     "of the program is recorded under Nomfic in INI, and the options are written back.\n"
     "CAMFILE must exist, the folder of NCFILE too, and NCFILE may be neither CAMFILE nor\n"
     "INI; MACHINE must be in INI unless --create is given.\n",
     true},
    {"export", 4, "export [--create] INI MACHINE NCFILE CAMFILE",
     "write the program of the first confirmed bar (Exportation)",
     "Offers each bar of CAMFILE in \"Setup machine\" and writes the program of the first\n"
     "bar confirmed, in the current directory, under the name made of its BAR_BON and\n"
     "BAR_IDT numbers (000012_004). NCFILE only names the program in error messages.\n",
     true},
    {"transmit", 3, "transmit INI MACHINE SOURCE",
     "copy a program into the machine's folder (Transmission)",
     "Copies the program SOURCE into the directory of option Dir as <Nomfic>.MPF.\n"},
    {"config", 2, "config [--create] INI MACHINE",
     "edit the machine's options (Config_Export)",
     "Opens the \"Options\" sheet on section MACHINE of INI; OK saves, Cancel does not.\n"
     "--create opens it on a machine that is not in INI yet, with the default options.\n",
     true},
    {"identity", 1, "identity TEXT", "the module's Identity of TEXT",
     "Prints the module's Identity of TEXT: its first byte.\n"},
    {"inspect", 3, "inspect INI MACHINE CAMFILE [--bar]",
     "a job's records, hole types and operations, writing nothing",
     "Analyses CAMFILE with the engine and prints its records, the hole types against\n"
     "the punching units, the operations in machine order and every hole that no unit\n"
     "can punch, with the reason. --bar analyses in bar mode (as for a program B...).\n"
     "Writes nothing.\n"},
    {"machines", 1, "machines INI", "the machines of an INI file: control, unit, folder",
     "Lists the sections of INI, one machine each, with its control (Cnc), the unit of\n"
     "its programs (Unite) and the folder its programs are transmitted to (Dir).\n"},
    {"check", 2, "check INI MACHINE", "what a machine's options hold that the line cannot use",
     "Checks the options of MACHINE: unit rows with a bad level, axis code, M function or\n"
     "size text; M functions used twice; an empty or missing Dir; off-centre punches and\n"
     "magazine tools no unit can use; marking options that contradict each other. One line\n"
     "per finding, \"KEY: what is wrong\"; exit status 1 when there is one. process runs\n"
     "the same check and warns before it starts.\n"},
    {"help", -1, "help [COMMAND]", "this text, or the help of one command",
     "Prints the list of commands, or the help of COMMAND.\n"},
    {"import", -1, "import [--bar LENGTH[,LENGTH...]] [--kerf MM] -o JOB.cam FILE.nc1...",
     "DSTV NC1 part files to a job, nested on bars",
     "Reads DSTV NC1 part files of angles (profile code L) and flats (B) and writes the\n"
     "job file JOB.cam: one piece record per piece kind. With --bar the pieces (each\n"
     "kind times its quantity) are nested onto stock bars of the given lengths, with the\n"
     "saw kerf --kerf (default 0) after every piece, and written as bar records; the\n"
     "yield and the number of bars against the lower bound are printed. Every file\n"
     "error is reported as FILE:LINE: message, and so is every feature the line does not\n"
     "make. Exit status 1 when a file failed (the others are still written).\n"},
    {"preview", -1, "preview INI MACHINE (--job CAMFILE [--bar] | --program NCFILE) -o OUT.svg|OUT.html",
     "draw what a program does; with both, check it against its job",
     "Draws each bar (--bar) or piece of the job CAMFILE as the engine makes it for a\n"
     "program, or the program NCFILE as its text says, read back with the unit table of\n"
     "section MACHINE: faces unfolded around the heel, holes with their unit, marks,\n"
     "cuts, pieces, clamp moves, the middle remnant, and in red the holes no unit can\n"
     "punch. With both, the program is checked against the job: every operation that\n"
     "differs is marked and the exit status is 7. OUT.svg: one SVG per bar (OUT-NAME.svg\n"
     "when there are several); OUT.html: one page with every bar and its operations.\n"},
};

const Command* FindCommand(const std::string& name) {
  for (const Command& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

int Usage(std::ostream& err, const std::string& message) {
  err << "barpost: " << message << "\n" << "Try 'barpost --help'.\n";
  return kExitUsage;
}

void PrintUsage(std::ostream& out) {
  out << kUsageHead;
  for (const Command& c : kCommands) out << "  " << c.synopsis << "\n      " << c.summary << "\n";
  out << kUsageTail;
}

void PrintCommandHelp(std::ostream& out, const Command& c) {
  out << "usage: barpost " << c.synopsis << "\n\n" << c.help;
}

// Edits (insertions, deletions, changes, swaps of two neighbours) from a to b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                          d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

int UnknownCommand(std::ostream& err, const std::string& name) {
  const Command* best = nullptr;
  std::size_t best_distance = 3;  // more edits than two is no typo
  for (const Command& c : kCommands) {
    std::size_t distance = EditDistance(name, c.name);
    if (std::string(c.name).rfind(name, 0) == 0 && name.size() >= 2) distance = 1;
    if (distance < best_distance) best = &c, best_distance = distance;
  }
  std::string message = "unknown command '" + name + "'";
  if (best) message += "; did you mean '" + std::string(best->name) + "'?";
  return Usage(err, message);
}

bool KnownFrontEnd(const std::string& who) {
  for (const char* name : {"gui", "tty", "auto", "cancel"})
    if (EqualsNoCase(Trim(who), name)) return true;
  return false;
}

// The module, loaded with the system's loader, and its entry points.
class Module {
 public:
  ~Module() {
    if (m_handle) platform::UnloadModule(m_handle);
  }
  bool Load(const std::string& path, std::string* error) {
    m_handle = platform::LoadModule(path, error);
    return m_handle != nullptr;
  }
  template <typename Fn>
  Fn Get(const char* name, std::string* error) {
    void* p = platform::ModuleSymbol(m_handle, name);
    if (!p) *error = std::string("the module has no entry point ") + name;
    return reinterpret_cast<Fn>(p);
  }

 private:
  void* m_handle = nullptr;
};

// The module beside the executable (the build tree), else in the lib folder
// next to its bin folder (an installed tree).
std::string DefaultModulePath() {
  if (const char* env = std::getenv("BARPOST_MODULE"); env && *env) return env;
#ifdef _WIN32
  const std::string name = "barpost.dll";
#else
  const std::string name = "libbarpost.so";
#endif
  const std::string dir = platform::ExecutableDirectory();
  std::string beside = dir + name;
  std::string installed = dir + "../lib/" + name;
  if (!std::filesystem::exists(beside) && std::filesystem::exists(installed)) return installed;
  return beside;
}

int StatusOf(int result) {
  switch (result) {
    case BARPOST_OK:
      return kExitOk;
    case BARPOST_SETUP_CANCELLED:
      return kExitCancelled;
    case BARPOST_SOURCE_UNREADABLE:
      return kExitNoSource;
    default:
      return kExitOtherResult;
  }
}

std::string Describe(int result) {
  switch (result) {
    case BARPOST_OK:
      return "0 (done)";
    case BARPOST_SETUP_CANCELLED:
      return "1008 (cancelled at \"Setup machine\"; no program written)";
    case BARPOST_SOURCE_UNREADABLE:
      return "2004 (the source program cannot be opened)";
    default:
      return std::to_string(result);
  }
}

// What the module says it wrote ("wrote: PATH (N lines..."), from its log.
void ReportProgram(std::ostream& out, const std::string& path, const std::string& wrote) {
  const std::string head = path + " (";
  if (wrote.rfind(head, 0) != 0) {
    out << "no program was written to " << path << "\n";
    return;
  }
  const long lines = std::atol(wrote.c_str() + head.size());
  if (lines == 0)
    out << path << " is empty: the job made no machining operation\n";
  else
    out << "wrote " << path << " (" << lines << " lines)\n";
}

// Checks made before the module is called, so that a mistyped path or name
// is an error here rather than a silent outcome of the host protocol (an
// empty program, a new INI section). Each returns an empty text or what is
// wrong.
std::string CheckReadable(const std::string& path, const char* what) {
  switch (platform::KindOf(path)) {
    case platform::FileKind::kMissing:
      return std::string(what) + " " + path + " does not exist";
    case platform::FileKind::kDirectory:
    case platform::FileKind::kOther:
      return std::string(what) + " " + path + " is not a regular file";
    case platform::FileKind::kRegular:
      break;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return std::string(what) + " " + path + " cannot be read: " + std::strerror(errno);
  std::fclose(f);
  return std::string();
}

std::string FolderOf(const std::string& path) {
  auto cut = platform::LastSeparator(path);
  if (cut == std::string::npos) return ".";
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

std::string CheckProgramPath(const std::string& nc, const std::string& job,
                             const std::string& ini) {
  if (platform::KindOf(FolderOf(nc)) != platform::FileKind::kDirectory)
    return "the folder of the program " + nc + " does not exist";
  const platform::FileKind kind = platform::KindOf(nc);
  if (kind != platform::FileKind::kMissing && kind != platform::FileKind::kRegular)
    return "the program path " + nc + " is not a regular file";
  if (platform::SameFile(nc, job)) return "the program path " + nc + " is the job file";
  if (platform::SameFile(nc, ini)) return "the program path " + nc + " is the INI file";
  return std::string();
}

std::string CheckMachine(const std::string& ini_path, const std::string& machine, bool create) {
  std::string why;
  if (!MachineNameUsable(machine, &why)) return why;
  if (create) return std::string();
  IniFile ini;
  std::string error;
  if (!ini.Load(ini_path, &error)) return error;
  if (ini.HasSection(machine)) return std::string();
  return "there is no machine " + machine + " in " + ini_path +
         " (give --create to add it with the default options)";
}

// The record the module appends to its log for one call, read back from
// where the file ended before the call.
class CallRecord {
 public:
  // path: the log the user asked for (--log, else BARPOST_LOG), or empty for
  // a private one, which the module keeps brief: no digests of the files.
  explicit CallRecord(std::string path) : path_(std::move(path)) {
    if (path_.empty())
      if (const char* env = std::getenv("BARPOST_LOG"); env && *env) path_ = env;
    platform::SetEnvironment("BARPOST_LOG_BRIEF", path_.empty() ? "1" : "0");
    if (path_.empty()) {
      private_ = true;
      path_ = (std::filesystem::temp_directory_path() /
               ("barpost-" + std::to_string(platform::ProcessId()) + ".log"))
                  .string();
      std::remove(path_.c_str());
    }
    std::error_code ec;
    start_ = std::filesystem::file_size(path_, ec);
    if (ec) start_ = 0;
    platform::SetEnvironment("BARPOST_LOG", path_);
  }
  ~CallRecord() {
    if (private_) std::remove(path_.c_str());
  }
  // The lines "what: text" of this call's record, text only, for one what.
  std::vector<std::string> Lines(std::string_view what) const {
    std::vector<std::string> errors;
    // Only what this call appended, however long the shop's log has grown.
    if (platform::KindOf(path_) != platform::FileKind::kRegular) return errors;
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(start_));
    std::string text(kMaxRecordBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    std::string_view rest = text;
    while (!rest.empty()) {
      std::size_t end = rest.find('\n');
      std::string_view line = rest.substr(0, end);
      if (line.size() > what.size() + 1 && line.starts_with(what) && line[what.size()] == ':')
        errors.emplace_back(line.substr(what.size() + 2));
      rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    return errors;
  }

 private:
  std::string path_;
  bool private_ = false;
  std::size_t start_ = 0;
};

struct Call {
  std::vector<std::string> args;
  std::string module_path;
  std::string log;
  bool create = false;
};

int CallModule(const Command& command, const Call& call, std::ostream& out, std::ostream& err) {
  const std::vector<std::string>& a = call.args;
  const std::string name = command.name;
  std::string problem;
  if (name == "process") {
    problem = CheckReadable(a[2], "the job file");
    if (problem.empty()) problem = CheckProgramPath(a[3], a[2], a[0]);
  } else if (name == "export") {
    problem = CheckReadable(a[3], "the job file");
  }
  if (problem.empty() && name != "identity")
    problem = CheckMachine(a[0], a[1], call.create);
  if (!problem.empty()) {
    err << "barpost: " << name << ": " << problem << "\n";
    return kExitFailure;
  }
  // What the machine's options hold that the line cannot use is said before
  // the job, not found at the machine.
  if (name == "process" || name == "export")
    for (const Finding& f : FindingsOf(a[0], a[1]))
      err << "barpost: warning: " << a[1] << ": " << f.key << ": " << f.text << "\n";

  Module module;
  std::string error;
  if (!module.Load(call.module_path, &error)) {
    err << "barpost: cannot load the module " << call.module_path << ": " << error << "\n";
    return kExitFailure;
  }
  if (name == "identity") {
    auto fn = module.Get<BarpostIdentityFn>("Identity", &error);
    if (!fn) return err << "barpost: " << error << "\n", kExitFailure;
    out << fn(a[0].c_str()) << "\n";
    return kExitOk;
  }
  CallRecord record(call.log);
  int result = 0;
  if (name == "config") {
    auto fn = module.Get<BarpostConfigFn>("Config_Export", &error);
    if (!fn) return err << "barpost: " << error << "\n", kExitFailure;
    fn(a[0].c_str(), a[1].c_str());
  } else if (name == "process") {
    auto fn = module.Get<BarpostTraitementFn>("Traitement", &error);
    if (!fn) return err << "barpost: " << error << "\n", kExitFailure;
    result = fn(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str(), "1", "0", "0");
    out << "process: result " << Describe(result) << "\n";
  } else if (name == "export") {
    auto fn = module.Get<BarpostExportationFn>("Exportation", &error);
    if (!fn) return err << "barpost: " << error << "\n", kExitFailure;
    result = fn(a[0].c_str(), a[1].c_str(), a[2].c_str(), a[3].c_str());
    out << "export: result " << Describe(result) << "\n";
  } else if (name == "transmit") {
    auto fn = module.Get<BarpostTransmissionFn>("Transmission", &error);
    if (!fn) return err << "barpost: " << error << "\n", kExitFailure;
    result = fn(a[0].c_str(), a[1].c_str(), a[2].c_str(), "", "", "");
    out << "transmit: result " << Describe(result) << "\n";
  }
  // The module's results follow the host protocol, which calls a job done
  // even when its program could not be written; its messages tell the rest.
  const std::vector<std::string> errors = record.Lines("error");
  if (result == BARPOST_OK && !errors.empty()) {
    err << "barpost: " << name << ": the module reported an error:\n";
    for (const std::string& e : errors) err << "  " << e << "\n";
    return kExitReported;
  }
  if (name == "process" && result == BARPOST_OK) {
    const std::vector<std::string> wrote = record.Lines("wrote");
    ReportProgram(out, a[3], wrote.empty() ? std::string() : wrote.back());
  }
  return name == "config" ? kExitOk : StatusOf(result);
}

int RunCliChecked(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
  try {
    return RunCliChecked(argc, argv, out, err);
  } catch (const std::exception& e) {
    // Out of memory on a huge input, say: a message, never an abort.
    err << "barpost: " << e.what() << "\n";
  } catch (...) {
    err << "barpost: internal error\n";
  }
  return kExitFailure;
}

namespace {

int RunCliChecked(int argc, char** argv, std::ostream& out, std::ostream& err) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Call call;
  std::string& module_path = call.module_path;
  std::string ui;
  std::size_t i = 0;
  // Options before the command.
  for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      PrintUsage(out);
      return kExitOk;
    }
    if (a == "--version") {
      out << "barpost " << BARPOST_VERSION << "\n";
      return kExitOk;
    }
    if (a == "--module" || a == "--log" || a == "--ui") {
      if (i + 1 >= args.size()) return Usage(err, a + " needs a value");
      (a == "--module" ? module_path : a == "--log" ? call.log : ui) = args[++i];
    } else if (a.rfind("--module=", 0) == 0) {
      module_path = a.substr(9);
    } else if (a.rfind("--log=", 0) == 0) {
      call.log = a.substr(6);
    } else if (a.rfind("--ui=", 0) == 0) {
      ui = a.substr(5);
    } else {
      return Usage(err, "unknown option '" + a + "'");
    }
  }
  // Who answers the dialogs, for the module and for inspect alike.
  if (!ui.empty()) {
    if (!KnownFrontEnd(ui))
      return Usage(err, "--ui " + ui + ": choose gui, tty, auto or cancel");
    platform::SetEnvironment("BARPOST_UI", ui);
  } else if (const char* env = std::getenv("BARPOST_UI"); env && *env && !KnownFrontEnd(env)) {
    return Usage(err, std::string("BARPOST_UI=") + env + ": choose gui, tty, auto or cancel");
  }
  if (i >= args.size()) return Usage(err, "no command given");
  const Command* command = FindCommand(args[i]);
  if (!command) return UnknownCommand(err, args[i]);
  ++i;

  if (std::strcmp(command->name, "help") == 0) {
    if (i >= args.size()) {
      PrintUsage(out);
      return kExitOk;
    }
    const Command* about = FindCommand(args[i]);
    if (!about) return UnknownCommand(err, args[i]);
    PrintCommandHelp(out, *about);
    return kExitOk;
  }

  if (command->args < 0) {
    std::vector<std::string> rest(args.begin() + static_cast<long>(i), args.end());
    for (const std::string& a : rest) {
      if (a == "--") break;
      if (a == "-h" || a == "--help") {
        PrintCommandHelp(out, *command);
        return kExitOk;
      }
    }
    return std::strcmp(command->name, "import") == 0 ? RunImport(rest, out, err)
                                                     : RunPreview(rest, out, err);
  }

  std::vector<std::string> operands;
  bool bar = false;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      PrintCommandHelp(out, *command);
      return kExitOk;
    }
    if (a == "--bar" && std::strcmp(command->name, "inspect") == 0) {
      bar = true;
    } else if (a == "--create" && command->creates) {
      call.create = true;
    } else if (a == "--") {
      operands.insert(operands.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-' && std::strcmp(command->name, "identity") != 0) {
      return Usage(err, std::string(command->name) + ": unknown option '" + a + "'");
    } else {
      operands.push_back(a);
    }
  }
  if (static_cast<int>(operands.size()) != command->args) {
    return Usage(err, Format("%s takes %d argument%s: %s", command->name, command->args,
                             command->args == 1 ? "" : "s", command->synopsis));
  }

  if (std::strcmp(command->name, "inspect") == 0)
    return RunInspect(operands[0], operands[1], operands[2], bar, out, err);
  if (std::strcmp(command->name, "machines") == 0) return RunMachines(operands[0], out, err);
  if (std::strcmp(command->name, "check") == 0)
    return RunCheck(operands[0], operands[1], out, err);
  if (module_path.empty()) module_path = DefaultModulePath();
  call.args = std::move(operands);
  return CallModule(*command, call, out, err);
}

}  // namespace
