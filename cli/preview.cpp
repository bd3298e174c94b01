#include "cli/preview.h"

#include <ostream>

#include "base/platform.h"
#include "cli/cli.h"
#include "cli/inspect.h"
#include "config/options.h"
#include "engine/module_state.h"
#include "engine/traitement.h"
#include "preview/nc_reader.h"
#include "preview/sheets.h"
#include "preview/svg.h"

namespace {

int Usage(std::ostream& err, const std::string& message) {
  err << "barpost: preview: " << message << "\n"
      << "usage: barpost preview INI MACHINE (--job CAMFILE [--bar] | --program NCFILE) "
         "-o OUT.svg|OUT.html\n";
  return kExitUsage;
}

bool EndsWith(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

const char* ControlName(int cnc) {
  return cnc == 0 ? "Siemens 840Di" : cnc == 2 ? "Ocean Clipper" : "Fagor";
}

std::string Describe(const preview::Op& op) {
  using preview::Num;
  std::string face = op.level == 0 ? "FL" : "NL";
  switch (op.kind) {
    case 'D':
      return "hole " + op.axis + " " + face + " X " + Num(op.x) + " Y " + Num(op.y) +
             " (machine X " + Num(op.xm) + " Y " + Num(op.ym) + ")";
    case 'M':
      return std::string("mark '") + op.ch + "' X " + Num(op.x) +
             (op.has_y ? " Y " + Num(op.y) : std::string()) + " (machine X " + Num(op.xm) + ")";
    default:
      return "cut M" + std::to_string(op.code) + " X " + Num(op.x) + " (machine X " + Num(op.xm) + ")";
  }
}

bool Write(const std::string& path, const std::string& text, std::ostream& out, std::ostream& err) {
  std::string error;
  if (!platform::ReplaceFileAtomically(path, text, &error)) {
    err << path << ": cannot be written: " << error << "\n";
    return false;
  }
  out << "wrote " << path << "\n";
  return true;
}

}  // namespace

int RunPreview(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> positional;
  std::string job_file, program_file, output;
  bool bar = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* to) {
      if (i + 1 >= args.size()) return false;
      *to = args[++i];
      return true;
    };
    if (a == "--job") {
      if (!value(&job_file)) return Usage(err, "--job needs a job file");
    } else if (a == "--program") {
      if (!value(&program_file)) return Usage(err, "--program needs a program file");
    } else if (a == "-o" || a == "--output") {
      if (!value(&output)) return Usage(err, "-o needs an output file");
    } else if (a == "--bar") {
      bar = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(err, "unknown option '" + a + "'");
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return Usage(err, "give the INI file and the machine");
  if (job_file.empty() && program_file.empty()) return Usage(err, "give --job, --program or both");
  if (output.empty()) return Usage(err, "no output file given (-o OUT.svg or OUT.html)");
  const bool html = EndsWith(Lower(output), ".html") || EndsWith(Lower(output), ".htm");
  if (!html && !EndsWith(Lower(output), ".svg"))
    return Usage(err, "the output file ends with .svg or .html: '" + output + "'");

  const std::string& ini = positional[0];
  const std::string& machine = positional[1];
  g_sIniFile = ini;
  g_sMachine = machine;
  LoadOptions(ini, machine);
  const std::string macro_dir = platform::JoinPath(platform::JoinPath(g_sIniDir, "MACRO_MK"), "");

  std::string text, error;
  preview::ProgramRead program;
  if (!program_file.empty()) {
    if (!platform::ReadWholeFile(program_file, &text, &error)) {
      err << program_file << ": cannot be read: " << error << "\n";
      return kExitFailure;
    }
    program = preview::ReadProgram(text, g_options, macro_dir);
    if (!bar) bar = program.bar;
  }

  std::vector<preview::Sheet> sheets;
  std::vector<std::string> summary;
  summary.push_back("Machine " + machine + " of " + ini + ": " + ControlName(g_options.Cnc));
  int differ = 0;
  preview::JobPreview job;
  if (!job_file.empty()) {
    if (!platform::ReadWholeFile(job_file, &text, &error)) {
      err << job_file << ": cannot be read: " << error << "\n";
      return kExitFailure;
    }
    CTraitement engine(ini, machine, job_file, bar ? "B.preview" : "P.preview", 1, 0, 0);
    engine.KeepOptionsUnsaved();
    preview::HoleTexts texts{HoleSizeText, UnpunchedReason};
    if (!preview::PreviewJob(engine, texts, &job, &error)) {
      err << job_file << ": " << error << "\n";
      return kExitFailure;
    }
    for (const std::string& note : job.notes) err << "barpost: preview: " << note << "\n";
    summary.push_back("Job " + job_file + ", " + (job.bar ? "bar mode" : "piece mode") +
                      (job.inch ? ", inches" : ""));
    if (!program_file.empty()) {
      differ = preview::AddProgramPanels(job, program, g_options);
      summary.push_back("Program " + program_file + ": " +
                        (differ == 0 ? std::string("every operation agrees with the job")
                                     : std::to_string(differ) + " operations differ from the job"));
    }
    sheets = std::move(job.sheets);
  } else {
    summary.push_back("Program " + program_file + (program.bar ? ", bar" : ", piece") +
                      (program.inch ? ", inches" : ""));
    std::string title = "Program " + program_file + "  " + program.shape + "  " + program.material +
                        "  " + preview::Num(program.length) + " mm";
    sheets.push_back(preview::ProgramSheet(program, g_options, title));
  }

  // What the pictures show, and every difference.
  int ops = 0, missing = 0, listed = 0;
  for (const preview::Sheet& s : sheets) {
    ops += static_cast<int>(s.panels[0].ops.size());
    missing += static_cast<int>(s.panels[0].unpunched.size());
    for (const preview::Panel& p : s.panels) {
      for (const preview::Op& op : p.ops) {
        if (!op.differs || ++listed > 50) continue;
        out << p.label << (op.line ? " line " + std::to_string(op.line) : std::string()) << ": "
            << Describe(op) << ": not in the " << (p.label == "job" ? "program" : "job") << "\n";
      }
      for (const preview::ClampMove& m : p.clamps) {
        if (!m.differs || ++listed > 50) continue;
        out << p.label << (m.line ? " line " + std::to_string(m.line) : std::string()) << ": clamp "
            << m.clamp + 1 << (m.close ? " closes" : " opens") << " at X " << preview::Num(m.xm)
            << ": not in the " << (p.label == "job" ? "program" : "job") << "\n";
      }
      if (p.label == "program" && !job_file.empty())
        for (const std::string& note : p.notes) out << "program " << note << "\n";
    }
  }
  if (listed > 50) out << "... and " << listed - 50 << " more\n";
  summary.push_back(std::to_string(sheets.size()) + (sheets.size() == 1 ? " sheet, " : " sheets, ") +
                    std::to_string(ops) + " operations, " + std::to_string(missing) +
                    " holes no unit can punch");
  for (const std::string& line : summary) out << line << "\n";

  if (sheets.empty() && !html) {
    err << "barpost: preview: " << job_file << " has no " << (bar ? "bar" : "piece")
        << " to draw\n";
    return kExitFailure;
  }
  bool ok = true;
  if (html) {
    ok = Write(output, preview::PreviewHtml("barpost preview", summary, sheets), out, err);
  } else if (sheets.size() == 1) {
    ok = Write(output, preview::SheetSvg(sheets[0]), out, err);
  } else {
    const std::string base = output.substr(0, output.size() - 4);
    for (const preview::Sheet& s : sheets)
      ok &= Write(base + "-" + s.name + ".svg", preview::SheetSvg(s), out, err);
  }
  if (!ok) return kExitFailure;
  return differ > 0 ? kExitDiffers : kExitOk;
}
