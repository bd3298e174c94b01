#include "ui/win32/pictures.h"

#include "ui/profile_arrays.h"

#include <initializer_list>

namespace win32ui {
namespace {

constexpr int kToolWidth = 22;
constexpr int kToolHeight = 14;
constexpr COLORREF kClear = RGB(255, 0, 255);  // the image list's transparent colour
constexpr COLORREF kSteel = RGB(90, 120, 160);
constexpr COLORREF kSection = RGB(60, 60, 60);


HBITMAP ToolBitmap(HDC screen, int kind) {
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kToolWidth, kToolHeight);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  RECT all{0, 0, kToolWidth, kToolHeight};
  HBRUSH clear = CreateSolidBrush(kClear);
  FillRect(dc, &all, clear);
  DeleteObject(clear);
  HBRUSH steel = CreateSolidBrush(kSteel);
  HGDIOBJ old_brush = SelectObject(dc, steel);
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
  switch (kind) {
    case kRectangularTool:
      Rectangle(dc, 1, 1, kToolWidth - 1, kToolHeight - 1);
      break;
    case kOblongTool:
      RoundRect(dc, 1, 1, kToolWidth - 1, kToolHeight - 1, kToolHeight - 2, kToolHeight - 2);
      break;
    default: {
      int d = kToolHeight - 2;
      int left = (kToolWidth - d) / 2;
      Ellipse(dc, left, 1, left + d, 1 + d);
      break;
    }
  }
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
  DeleteObject(steel);
  SelectObject(dc, old_bitmap);
  DeleteDC(dc);
  return bitmap;
}

}  // namespace

int TypedToolKind(double length, double width) {
  if (length == 0) return kRoundTool;
  if (length > 0 && width > 0) return kRectangularTool;
  return kOblongTool;
}

HIMAGELIST MakeToolImages() {
  HIMAGELIST images = ImageList_Create(kToolWidth, kToolHeight, ILC_COLOR24 | ILC_MASK, 3, 0);
  HDC screen = GetDC(nullptr);
  for (int kind : {kRoundTool, kRectangularTool, kOblongTool}) {
    HBITMAP bitmap = ToolBitmap(screen, kind);
    ImageList_AddMasked(images, bitmap, kClear);
    DeleteObject(bitmap);
  }
  ReleaseDC(nullptr, screen);
  return images;
}

int ToolImage(int kind) {
  switch (kind) {
    case kRectangularTool: return 1;
    case kOblongTool: return 2;
    default: return 0;
  }
}

void DrawProfile(HDC dc, const RECT& box, char category) {
  const int x = box.left, y = box.top;
  const int s = (box.right - box.left) < (box.bottom - box.top) ? box.right - box.left
                                                                : box.bottom - box.top;
  const int t = s >= 12 ? 3 : 2;  // wall thickness
  HBRUSH section = CreateSolidBrush(kSection);
  auto bar = [&](int left, int top, int width, int height) {
    RECT r{x + left, y + top, x + left + width, y + top + height};
    FillRect(dc, &r, section);
  };
  HGDIOBJ old_brush = SelectObject(dc, section);
  HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
  switch (CategoryShape(category)) {
    case ProfileShape::kAngle:
      bar(1, 1, t, s - 2);
      bar(1, s - 1 - t, s - 2, t);
      break;
    case ProfileShape::kTee:
      bar(1, 1, s - 2, t);
      bar(s / 2 - t / 2, 1, t, s - 2);
      break;
    case ProfileShape::kChannel:
      bar(1, 1, s - 2, t);
      bar(1, s - 1 - t, s - 2, t);
      bar(1, 1, t, s - 2);
      break;
    case ProfileShape::kFlat:
      bar(1, s / 2 - 2, s - 2, 4);
      break;
    case ProfileShape::kRound:
      Ellipse(dc, x + 1, y + 1, x + s, y + s);
      break;
    case ProfileShape::kSquare:
      bar(2, 2, s - 4, s - 4);
      break;
    case ProfileShape::kTube:
      bar(1, 1, s - 2, t);
      bar(1, s - 1 - t, s - 2, t);
      bar(1, 1, t, s - 2);
      bar(s - 1 - t, 1, t, s - 2);
      break;
    case ProfileShape::kPipe: {
      Ellipse(dc, x + 1, y + 1, x + s, y + s);
      HBRUSH face = GetSysColorBrush(COLOR_3DFACE);
      SelectObject(dc, face);
      Ellipse(dc, x + 1 + t, y + 1 + t, x + s - t, y + s - t);
      SelectObject(dc, section);
      break;
    }
    case ProfileShape::kZed:
      bar(1, 1, s / 2, t);
      bar(s / 2 - t / 2, 1, t, s - 2);
      bar(s / 2 - t / 2, s - 1 - t, s / 2, t);
      break;
    case ProfileShape::kBeam:
      bar(3, 1, s - 6, t);
      bar(3, s - 1 - t, s - 6, t);
      bar(s / 2 - 1, 1, 2, s - 2);
      break;
    case ProfileShape::kWide:
      bar(1, 1, s - 2, t);
      bar(1, s - 1 - t, s - 2, t);
      bar(s / 2 - 1, 1, 2, s - 2);
      break;
  }
  SelectObject(dc, old_pen);
  SelectObject(dc, old_brush);
  DeleteObject(section);
}

}  // namespace win32ui
