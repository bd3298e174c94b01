// Small pictures drawn at run time: the tool kinds of the magazine and the
// profile shapes of the categories.
#ifndef BARPOST_UI_QT_PICTURES_H_
#define BARPOST_UI_QT_PICTURES_H_

#include <QPixmap>

// Tool kinds as the magazine stores them.
enum ToolKind : int { kRoundTool = 0, kRectangularTool = 3, kOblongTool = 4 };

// The picture of a magazine tool kind; kinds 1 and 2, and any kind a file
// may hold beyond these, show the round tool.
QPixmap ToolPicture(int kind);

// The kind a "Nibbling" row shows while it is typed: no length (empty or 0)
// is round, a length and a width rectangular, anything else oblong.
int TypedToolKind(double length, double width);

// The cross-section of a profile category ('A', 'T', ...).
QPixmap ProfilePicture(char category);

#endif  // BARPOST_UI_QT_PICTURES_H_
