// DSTV NC1 files to one job file: read each file, map it to a piece, and
// with stock lengths given nest the pieces onto bars.
#ifndef BARPOST_DSTV_IMPORT_H_
#define BARPOST_DSTV_IMPORT_H_

#include <string>
#include <vector>

#include "dstv/job_writer.h"
#include "dstv/nc1.h"
#include "dstv/nesting.h"
#include "dstv/piece.h"

namespace dstv {

struct SourceFile {
  std::string name;  // as messages name it
  std::string text;
};

struct ImportOptions {
  std::vector<double> bar_lengths;  // empty: no nesting, one piece record per kind
  double kerf = 0;
  NestLimits limits;
};

// The nesting of one profile (profile, material and section).
struct GroupReport {
  std::string profile, grade;
  int bon = 0;
  int pieces = 0;
  NestResult nest;
};

struct ImportResult {
  std::vector<JobPiece> pieces;  // the pieces imported, in file order
  std::vector<JobBar> bars;
  std::vector<GroupReport> groups;
  std::vector<Message> messages;
  int files_failed = 0;
  std::string job;  // the job file's text; empty when no piece was imported

  // The nesting figures, one line per profile and a total line.
  std::vector<std::string> NestingReport() const;
};

ImportResult Import(const std::vector<SourceFile>& files, const ImportOptions& options);

// A length list "6000,12000" (millimetres, decimal point): false when an
// entry is not a length above 0.
bool ParseLengthList(const std::string& text, std::vector<double>* lengths);

// Percent with one decimal: "97.3".
std::string PercentText(double fraction);

}  // namespace dstv

#endif  // BARPOST_DSTV_IMPORT_H_
