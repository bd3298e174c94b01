#include "cam/entities.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "base/text.h"
#include "cam/length_text.h"

namespace cam {
namespace {

template <typename T>
T WholeField(std::string_view value, long long low, long long high) {
  return static_cast<T>(WholeOf(value, low, high));
}

char TurnOf(std::string_view value) { return value.empty() ? '\0' : value.front(); }

// Splits the line given to Scanf: the fields, after the entity word when the
// line starts with one. False when it names another kind of entity or its
// fields are not well formed.
bool ScanFields(const char* text, EntityWord want, std::vector<Field>* fields,
                std::string* storage) {
  if (text == nullptr) return false;
  std::string_view line = Trim(text);
  std::string_view rest;
  EntityWord word = EntityWordOf(line, &rest);
  if (word != EntityWord::kNone && word != want) return false;
  std::string error;
  return SplitFields(rest, fields, storage, &error);
}

void AppendNumber(std::string* line, std::string_view name, double value) {
  AppendField(line, name, ExactText(value));
}

void AppendWhole(std::string* line, std::string_view name, long long value) {
  AppendField(line, name, std::to_string(value));
}

}  // namespace

// LengthOf, NumberOf and WholeOf, with the plain decimals of nearly every
// job read on the spot.
double Length(std::string_view v, bool inch) {
  double d;
  if (ReadPlainDecimal(v, &d)) return inch ? d * kMmPerInch : d;
  return LengthOf(v, inch);
}
double Number(std::string_view v) {
  double d;
  return ReadPlainDecimal(v, &d) ? d : NumberOf(v);
}
template <typename T>
T Whole(std::string_view v, long long low, long long high) {
  double d;
  if (!ReadPlainDecimal(v, &d)) return WholeField<T>(v, low, high);
  d = std::trunc(d);
  if (d <= static_cast<double>(low)) return static_cast<T>(low);
  if (d >= static_cast<double>(high)) return static_cast<T>(high);
  return static_cast<T>(d);
}

// One field of a hole; unknown names are ignored.
void SetHoleField(std::string_view name, std::string_view v, bool inch, Cam_Hole* hole) {
  switch (name.size()) {
    case 1:
      switch (name[0]) {
        case 'd': hole->m_dDiameter = Length(v, inch); return;
        case 'x': hole->m_dX = Length(v, inch); return;
        case 'y': hole->m_dY = Length(v, inch); return;
        case 'z': hole->m_dZ = Length(v, inch); return;
        default: return;
      }
    case 3:
      if (name == "len") hole->m_dLength = Length(v, inch);
      return;
    case 4:
      if (name == "kind") hole->m_nKind = Whole<int>(v, INT32_MIN, INT32_MAX);
      else if (name == "flag") hole->m_cFlag = Whole<uint8_t>(v, 0, UINT8_MAX);
      return;
    case 5:
      if (name == "level") hole->m_nLevel = Whole<int16_t>(v, INT16_MIN, INT16_MAX);
      else if (name == "angle") hole->m_dAngle = Number(v);
      else if (name == "shape") hole->m_dShape = Number(v);
      return;
    case 6:
      if (name == "angle2") hole->m_dAngle2 = Number(v);
      return;
    default:
      return;
  }
}

void ReadHole(const std::vector<Field>& fields, bool inch, Cam_Hole* hole) {
  *hole = Cam_Hole();
  for (const Field& f : fields) SetHoleField(f.name, f.value, inch, hole);
}

bool ReadPlainHole(std::string_view text, Cam_Hole* hole) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  Cam_Hole h;
  const std::size_t n = text.size();
  std::size_t i = 0;
  for (;;) {
    while (i < n && blank(text[i])) ++i;
    if (i >= n) break;
    const std::size_t name_start = i;
    while (i < n && text[i] != '=' && !blank(text[i])) ++i;
    if (i >= n || text[i] != '=' || i == name_start) return false;
    const std::string_view name = text.substr(name_start, i - name_start);
    const std::size_t value_start = ++i;
    if (i < n && text[i] == '"') return false;
    while (i < n && !blank(text[i])) ++i;
    SetHoleField(name, text.substr(value_start, i - value_start), false, &h);
  }
  *hole = h;
  return true;
}

void ReadMark(const std::vector<Field>& fields, bool inch, Cam_Mark* mark) {
  *mark = Cam_Mark();
  for (const Field& f : fields) {
    if (f.name == "x") mark->m_dX = LengthOf(f.value, inch);
    else if (f.name == "y") mark->m_dY = LengthOf(f.value, inch);
    else if (f.name == "text") mark->m_sText = f.value;
    else if (f.name == "code") mark->m_cCode = WholeField<int8_t>(f.value, INT8_MIN, INT8_MAX);
  }
}

