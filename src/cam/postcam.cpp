// CPostCam: the post-processing the module asks of the library on the
// current piece: category index, mirrors and the automatic marking text.
#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "cam/cam.h"

namespace {

constexpr std::string_view kCategories = "ATCBDVGUZYILMNOPHEFR";

// The marking details in the order the text joins them.
constexpr struct {
  int bit;
  const char* head;
} kMarkDetails[] = {{16, "COM_NAM"}, {8, "JOB_NAM"}, {4, "DWG_NAM"},
                    {2, "ASS_NAM"},  {1, "PCE_NAM"}, {64, "JOB_DES"}};

// An angle in [0, 360), never -0.
double NormalAngle(double degrees) {
  double a = std::fmod(degrees, 360.0);
  if (a < 0) a += 360.0;
  if (a >= 360.0 || a == 0) a = 0;
  return a;
}

// Y across a face of the given width. A negative Y counts from the other
// side of the face and stays negative.
double MirrorAcross(double y, double width) { return y >= 0 ? width - y : -width - y; }

}  // namespace

// The lists as they were before a mirror. Kept from one record to the next
// (valid says whether it holds anything) so that its storage is reused.
struct CPostCam::Saved {
  bool valid = false;
  unsigned long serial = 0;
  std::vector<Cam_Hole> holes;
  std::vector<Cam_Mark> marks;
};

CPostCam::CPostCam() = default;
CPostCam::~CPostCam() = default;

void CPostCam::initialise_postcam(bool, bool) {
  std::size_t category = kCategories.find(m_cProfil);
  m_nCategorie = category == std::string_view::npos ? -1 : static_cast<int>(category);

  // Mirrors are the current record's own: only its posts ask for them.
  m_bSymX = m_bSymY = false;
  for (const Cam_Post& post : m_aPosts) {
    if (post.GetCle() == "SymX") m_bSymX = Trim(post.GetVal()) == "1";
    if (post.GetCle() == "SymY") m_bSymY = Trim(post.GetVal()) == "1";
  }

  // A second call on the same record starts again from the record as read.
  if (m_bTurned) rotation(false);
  m_bTurned = false;
  if (!m_bSymX && !m_bSymY) return;

  if (!m_saved) m_saved = std::make_unique<Saved>();
  m_saved->valid = true;
  m_saved->serial = m_nSerial;
  m_saved->holes.assign(m_aHoles.begin(), m_aHoles.end());
  m_saved->marks.assign(m_aMarks.begin(), m_aMarks.end());

  auto face_width = [this](int level) { return level == 1 || level == 2 ? m_dH2 : m_dH1; };
  for (Cam_Hole& hole : m_aHoles) {
    bool directed = hole.m_nKind != 0;
    if (m_bSymX) {
      hole.m_dX = m_dLength - hole.m_dX;
      if (directed) hole.m_dAngle = NormalAngle(180.0 - hole.m_dAngle);
    }
    if (m_bSymY) {
      hole.m_dY = MirrorAcross(hole.m_dY, face_width(hole.m_nLevel));
      if (directed) hole.m_dAngle = NormalAngle(-hole.m_dAngle);
    }
  }
  SortHoles(m_aHoles.begin(), m_aHoles.end());

  double mark_width = face_width(m_nMarkNiv);
  for (Cam_Mark& mark : m_aMarks) {
    if (m_bSymX) mark.m_dX = m_dLength - mark.m_dX;
    if (m_bSymY) mark.m_dY = MirrorAcross(mark.m_dY, mark_width);
  }
  m_bTurned = true;
}

void CPostCam::rotation(bool) {
  if (m_bTurned && m_saved && m_saved->valid && m_saved->serial == m_nSerial) {
    m_aHoles.Data().swap(m_saved->holes);
    m_aMarks.Data().swap(m_saved->marks);
  }
  if (m_saved) m_saved->valid = false;
  m_bTurned = false;
}

void CPostCam::marquage_auto(bool) {
  m_bMarkPlaced = false;
  m_sMarkText.clear();
  m_dMarkTextX = 0;
  m_dMarkTextY = 0;

  if (m_nCategorie < 0 || static_cast<std::size_t>(m_nCategorie) >= m_sMarkCat.size() ||
      m_sMarkCat[static_cast<std::size_t>(m_nCategorie)] != 'O')
    return;

  std::string text;
  for (const auto& detail : kMarkDetails) {
    if ((m_nMarkTyp & detail.bit) == 0) continue;
    std::string value = ReadHead(detail.head);
    if (value.empty()) continue;
    if (!text.empty()) text += m_sMarkSep;
    text += value;
  }
  if (m_nMarkNbCar > 0 && text.size() > static_cast<std::size_t>(m_nMarkNbCar))
    text.resize(static_cast<std::size_t>(m_nMarkNbCar));
  if (text.empty()) return;

  double pitch = m_dMarkOff > 0 ? m_dMarkOff : std::max(m_nMarkLgCar, 0);
  double extent = pitch * static_cast<double>(text.size());
  double x = m_nMarkSens == 1 ? m_dLength - m_dMarkX - extent : m_dMarkX;
  x = std::max(x, m_dMarkXMin);
  if (x < 0 || x + extent > m_dLength + 1e-9) return;

  m_bMarkPlaced = true;
  m_sMarkText = std::move(text);
  m_dMarkTextX = x;
  m_dMarkTextY = m_dMarkY;
}
