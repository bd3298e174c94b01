#include "make_job.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/text.h"

namespace bench {

namespace {

// A well-mixed number from an index and a stream, so that every piece and
// bar has its own values whatever the scale of the job.
std::uint64_t Mix(std::uint64_t index, std::uint64_t stream) {
  std::uint64_t z = index * 0x9E3779B97F4A7C15ull + stream * 0xBF58476D1CE4E5B9ull + 1;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int Pick(std::uint64_t index, std::uint64_t stream, int count) {
  return static_cast<int>(Mix(index, stream) % static_cast<std::uint64_t>(count));
}

// Piece lengths 300 to 900 mm in steps of 50; a bar holds at most this much.
constexpr int kMinLength = 300;
constexpr int kMaxBarUse = 11500;
constexpr int kSquaringCut = 10;
constexpr int kSawLoss = 3;
const char* const kTurns[] = {"N", "X", "N", "R", "Y"};

int PieceLength(int k) { return kMinLength + 50 * Pick(static_cast<std::uint64_t>(k), 1, 13); }
std::string PieceName(int k) { return Format("A-%05d", k + 1); }
std::string DrawingName(int k) { return Format("D-%04d", k / 10 + 1); }
std::string AssemblyName(int k) { return Format("A%d", k % 7 + 10); }

// Millimetres with at most one decimal, as a CAM host writes them.
std::string Mm(double v) { return Format("%g", std::round(v * 10) / 10); }

void AddHole(std::string& out, int level, int kind, double d, double x, double y, long* holes) {
  out += Format("HOLE level=%d kind=%d d=%s x=%s y=%s\n", level, kind, Mm(d).c_str(), Mm(x).c_str(),
                Mm(y).c_str());
  ++*holes;
}

void AddSlot(std::string& out, int level, double d, double len, double x, double y, long* holes) {
  out += Format("HOLE level=%d kind=4 d=%s x=%s y=%s len=%s angle=0\n", level, Mm(d).c_str(),
                Mm(x).c_str(), Mm(y).c_str(), Mm(len).c_str());
  ++*holes;
}

void AddPiece(std::string& out, int k, long* holes) {
  const double l = PieceLength(k);
  out += "*PIECE\n";
  out += "PCE_NAM=" + PieceName(k) + "\n";
  out += "PCE_PRF=L100X100X10\n";
  out += "DWG_NAM=" + DrawingName(k) + "\n";
  out += "ASS_NAM=" + AssemblyName(k) + "\n";
  out += "CATEGORY=Y\nSECTION=100 100\n";
  out += "LENGTH=" + Mm(l) + "\n";
  // Flange on level 0: connections 22 (Y1), a row of 18 (Y2) and one 26
  // made with the off-centre punch (Y3).
  AddHole(out, 0, 0, 22, 40, 40, holes);
  AddHole(out, 0, 0, 18, 0.15 * l, 62.5, holes);
  AddHole(out, 0, 0, 26, 0.3 * l, 55, holes);
  AddHole(out, 0, 0, 18, 0.5 * l, 35, holes);
  AddHole(out, 0, 0, 22, 0.6 * l, 80, holes);
  AddHole(out, 0, 0, 18, 0.7 * l, 62.5, holes);
  AddHole(out, 0, 0, 18, 0.85 * l, 35, holes);
  AddHole(out, 0, 0, 22, l - 40, 40, holes);
  // Flange on level 1: end connections 22 (Y4), four 18 (Y5) and a 22x60
  // slot for the slot punch (Y6).
  AddHole(out, 1, 0, 22, 40, 55, holes);
  AddHole(out, 1, 0, 18, 0.25 * l, 45, holes);
  AddHole(out, 1, 0, 18, 0.4 * l, 75, holes);
  AddSlot(out, 1, 22, 60, 0.5 * l, 50, holes);
  AddHole(out, 1, 0, 18, 0.6 * l, 75, holes);
  AddHole(out, 1, 0, 18, 0.75 * l, 45, holes);
  AddHole(out, 1, 0, 22, l - 40, 55, holes);
  // Every other piece: a 22x50 slot near the heel of level 0, nibbled with
  // the round 22 tool of the magazine.
  if (k % 2 == 1) AddSlot(out, 0, 22, 50, 0.4 * l, 75, holes);
  out += "MARK x=60 y=30 code=-1 text=\"@PCE_NAM\"\n\n";
}

void AddBar(std::string& out, int b, long* pieces) {
  int qty[kItemsPerBar];
  int used = kSquaringCut;
  for (int i = 0; i < kItemsPerBar; ++i) {
    int k = b * kItemsPerBar + i;
    qty[i] = 1 + Pick(static_cast<std::uint64_t>(k), 2, 3);
    used += qty[i] * (PieceLength(k) + kSawLoss);
  }
  // Fewer of the longest items until the pieces fit a 12 m bar.
  while (used > kMaxBarUse) {
    int longest = -1;
    for (int i = 0; i < kItemsPerBar; ++i) {
      int k = b * kItemsPerBar + i;
      if (qty[i] > 1 && (longest < 0 || PieceLength(k) > PieceLength(b * kItemsPerBar + longest)))
        longest = i;
    }
    if (longest < 0) break;
    --qty[longest];
    used -= PieceLength(b * kItemsPerBar + longest) + kSawLoss;
  }
  // The remnant is 300 to 1200 mm: never short enough to stay in the middle.
  const int length =
      (used + 300 + 100 * Pick(static_cast<std::uint64_t>(b), 3, 10) + 99) / 100 * 100;

  out += "*BAR\nBAR_PRO=L100X100X10\nBAR_MAT=S355\n";
  out += Format("BAR_LEN=%d\nBAR_SC=%d\nBAR_SL=%d\n", length, kSquaringCut, kSawLoss);
  out += Format("BAR_BON=%d\nBAR_IDT=%d\nBAR_QTY=1\n", b / 100 + 1, b % 100 + 1);
  out += "CATEGORY=Y\nSECTION=100 100\n";
  for (int i = 0; i < kItemsPerBar; ++i) {
    int k = b * kItemsPerBar + i;
    out += Format("ITEM com=BENCH pce=%s dwg=%s ass=%s length=%d qty=%d turn=%s\n",
                  PieceName(k).c_str(), DrawingName(k).c_str(), AssemblyName(k).c_str(),
                  PieceLength(k), qty[i], kTurns[k % 5]);
    *pieces += qty[i];
  }
  out += "\n";
}

}  // namespace

std::string MakeBarJob(int scale, JobSize* size) {
  if (scale < 1) scale = 1;
  JobSize counts;
  counts.bars = kBarsPerScale * scale;
  counts.piece_kinds = kPieceKindsPerScale * scale;

  std::string out;
  out.reserve(static_cast<std::size_t>(counts.piece_kinds) * 720);
  out += Format("# barpost benchmark job, scale %d: %d bars of L100X100X10, %d piece kinds.\n",
                scale, counts.bars, counts.piece_kinds);
  out += "*JOB\nJOB_NAM=BENCH\nCOM_NAM=BENCH\nPCE_MAT=S355\nUNIT=MM\n\n";
  for (int k = 0; k < counts.piece_kinds; ++k) AddPiece(out, k, &counts.holes);
  for (int b = 0; b < counts.bars; ++b) AddBar(out, b, &counts.pieces);
  out += "*END\n";
  if (size) *size = counts;
  return out;
}

bool WriteBarJob(int scale, const std::string& path, std::string* error) {
  const std::string text = MakeBarJob(scale);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    if (error) *error = path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok && error) *error = path + ": write failed";
  return ok;
}

}  // namespace bench
