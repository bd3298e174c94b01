// Pictures of windows for the documentation: the window as grabbed, under a
// plain strip with its caption, saved as a small PNG.
#ifndef BARPOST_UI_QT_SNAPSHOT_H_
#define BARPOST_UI_QT_SNAPSHOT_H_

#include <QImage>
#include <QString>

class QWidget;

// popup, when given, is a small top-level window over window (a tool tip),
// drawn into the picture where it stands on the screen.
QImage WindowPicture(QWidget& window, QWidget* popup = nullptr);
bool SaveWindowPicture(QWidget& window, const QString& file, QWidget* popup = nullptr);

#endif  // BARPOST_UI_QT_SNAPSHOT_H_
