#include "ui/qt/pictures.h"

#include "ui/profile_arrays.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

constexpr int kToolWidth = 22;
constexpr int kToolHeight = 14;
constexpr int kProfileSize = 16;

QPixmap Blank(int width, int height) {
  QPixmap picture(width, height);
  picture.fill(Qt::transparent);
  return picture;
}


}  // namespace

QPixmap ToolPicture(int kind) {
  QPixmap picture = Blank(kToolWidth, kToolHeight);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(90, 120, 160));
  QRectF box(1.5, 1.5, kToolWidth - 3, kToolHeight - 3);
  switch (kind) {
    case kRectangularTool:
      p.drawRect(box);
      break;
    case kOblongTool:
      p.drawRoundedRect(box, box.height() / 2, box.height() / 2);
      break;
    default: {
      double d = box.height();
      p.drawEllipse(QRectF(box.center().x() - d / 2, box.top(), d, d));
      break;
    }
  }
  return picture;
}

int TypedToolKind(double length, double width) {
  if (length == 0) return kRoundTool;
  if (length > 0 && width > 0) return kRectangularTool;
  return kOblongTool;
}

QPixmap ProfilePicture(char category) {
  const int s = kProfileSize;
  QPixmap picture = Blank(s, s);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 60, 60));
  const int t = 3;  // wall thickness
  switch (CategoryShape(category)) {
    case ProfileShape::kAngle:
      p.drawRect(1, 1, t, s - 2);
      p.drawRect(1, s - 1 - t, s - 2, t);
      break;
    case ProfileShape::kTee:
      p.drawRect(1, 1, s - 2, t);
      p.drawRect(s / 2 - t / 2, 1, t, s - 2);
      break;
    case ProfileShape::kChannel:
      p.drawRect(1, 1, s - 2, t);
      p.drawRect(1, s - 1 - t, s - 2, t);
      p.drawRect(1, 1, t, s - 2);
      break;
    case ProfileShape::kFlat:
      p.drawRect(1, s / 2 - 2, s - 2, 4);
      break;
    case ProfileShape::kRound:
      p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
      break;
    case ProfileShape::kSquare:
      p.drawRect(2, 2, s - 4, s - 4);
      break;
    case ProfileShape::kTube: {
      QPainterPath path;
      path.addRect(1, 1, s - 2, s - 2);
      path.addRect(1 + t, 1 + t, s - 2 - 2 * t, s - 2 - 2 * t);
      p.drawPath(path);
      break;
    }
    case ProfileShape::kPipe: {
      QPainterPath path;
      path.addEllipse(QRectF(1, 1, s - 2, s - 2));
      path.addEllipse(QRectF(1 + t, 1 + t, s - 2 - 2 * t, s - 2 - 2 * t));
      p.drawPath(path);
      break;
    }
    case ProfileShape::kZed:
      p.drawRect(1, 1, s / 2, t);
      p.drawRect(s / 2 - t / 2, 1, t, s - 2);
      p.drawRect(s / 2 - t / 2, s - 1 - t, s / 2, t);
      break;
    case ProfileShape::kBeam:
      p.drawRect(3, 1, s - 6, t);
      p.drawRect(3, s - 1 - t, s - 6, t);
      p.drawRect(s / 2 - 1, 1, 2, s - 2);
      break;
    case ProfileShape::kWide:
      p.drawRect(1, 1, s - 2, t);
      p.drawRect(1, s - 1 - t, s - 2, t);
      p.drawRect(s / 2 - 1, 1, 2, s - 2);
      break;
  }
  return picture;
}
