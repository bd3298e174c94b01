// Small pictures drawn at run time with GDI: the tool kinds of the magazine
// and the profile shapes of the categories.
#ifndef BARPOST_UI_WIN32_PICTURES_H_
#define BARPOST_UI_WIN32_PICTURES_H_

#include <windows.h>
#include <commctrl.h>

namespace win32ui {

// Tool kinds as the magazine stores them.
enum ToolKind : int { kRoundTool = 0, kRectangularTool = 3, kOblongTool = 4 };

// The kind a "Nibbling" row shows while it is typed: no length (empty or 0)
// is round, a length and a width rectangular, anything else oblong.
int TypedToolKind(double length, double width);

// The pictures of the three tool kinds, in an image list the caller
// destroys; ToolImage gives a kind's index in it (kinds 1 and 2, and any
// other a file may hold, show the round tool).
HIMAGELIST MakeToolImages();
int ToolImage(int kind);

// Draws the cross-section of a profile category ('A', 'T', ...) into box.
void DrawProfile(HDC dc, const RECT& box, char category);

}  // namespace win32ui

#endif  // BARPOST_UI_WIN32_PICTURES_H_
