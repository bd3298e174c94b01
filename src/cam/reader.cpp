// CCam: the reader of job files. The file is parsed once into a CamFile that
// copies of the reader share; reading a record copies that one record into
// the current-record members, which the caller may then change freely.
#include <algorithm>

#include "cam/cam.h"
#include "cam/job_file.h"
#include "cam/length_text.h"

namespace {

const std::shared_ptr<const CamFile>& EmptyFile() {
  static const std::shared_ptr<const CamFile> empty = std::make_shared<CamFile>();
  return empty;
}

}  // namespace

CCam::CCam() = default;
CCam::CCam(const CCam&) = default;
CCam& CCam::operator=(const CCam&) = default;
CCam::~CCam() = default;

void CCam::SetFile(const std::string& path) {
  Libere();
  m_sFile = path;
  m_file.reset();
  m_nPos = 0;
  m_nCursor = 0;
}

void CCam::SetText(const std::string& text, const std::string& name) {
  Libere();
  m_sFile = name;
  m_file = cam::ParseJobText(text, name);
  m_nPos = 0;
  m_nCursor = 0;
}

void CCam::Load() const {
  if (m_file) return;
  m_file = m_sFile.empty() ? EmptyFile() : cam::ReadJobFile(m_sFile);
}

long CCam::GetPos() const { return m_nPos; }

const std::string& CCam::Refused() const {
  Load();
  return m_file->refused;
}

void CCam::SetPos(long pos) {
  m_nPos = std::max(pos, 0L);
  m_nCursor = m_nPos;
}

bool CCam::Lire_Entites(int mask) {
  Load();
  long count = static_cast<long>(m_file->records.size());
  for (long i = m_nCursor; i < count; ++i) {
    if ((m_file->records[static_cast<std::size_t>(i)].kind & mask) != 0) {
      TakeRecord(i);
      return true;
    }
  }
  // At the end: the members keep the last record made current.
  m_nPos = std::max(m_nCursor, count);
  m_nCursor = m_nPos;
  return false;
}

void CCam::TakeRecord(long index) {
  const CamRecord& r = m_file->records[static_cast<std::size_t>(index)];
  m_nType = r.kind;
  m_cProfil = r.profil;
  m_cInch = r.inch;
  m_dH1 = r.h1;
  m_dH2 = r.h2;
  m_dLength = r.length;
  m_nSection = r.section;
  m_aHoles.Data().assign(r.holes.begin(), r.holes.end());
  m_aMarks.Data().assign(r.marks.begin(), r.marks.end());
  m_aItems.Data().assign(r.items.begin(), r.items.end());
  m_aPosts.Data().assign(r.posts.begin(), r.posts.end());
  m_aHeads.Data().assign(r.heads.begin(), r.heads.end());
  m_nRecord = index;
  m_nPos = index;
  m_nCursor = index + 1;
  ++m_nSerial;
}

std::string CCam::ReadHead(const std::string& key, const char*) const {
  for (const Cam_Head& head : m_aHeads)
    if (head.GetCle() == key) return head.GetVal();
  if (m_nRecord >= 0 && m_file) {
    if (const std::string* inherited = m_file->InheritedHead(key, m_nRecord)) return *inherited;
  }
  return std::string();
}

void CCam::WriteHead(const std::string& key, const std::string& value) {
  for (Cam_Head& head : m_aHeads) {
    if (head.GetCle() == key) {
      head.SetVal(value);
      return;
    }
  }
  m_aHeads.Add(Cam_Head(key, value));
}

void CCam::Ecrire(std::string*) {}

void CCam::Libere() {
  m_nType = 0;
  m_cProfil = ' ';
  m_cInch = 0;
  m_dH1 = 0;
  m_dH2 = 0;
  m_dLength = 0;
  m_nSection = 0;
  m_aHoles.RemoveAll();
  m_aMarks.RemoveAll();
  m_aItems.RemoveAll();
  m_aPosts.RemoveAll();
  m_aHeads.RemoveAll();
  m_nRecord = -1;
  ++m_nSerial;
}

double CCam::TextToVal(const std::string& text) const { return cam::LengthOf(text, m_cInch != 0); }

std::string CCam::ValToText(double value, int) const { return cam::LengthText(value, m_cInch != 0); }

long CCam::FindPiece(const std::string& com, const std::string& dwg, const std::string& ass,
                     const std::string& pce) const {
  Load();
  return m_file->FindPiece(com, dwg, ass, pce);
}

void CCam::ScanBars() {
  Load();
  for (const CamRecord& record : m_file->records) {
    if (record.kind != kRecordBar) continue;
    std::string text;
    Ecrire(&text);
  }
  m_nPos = RecordCount();
  m_nCursor = m_nPos;
}

long CCam::RecordCount() const {
  Load();
  return static_cast<long>(m_file->records.size());
}

const std::vector<std::string>& CCam::Warnings() const {
  Load();
  return m_file->warnings;
}
