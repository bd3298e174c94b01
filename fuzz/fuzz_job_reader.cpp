// Fuzz target: the CAM job file reader. Parses the input as a job file, makes
// every record current in turn and runs what the post-processor does with a
// record: heads, entity lines written and read back, lengths as text, the
// category and mirrors, automatic marking and the undo of the mirror.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cam/cam.h"

namespace {

void Fail(const char* what) {
  std::fputs(what, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

// An entity written with Printf reads back with Scanf to the same line.
template <typename Entity>
void RoundTrip(const Entity& entity) {
  std::string line;
  entity.Printf(line);
  Entity back;
  if (!back.Scanf(line.c_str())) Fail("Scanf refused a line written by Printf");
  std::string again;
  back.Printf(again);
  if (again != line) Fail("Printf / Scanf / Printf changed the line");
}

// Lengths written as text read back within the text's rounding.
void LengthText(const CCam& reader, double value) {
  std::string text = reader.ValToText(value);
  double back = reader.TextToVal(text);
  if (!std::isfinite(back)) Fail("TextToVal gave a value that is not finite");
  if (std::isfinite(value) && std::fabs(value) < 1e9) {
    double tolerance = reader.m_cInch ? 25.4 / 16 : 0.01;
    if (std::fabs(back - value) > tolerance) Fail("ValToText / TextToVal moved a length");
  }
}

// The reader with its heads in view.
class FuzzPostCam : public CPostCam {
 public:
  const CArray<Cam_Head>& Heads() const { return m_aHeads; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FuzzPostCam cam;
  cam.SetText(text, "fuzz.cam");
  (void)cam.Warnings();

  // A few parameters from the input, so that marking and mirrors vary.
  const unsigned char seed = size ? data[0] : 0;
  cam.m_bMarkAuto = true;
  cam.m_nMarkTyp = seed & 0x5f;
  cam.m_nMarkSens = seed & 1;
  cam.m_nMarkNiv = seed % 3;
  cam.m_nMarkNbCar = seed % 7;
  cam.m_dMarkX = 20;
  cam.m_dMarkXMin = 5;
  cam.m_dMarkOff = seed & 2 ? 8 : 0;
  cam.m_nMarkLgCar = 6;
  cam.m_sMarkCat = "OOOOOOOOOOOOOOOOOOOO";
  cam.m_sMarkSep = "-";

  long records = cam.RecordCount();
  long seen = 0;
  cam.SetPos(0);
  while (cam.Lire_Entites(kRecordPiece | kRecordJob | kRecordBar | kRecordOther)) {
    if (++seen > records) Fail("more records read than the file holds");
    long pos = cam.GetPos();
    for (const char* key : {"PCE_NAM", "COM_NAM", "DWG_NAM", "ASS_NAM", "JOB_NAM", "UNIT",
                            "SECTION", "LENGTH", "BAR_LEN"})
      (void)cam.ReadHead(key);
    for (const Cam_Hole& hole : cam.m_aHoles) {
      RoundTrip(hole);
      LengthText(cam, hole.m_dX);
      LengthText(cam, hole.m_dDiameter);
    }
    for (const Cam_Mark& mark : cam.m_aMarks) RoundTrip(mark);
    for (const Cam_Item& item : cam.m_aItems) {
      RoundTrip(item);
      long piece = cam.FindPiece(item.m_sComNam, item.m_sDwgNam, item.m_sAssNam, item.m_sPceNam);
      if (piece >= records) Fail("FindPiece beyond the last record");
    }
    for (const Cam_Post& post : cam.m_aPosts) RoundTrip(post);
    for (const Cam_Head& head : cam.Heads()) {
      (void)cam.TextToVal(head.GetVal());
      LengthText(cam, cam.TextToVal(head.GetVal()));
    }
    LengthText(cam, cam.m_dLength);

    // What the piece analysis does with a record.
    cam.m_bSymX = seed & 4;
    cam.m_bSymY = seed & 8;
    cam.initialise_postcam(true, true);
    cam.marquage_auto(false);
    if (cam.m_bTurned) cam.rotation(false);
    cam.WriteHead("JOB_DES", "fuzz");
    cam.marquage_auto(false);

    // Reading the same record again gives it as it stands in the file.
    cam.SetPos(pos);
    if (!cam.Lire_Entites(kRecordPiece | kRecordJob | kRecordBar | kRecordOther))
      Fail("a record could not be read again");
    if (cam.GetPos() != pos) Fail("the record read again is another one");
  }
  if (cam.GetPos() != records) Fail("the end position is not the record count");
  cam.ScanBars();
  cam.Libere();
  return 0;
}
