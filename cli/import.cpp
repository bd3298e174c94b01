#include "cli/import.h"

#include <ostream>

#include "base/platform.h"
#include "cli/cli.h"
#include "dstv/import.h"

namespace {

int Usage(std::ostream& err, const std::string& message) {
  err << "barpost: import: " << message << "\n"
      << "usage: barpost import [--bar LENGTH[,LENGTH...]] [--kerf MM] -o JOB.cam FILE.nc1...\n";
  return kExitUsage;
}

// "--name VALUE" or "--name=VALUE"; advances i past the value.
bool OptionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                 std::string* value) {
  const std::string& a = args[i];
  if (a == name) {
    if (i + 1 >= args.size()) return false;
    *value = args[++i];
    return true;
  }
  if (a.rfind(name + "=", 0) == 0) {
    *value = a.substr(name.size() + 1);
    return true;
  }
  return false;
}

}  // namespace

int RunImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  dstv::ImportOptions options;
  std::string output, value;
  std::vector<std::string> files;
  bool only_files = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (only_files || a.empty() || a[0] != '-' || a == "-") {
      files.push_back(a);
    } else if (a == "--") {
      only_files = true;
    } else if (OptionValue(args, i, "--bar", &value)) {
      if (!dstv::ParseLengthList(value, &options.bar_lengths))
        return Usage(err, "--bar takes bar lengths in millimetres, such as 6000,12000: '" +
                              value + "'");
    } else if (OptionValue(args, i, "--kerf", &value)) {
      dstv::Number n;
      if (!dstv::ReadNumber(value, &n) || n.suffix || n.value < 0)
        return Usage(err, "--kerf takes the saw kerf in millimetres: '" + value + "'");
      options.kerf = n.value;
    } else if (OptionValue(args, i, "-o", &output) || OptionValue(args, i, "--output", &output)) {
    } else if (a == "--bar" || a == "--kerf" || a == "-o" || a == "--output") {
      return Usage(err, a + " needs a value");
    } else {
      return Usage(err, "unknown option '" + a + "'");
    }
  }
  if (output.empty()) return Usage(err, "no job file given (-o JOB.cam)");
  if (files.empty()) return Usage(err, "no DSTV file given");

  std::vector<dstv::SourceFile> sources;
  int unreadable = 0;
  for (const std::string& f : files) {
    dstv::SourceFile s{f, {}};
    std::string error;
    if (!platform::ReadWholeFile(f, &s.text, &error)) {
      err << f << ": cannot be read: " << error << "\n";
      ++unreadable;
      continue;
    }
    sources.push_back(std::move(s));
  }
  dstv::ImportResult result = dstv::Import(sources, options);
  for (const dstv::Message& m : result.messages) err << m.Format() << "\n";

  int copies = 0;
  for (const dstv::JobPiece& p : result.pieces) copies += p.quantity;
  const int failed = result.files_failed + unreadable;
  out << "imported " << result.pieces.size() << " piece kind" << (result.pieces.size() == 1 ? "" : "s")
      << " (" << copies << " piece" << (copies == 1 ? "" : "s") << ") from "
      << files.size() - static_cast<std::size_t>(failed) << " of " << files.size() << " file"
      << (files.size() == 1 ? "" : "s") << "\n";
  for (const std::string& line : result.NestingReport()) out << line << "\n";
  if (result.job.empty()) {
    out << "no piece to write: " << output << " was not written\n";
    return kExitFailure;
  }
  std::string error;
  if (!platform::ReplaceFileAtomically(output, result.job, &error)) {
    err << output << ": cannot be written: " << error << "\n";
    return kExitFailure;
  }
  out << "wrote " << output << "\n";
  return failed > 0 ? kExitFailure : kExitOk;
}
