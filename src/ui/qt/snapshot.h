// Pictures of windows for the documentation: the window as grabbed, under a
// plain strip with its caption, saved as a small PNG.
#ifndef BARPOST_UI_QT_SNAPSHOT_H_
#define BARPOST_UI_QT_SNAPSHOT_H_

#include <QImage>
#include <QString>

class QWidget;

QImage WindowPicture(QWidget& window);
bool SaveWindowPicture(QWidget& window, const QString& file);

#endif  // BARPOST_UI_QT_SNAPSHOT_H_
