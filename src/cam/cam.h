// The CAM library: the reader of CAM job files (CCam), the post-processing
// object the piece analysis prepares (CPostCam) and the entity value classes.
// This is the one place that declares them; the rest of the module includes
// this header.
#ifndef BARPOST_CAM_CAM_H_
#define BARPOST_CAM_CAM_H_

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/array.h"

// Root of the entity classes.
class CamBase {
 public:
  CamBase() = default;
  CamBase(const CamBase&) = default;
  CamBase& operator=(const CamBase&) = default;
  virtual ~CamBase() = default;
  // Reads the entity from the fields of one entity line (the text after the
  // entity word). Returns false when the line is not an entity of this kind.
  virtual bool Scanf(const char* text);
  // Writes the entity as an entity line of the job file, word included.
  virtual void Printf(std::string& text) const;
};

// An entity that stands on one level (face) of the profile.
class CamBNiv : public CamBase {
 public:
  int16_t m_nLevel = 0;
};

class Cam_Hole : public CamBNiv {
 public:
  bool Scanf(const char* text) override;
  void Printf(std::string& text) const override;

  // m_nLevel (inherited): 0, 1 or 2.
  uint8_t m_cFlag = 0;     // "flag"
  double m_dDiameter = 0;  // "d": diameter, the width for a slot
  double m_dX = 0;         // "x"
  double m_dY = 0;         // "y"
  double m_dZ = 0;         // "z": a further value
  double m_dLength = 0;    // "len": slot length
  double m_dAngle = 0;     // "angle": degrees
  double m_dAngle2 = 0;    // "angle2"
  double m_dShape = 0;     // "shape": third shape value
  int m_nKind = 0;         // "kind": 0 circular, 3, 4 slot, 13

  // The library's hole order: x, y, level, kind, diameter, all ascending.
  bool operator==(const Cam_Hole& o) const;
  bool operator<(const Cam_Hole& o) const;
};
inline bool SortLess(const Cam_Hole& a, const Cam_Hole& b) { return a < b; }

// Puts holes in the library's hole order, equal holes in the order they
// had (a stable sort). A record holds a few dozen holes: they are sorted by
// insertion, without the buffer std::stable_sort allocates; long lists are
// left to std::stable_sort.
template <typename It>
void SortHoles(It begin, It end) {
  if (end - begin > 64) {
    std::stable_sort(begin, end);
    return;
  }
  for (It i = begin; i != end; ++i) {
    if (i == begin || !(*i < *(i - 1))) continue;
    Cam_Hole hole = std::move(*i);
    It j = i;
    do {
      *j = std::move(*(j - 1));
      --j;
    } while (j != begin && hole < *(j - 1));
    *j = std::move(hole);
  }
}
inline bool SortEqual(const Cam_Hole& a, const Cam_Hole& b) { return a == b; }

class Cam_Mark : public CamBase {
 public:
  bool Scanf(const char* text) override;
  void Printf(std::string& text) const override;

  double m_dX = 0;
  double m_dY = 0;
  std::string m_sText;
  int8_t m_cCode = 0;  // -1 text mark, 0 or more ordinary mark
};

class Cam_Item : public CamBase {
 public:
  bool Scanf(const char* text) override;
  void Printf(std::string& text) const override;

  std::string m_sComNam;  // "com"
  std::string m_sPceNam;  // "pce"
  double m_dLength = 0;   // "length"
  int m_nQty = 0;         // "qty": pieces of this kind on the bar
  char m_cTurn = 0;       // "turn": 'R', 'X', 'Y' or other
  std::string m_sDwgNam;  // "dwg"
  std::string m_sAssNam;  // "ass"
};

// A key and a value: the posts of a record and its head values.
class Cam_Post : public CamBase {
 public:
  Cam_Post() = default;
  Cam_Post(std::string cle, std::string val) : m_sCle(std::move(cle)), m_sVal(std::move(val)) {}
  bool Scanf(const char* text) override;
  void Printf(std::string& text) const override;

  const std::string& GetCle() const { return m_sCle; }
  const std::string& GetVal() const { return m_sVal; }
  void SetCle(const std::string& s) { m_sCle = s; }
  void SetVal(const std::string& s) { m_sVal = s; }

 protected:
  std::string m_sCle;
  std::string m_sVal;
};

class Cam_Head : public Cam_Post {
 public:
  using Cam_Post::Cam_Post;
};

// One record of a job file as the reader keeps it after parsing.
struct CamRecord;
// The whole parsed file, shared by readers that copy each other.
struct CamFile;

// Record kinds and the masks of Lire_Entites.
enum : int { kRecordPiece = 1, kRecordJob = 2, kRecordBar = 4, kRecordOther = 8 };

class CCam {
 public:
  CCam();
  CCam(const CCam&);
  CCam& operator=(const CCam&);
  virtual ~CCam();

  // Names the job file for the following reads. The file is read and parsed
  // once, at the first read after SetFile; a file that cannot be read gives
  // no record.
  void SetFile(const std::string& path);
  // Parses job text directly (tests, fuzzing); name is used in messages.
  void SetText(const std::string& text, const std::string& name = "<text>");

  // Record positions: 0 is before the first record. GetPos is the position of
  // the current record (or the position last set); SetPos(GetPos()) followed
  // by Lire_Entites of the same kind makes the same record current again.
  long GetPos() const;
  void SetPos(long pos);