void ReadItem(const std::vector<Field>& fields, bool inch, Cam_Item* item) {
  *item = Cam_Item();
  for (const Field& f : fields) {
    if (f.name == "com") item->m_sComNam = f.value;
    else if (f.name == "pce") item->m_sPceNam = f.value;
    else if (f.name == "dwg") item->m_sDwgNam = f.value;
    else if (f.name == "ass") item->m_sAssNam = f.value;
    else if (f.name == "length") item->m_dLength = LengthOf(f.value, inch);
    else if (f.name == "qty") item->m_nQty = WholeField<int>(f.value, INT32_MIN, INT32_MAX);
    else if (f.name == "turn") item->m_cTurn = TurnOf(f.value);
  }
}

void ReadPost(const std::vector<Field>& fields, Cam_Post* post) {
  *post = Cam_Post();
  for (const Field& f : fields) {
    if (f.name == "key") post->SetCle(std::string(f.value));
    else if (f.name == "value") post->SetVal(std::string(f.value));
  }
}

}  // namespace cam

using cam::EntityWord;

bool CamBase::Scanf(const char*) { return false; }
void CamBase::Printf(std::string& text) const { text.clear(); }

bool Cam_Hole::Scanf(const char* text) {
  std::vector<cam::Field> fields;
  std::string storage;
  if (!cam::ScanFields(text, EntityWord::kHole, &fields, &storage)) return false;
  cam::ReadHole(fields, false, this);
  return true;
}

void Cam_Hole::Printf(std::string& text) const {
  text = "HOLE";
  cam::AppendWhole(&text, "level", m_nLevel);
  cam::AppendWhole(&text, "kind", m_nKind);
  cam::AppendNumber(&text, "d", m_dDiameter);
  cam::AppendNumber(&text, "x", m_dX);
  cam::AppendNumber(&text, "y", m_dY);
  cam::AppendNumber(&text, "len", m_dLength);
  cam::AppendNumber(&text, "angle", m_dAngle);
  cam::AppendNumber(&text, "angle2", m_dAngle2);
  cam::AppendNumber(&text, "shape", m_dShape);
  cam::AppendNumber(&text, "z", m_dZ);
  cam::AppendWhole(&text, "flag", m_cFlag);
}

bool Cam_Hole::operator==(const Cam_Hole& o) const {
  return m_dX == o.m_dX && m_dY == o.m_dY && m_nLevel == o.m_nLevel && m_nKind == o.m_nKind &&
         m_dDiameter == o.m_dDiameter;
}

bool Cam_Hole::operator<(const Cam_Hole& o) const {
  return std::tie(m_dX, m_dY, m_nLevel, m_nKind, m_dDiameter) <
         std::tie(o.m_dX, o.m_dY, o.m_nLevel, o.m_nKind, o.m_dDiameter);
}

bool Cam_Mark::Scanf(const char* text) {
  std::vector<cam::Field> fields;
  std::string storage;
  if (!cam::ScanFields(text, EntityWord::kMark, &fields, &storage)) return false;
  cam::ReadMark(fields, false, this);
  return true;
}

void Cam_Mark::Printf(std::string& text) const {
  text = "MARK";
  cam::AppendNumber(&text, "x", m_dX);
  cam::AppendNumber(&text, "y", m_dY);
  cam::AppendWhole(&text, "code", m_cCode);
  cam::AppendField(&text, "text", m_sText);
}

bool Cam_Item::Scanf(const char* text) {
  std::vector<cam::Field> fields;
  std::string storage;
  if (!cam::ScanFields(text, EntityWord::kItem, &fields, &storage)) return false;
  cam::ReadItem(fields, false, this);
  return true;
}

void Cam_Item::Printf(std::string& text) const {
  text = "ITEM";
  cam::AppendField(&text, "com", m_sComNam);
  cam::AppendField(&text, "pce", m_sPceNam);
  cam::AppendField(&text, "dwg", m_sDwgNam);
  cam::AppendField(&text, "ass", m_sAssNam);
  cam::AppendNumber(&text, "length", m_dLength);
  cam::AppendWhole(&text, "qty", m_nQty);
  cam::AppendField(&text, "turn", m_cTurn == '\0' ? std::string() : std::string(1, m_cTurn));
}

bool Cam_Post::Scanf(const char* text) {
  std::vector<cam::Field> fields;
  std::string storage;
  if (!cam::ScanFields(text, EntityWord::kPost, &fields, &storage)) return false;
  cam::ReadPost(fields, this);
  return true;
}

void Cam_Post::Printf(std::string& text) const {
  text = "POST";
  cam::AppendField(&text, "key", m_sCle);
  cam::AppendField(&text, "value", m_sVal);
}
