// One job: a CAM job file turned into one NC program.
#ifndef BARPOST_ENGINE_TRAITEMENT_H_
#define BARPOST_ENGINE_TRAITEMENT_H_

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/array.h"
#include "base/platform.h"
#include "cam/cam.h"
#include "engine/usi_list.h"
#include "ui/setup.h"

// Result of Process when the operator cancelled "Setup machine".
constexpr int kResultCancelled = 1008;
// A job that would make more operations than this stops with a message and
// writes no program, rather than exhausting memory.
constexpr int kMaxOperations = 10'000'000;
// Pieces may overrun their bar by this much (rounding of lengths) before the
// operator is warned.
constexpr double kLengthTolerance = 0.01;

class CTraitement {
 public:
  // Loads the options of machine from iniFile.
  CTraitement(const std::string& iniFile, const std::string& machine, const std::string& camFile,
              const std::string& ncFile, int repeat, int arg6, int arg7);
  // Saves the options back, whatever happened.
  virtual ~CTraitement();
  CTraitement(const CTraitement&) = delete;
  CTraitement& operator=(const CTraitement&) = delete;

  // Reads the job, shows "Setup machine" and writes the program: 0, or
  // kResultCancelled when the operator cancelled.
  int Process();
  // Shows "Setup machine"; IDOK or IDCANCEL. Sizes the operator changed are
  // noted in the call's log.
  int RunSetup();
  // Analyses the pieces nested on the current bar record in machine order.
  void WalkBar();
  // Turns the current record into operations (writing pass) or collects its
  // holes for "Setup machine" (reading pass).
  void Analyse(bool repeat, char turn);
  // Creates the program file at path and writes the program into it.
  void WriteProgram(const std::string& path);

  // The steps of Process and WriteProgram, for callers that inspect a job
  // without writing it: the reading pass; the writer's middle-remnant
  // decision (with its message when show_message); the writing pass that
  // rebuilds m_aUsi.
  void ReadJob();
  void DecideMiddleRemnant(bool show_message);
  void BuildOperations();

  // True when the job stopped at the operation limit (or at a position
  // beyond any bar).
  bool Overflowed() const { return m_bOverflow; }
  // A job that only looks at the file leaves the INI file alone.
  void KeepOptionsUnsaved() { m_bSaveOptions = false; }
  // False, with a message, when the INI file is there but cannot be read
  // (a FIFO, a folder, beyond its size limit): the job then does nothing
  // and leaves the file alone.
  bool OptionsUsable();
  // Called for every hole that no punching unit can make (writing pass).
  std::function<void(const Cam_Hole&)> m_onUnpunched;

  std::string m_sIniFile;
  std::string m_sMachine;
  std::string m_sCamFile;
  std::string m_sNcFile;
  int m_nRepeat = 0;
  bool m_bBar = false;
  std::string m_sName;
  platform::AtomicFile* m_pFile = nullptr;  // the program being written
  CPostCam m_cam;
  CSetup m_dlgSetup;
  bool m_bWriting = false;
  double m_dPosX = 0;
  int m_nLine = 0;
  int m_nMiddleRemnant = 0;
  double m_dMiddleX = 0;
  double m_dMiddleLen = 0;
  double m_dMaxX = 0;
  std::string m_sProfile;
  std::string m_sMaterial;
  std::string m_sPieceName;
  double m_dLength = 0;
  double m_dRemnant = 0;
  int m_nInch = 0;
  int m_nBon = 0;
  int m_nBarIdt = 0;
  bool m_bLastPiece = false;
  double m_dProfileH = 0;
  double m_dProfileW = 0;
  double m_dBarSC = 0;
  double m_dBarSL = 0;
  CArray<Cam_Item> m_aItems;
  CUsiList m_aUsi;

  // Head values of the current bar record (bar mode of Process and
  // Exportation); warns the operator of a bar whose pieces overrun it.
  void ReadBarHeads();

 private:
  void SetPostParameters();
  void Orient(char turn);
  void NibbleSlots();
  void CollectSetupHoles();
  void TextMarks();
  // The writing pass works out the operations of a piece once (Prepare...)
  // and places them at each repetition (Mark..., Punch..., Cut...).
  void PrepareMarks();
  void PrepareHoles();
  void PrepareCut();
  void MarkCharacters(bool last);
  void PunchHoles(bool last);
  void CutPiece(bool last);
  void AddUsi(const CUsi& usi);
  // AddUsi of a record with its X, Y and names (an index from m_aUsi).
  void AddRecord(const UsiRecord& record, double x, double y, std::uint32_t names);
  void WriteOperations(const std::string& path);
  void WarnOfImplausibleBar();
  // False, with a message, when path is the job file or the INI file.
  bool ProgramPathUsable(const std::string& path);
  void ShowWriteError(const std::string& path, const std::string& reason);

  // One operation of the current piece as every repetition makes it, but
  // for its place along the bar.
  struct PieceOp {
    UsiRecord usi;    // every field but the machine X
    double x = 0;     // marks: X of the text; holes: X of the hole
    double step = 0;  // marks: pitch times the character's place; holes: the unit's X offset
    double y = 0;     // m_dY
    std::uint32_t names = 0;
    int hole = -1;    // a hole no unit punches: its index in the record's hole list
  };
  // The current piece's COM_NAM and PCE_NAM in name fields, and their index
  // in m_aUsi: read once per piece for all its operations.
  CUsi m_pieceNames;
  std::uint32_t m_nPieceNames = 0;
  void ReadPieceNames();
  std::vector<PieceOp> m_markOps;
  std::vector<PieceOp> m_holeOps;
  PieceOp m_cutOp;
  double m_dMarkOffset = 0;  // Off_Marq
  double m_dSawOffset = 0;   // Off_Scie

  // The numeric options SetPostParameters hands over, read once per pass.
  struct PostNumbers {
    bool ready = false;
    double markX = 0, markY = 0, markXMin = 0, markOff = 0;
    int markNbCar = 0, markLgCar = 0, markHtCar = 0, markTyp = 0, nbVert = 0, nbHorz = 0;
    double vLarg = 0, vProf = 0, hLarg = 0, hProf = 0, srs = 0, sl = 0, sp = 0, sc = 0;
    double roughness = 0;  // Rugosite
  };
  PostNumbers m_postNumbers;
  // The punching units as the hole treatment reads them, once per pass for
  // millimetre [0] and inch [1] records.
  struct UnitTable {
    bool ready = false;
    UnitSize slotSize[6];
    double roundSize[6] = {}, offsetX[6] = {};
    int level[6] = {}, code[6] = {};
  };
  UnitTable m_unitTables[2];
  // Forgets the numbers read from the options, at the start of a pass.
  void ForgetOptionNumbers() {
    m_postNumbers.ready = false;
    m_unitTables[0].ready = m_unitTables[1].ready = false;
  }

  bool m_bOverflow = false;
  bool m_bOutOfRange = false;  // a position beyond any bar stopped the job
  bool m_bSaveOptions = true;
  std::string m_sIniRefused;  // why the INI file could not be read, or empty
};

// The unit of the program for a record in inches (1) or not (0): as the
// record says, or forced by the option Unite (1 millimetres, 2 inches).
int ProgramUnit(int record_inch);

// The file name of an NC program path without directory and extension.
std::string ProgramFileName(const std::string& ncFile);

#endif  // BARPOST_ENGINE_TRAITEMENT_H_
