#include "dstv/import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <tuple>

#include "cam/length_text.h"

namespace dstv {
namespace {

std::string Mm(double v) { return cam::ExactText(std::round(v * 100) / 100); }

std::string Bars(std::size_t n) { return std::to_string(n) + (n == 1 ? " bar" : " bars"); }

// Pieces that may share a bar: same profile, material and section.
using GroupKey = std::tuple<std::string, std::string, char, double, double>;

}  // namespace

std::string PercentText(double fraction) {
  char buf[32];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, fraction * 100, std::chars_format::fixed, 1);
  return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

bool ParseLengthList(const std::string& text, std::vector<double>* lengths) {
  lengths->clear();
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t comma = text.find(',', at);
    std::string_view item(text.data() + at,
                          (comma == std::string::npos ? text.size() : comma) - at);
    Number n;
    if (!ReadNumber(item, &n) || n.suffix || !(n.value > 0)) return false;
    lengths->push_back(n.value);
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return !lengths->empty();
}

std::vector<std::string> ImportResult::NestingReport() const {
  std::vector<std::string> lines;
  int bar_count = 0, bound = 0, bound_kerf = 0, ffd_bars = 0;
  double used = 0, stock = 0, ffd_stock = 0;
  for (const GroupReport& g : groups) {
    const NestPlan& p = g.nest.plan;
    const NestPlan& f = g.nest.first_fit;
    lines.push_back(g.profile + " " + g.grade + ": " + std::to_string(g.pieces) +
                    (g.pieces == 1 ? " piece, " : " pieces, ") +
                    Mm(p.pieces_length / 1000) + " m on " + Bars(p.bars.size()) +
                    " (lower bound " + std::to_string(g.nest.lower_bound) + ", " +
                    std::to_string(g.nest.lower_bound_kerf) + " with the kerfs), yield " +
                    PercentText(p.Yield()) + " %; first-fit decreasing " + Bars(f.bars.size()) +
                    ", yield " + PercentText(f.Yield()) + " %");
    bar_count += static_cast<int>(p.bars.size());
    bound += g.nest.lower_bound;
    bound_kerf += g.nest.lower_bound_kerf;
    ffd_bars += static_cast<int>(f.bars.size());
    used += p.pieces_length;
    stock += p.stock_length;
    ffd_stock += f.stock_length;
  }
  if (!groups.empty()) {
    lines.push_back("nested: " + Bars(static_cast<std::size_t>(bar_count)) + ", lower bound " +
                    std::to_string(bound) + " (total length / bar length, rounded up; " +
                    std::to_string(bound_kerf) + " with the kerfs), " +
                    std::to_string(bar_count - bound) + " above it; yield " +
                    PercentText(stock > 0 ? used / stock : 0) + " % (" + Mm(used / 1000) +
                    " m of " + Mm(stock / 1000) + " m); first-fit decreasing " +
                    Bars(static_cast<std::size_t>(ffd_bars)) + ", yield " +
                    PercentText(ffd_stock > 0 ? used / ffd_stock : 0) + " %");
  }
  return lines;
}

ImportResult Import(const std::vector<SourceFile>& files, const ImportOptions& options) {
  ImportResult result;
  // The job matches bar items to pieces by these four names.
  std::map<std::tuple<std::string, std::string, std::string, std::string>, std::string> seen;
  for (const SourceFile& file : files) {
    Part part;
    JobPiece piece;
    const std::size_t first_message = result.messages.size();
    bool ok = ReadPart(file.text, file.name, &part, &result.messages) &&
              MapPart(part, &piece, &result.messages);
    // A file's messages in the order of its lines.
    std::stable_sort(result.messages.begin() + static_cast<long>(first_message),
                     result.messages.end(),
                     [](const Message& a, const Message& b) { return a.line < b.line; });
    if (ok) {
      auto key = std::make_tuple(piece.order, piece.drawing, piece.phase, piece.piece);
      auto [it, inserted] = seen.emplace(key, file.name);
      if (!inserted) {
        result.messages.push_back(Message{
            file.name, part.header.lines[3], Severity::kError,
            "piece " + piece.piece + ": " + it->second +
                " already has a piece of this order, drawing, phase and mark"});
        ok = false;
      }
    }
    if (!ok) {
      ++result.files_failed;
      continue;
    }
    result.pieces.push_back(std::move(piece));
  }

  if (!options.bar_lengths.empty()) {
    // One nesting per profile group, groups in the order they first appear.
    std::map<GroupKey, std::size_t> group_of;
    std::vector<std::vector<int>> members;
    for (std::size_t i = 0; i < result.pieces.size(); ++i) {
      const JobPiece& p = result.pieces[i];
      GroupKey key{p.profile, p.grade, p.category, p.h1, p.h2};
      auto [it, inserted] = group_of.emplace(key, members.size());
      if (inserted) members.emplace_back();
      members[it->second].push_back(static_cast<int>(i));
    }
    std::vector<bool> unplaced(result.pieces.size(), false);
    for (std::size_t g = 0; g < members.size(); ++g) {
      std::vector<NestKind> kinds;
      GroupReport report;
      for (int index : members[g]) {
        const JobPiece& p = result.pieces[static_cast<std::size_t>(index)];
        kinds.push_back(NestKind{p.length, p.quantity});
        report.pieces += p.quantity;
      }
      const JobPiece& first = result.pieces[static_cast<std::size_t>(members[g].front())];
      report.profile = first.profile;
      report.grade = first.grade;
      report.bon = static_cast<int>(g + 1);
      report.nest = Nest(kinds, options.bar_lengths, options.kerf, options.limits);
      for (int k : report.nest.too_long) {
        const JobPiece& p = result.pieces[static_cast<std::size_t>(members[g][static_cast<std::size_t>(k)])];
        result.messages.push_back(Message{
            p.file, 0, Severity::kError,
            "piece " + p.piece + ": " + Mm(p.length) + " long with the kerf " +
                Mm(options.kerf) + ", it fits no bar; not nested"});
        report.pieces -= p.quantity;
        unplaced[static_cast<std::size_t>(members[g][static_cast<std::size_t>(k)])] = true;
      }
      int idt = 0;
      for (const NestBar& bar : report.nest.plan.bars) {
        JobBar jb;
        jb.bon = report.bon;
        jb.idt = ++idt;
        jb.length = bar.stock;
        jb.kerf = options.kerf;
        for (const auto& [k, qty] : bar.cuts) jb.items.emplace_back(members[g][static_cast<std::size_t>(k)], qty);
        result.bars.push_back(std::move(jb));
      }
      result.groups.push_back(std::move(report));
    }
    // A piece that fits no bar fails its file.
    for (std::size_t i = 0; i < unplaced.size(); ++i)
      if (unplaced[i]) ++result.files_failed;
  }

  if (!result.pieces.empty()) {
    std::vector<std::string> comments = {
        "barpost import: " + std::to_string(result.pieces.size()) + " piece kind" +
        (result.pieces.size() == 1 ? "" : "s") + " from DSTV NC1 files"};
    if (!options.bar_lengths.empty()) {
      std::string stock;
      for (double l : options.bar_lengths) stock += (stock.empty() ? "" : ", ") + Mm(l);
      comments.push_back("nested on bars of " + stock + " mm with a kerf of " + Mm(options.kerf) +
                         " mm");
      for (const std::string& line : result.NestingReport()) comments.push_back(line);
    }
    result.job = WriteJob(result.pieces, result.bars, comments);
  }
  return result;
}

}  // namespace dstv