  // Makes the next record whose kind bit is in mask current, with its heads
  // and lists. False at the end of the file.
  bool Lire_Entites(int mask);

  // The head value of the current record, empty when absent.
  std::string ReadHead(const std::string& key, const char* unused = nullptr) const;
  // Sets a head value of the current record (not of the file).
  void WriteHead(const std::string& key, const std::string& value);

  // Called once per bar record during a scan of all bars; stores nothing.
  void Ecrire(std::string* text);
  // Releases the current record.
  void Libere();

  // Lengths in millimetres to and from text in the unit of m_cInch.
  double TextToVal(const std::string& text) const;
  std::string ValToText(double value, int unused = 0) const;

  // --- Fast paths the job driver uses instead of a scan of the whole file.
  // Position of the first piece record whose heads COM_NAM, DWG_NAM, ASS_NAM
  // and PCE_NAM equal the four texts, or -1. SetPos(result) then
  // Lire_Entites(kRecordPiece) makes it current.
  long FindPiece(const std::string& com, const std::string& dwg, const std::string& ass,
                 const std::string& pce) const;
  // Rewinds and reads every bar record, calling Ecrire for each, which leaves
  // the reader at the end of the file; without copying any record.
  void ScanBars();
  // Number of records of the file (all kinds).
  long RecordCount() const;
  // Diagnostics of the parse: one "file:line: message" per skipped line (at
  // most 1000, then a count of the rest); a file that cannot be read gives one.
  const std::vector<std::string>& Warnings() const;
  // "path: reason" when the job file is no file to read (a FIFO, a folder,
  // a device, beyond the size limit); empty otherwise.
  const std::string& Refused() const;

  // --- The current record.
  int m_nType = 0;           // record kind: 1 piece, 4 bar, 2 job, 8 other
  char m_cProfil = ' ';      // category letter, blank when absent
  char m_cInch = 0;          // 1 when the record's lengths are in inches
  double m_dH1 = 0;          // first section dimension
  double m_dH2 = 0;          // second section dimension
  double m_dLength = 0;      // piece length
  int m_nSection = 0;        // section kind
  CSortedArray<Cam_Hole> m_aHoles;  // in the library's hole order
  CArray<Cam_Mark> m_aMarks;
  CArray<Cam_Item> m_aItems;        // bar records only
  CArray<Cam_Post> m_aPosts;

 protected:
  void Load() const;
  CArray<Cam_Head> m_aHeads;
  std::string m_sFile;
  mutable std::shared_ptr<const CamFile> m_file;
  long m_nPos = 0;     // position of the current record
  long m_nCursor = 0;  // where the next read starts

 private:
  friend class CPostCam;
  // Makes the record at index of the parsed file current (copies it).
  void TakeRecord(long index);
  long m_nRecord = -1;         // index of the current record, -1 when none
  unsigned long m_nSerial = 0;  // changes whenever another record becomes current
};

// The post-processing object: the reader plus the parameters the piece
// analysis hands over and the results it reads back.
class CPostCam : public CCam {
 public:
  CPostCam();
  ~CPostCam() override;

  // Parameters (set from the options before initialise_postcam).
  int m_nMotrice = 0;        // driving quadrant
  bool m_bMarkAuto = false;  // automatic marking enabled
  int m_nMarkSens = 0;       // 0 ascending, 1 descending
  int m_nMarkNiv = 0;        // marking level
  double m_dMarkX = 0, m_dMarkY = 0, m_dMarkXMin = 0, m_dMarkOff = 0;
  int m_nMarkNbCar = 0, m_nMarkLgCar = 0, m_nMarkHtCar = 0;
  std::string m_sMarkCod, m_sMarkSep, m_sMarkCat;
  int m_nMarkTyp = 0;        // detail selection: 16, 8, 4, 2, 1 and 64
  std::string m_sCateg, m_sDefaut, m_sXSym, m_sYSym, m_sRotat, m_sOrgDef;
  int m_nNbVert = 0, m_nNbHorz = 0;
  double m_dVLarg = 0, m_dVProf = 0, m_dHLarg = 0, m_dHProf = 0;
  double m_dSRS = 0, m_dSL = 0, m_dSP = 0, m_dSC = 0;
  int m_nTEC = 0;
  int m_nOrigine = -1;       // origin code

  // Mirror flags, set from the posts "SymX" and "SymY" by initialise_postcam.
  bool m_bSymX = false;
  bool m_bSymY = false;

  // Results.
  int m_nCategorie = -1;        // category index, set by initialise_postcam
  bool m_bTurned = false;       // a mirror was applied to the current record
  bool m_bMarkPlaced = false;   // marquage_auto placed a text
  std::string m_sMarkText;      // the automatic marking text
  double m_dMarkTextX = 0;      // where it starts
  double m_dMarkTextY = 0;

  // Sets the category index and mirrors the current record as its posts say.
  void initialise_postcam(bool a, bool b);
  // Composes and places the automatic marking text.
  void marquage_auto(bool a);
  // Turns the current record's entities back as they were before the mirror.
  void rotation(bool a);

 private:
  struct Saved;
  std::unique_ptr<Saved> m_saved;
};

#endif  // BARPOST_CAM_CAM_H_
