#include "ui/qt/snapshot.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

QImage WindowPicture(QWidget& window, QWidget* popup) {
  QApplication::processEvents();
  QPixmap body = window.grab();
  if (popup) {
    QPainter over(&body);
    over.drawPixmap(window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
  }
  QFont font = window.font();
  font.setBold(true);
  const int strip = QFontMetrics(font).height() + 10;
  QImage picture(body.width(), body.height() + strip, QImage::Format_RGB32);
  picture.fill(QColor(60, 90, 140));
  QPainter p(&picture);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(8, 0, body.width() - 16, strip), Qt::AlignVCenter | Qt::AlignLeft,
             window.windowTitle());
  p.drawPixmap(0, strip, body);
  return picture;
}

bool SaveWindowPicture(QWidget& window, const QString& file, QWidget* popup) {
  // A dialog is a few flat colours: a palette and the strongest compression
  // keep the file small.
  QImage picture = WindowPicture(window, popup).convertToFormat(QImage::Format_Indexed8,
                                                         Qt::ThresholdDither | Qt::AvoidDither);
  return picture.save(file, "PNG", 0);
}
