#pragma once
// Windows drawn at the DPI of their monitor. Pixel sizes fixed in the code
// are meant for 96 DPI and are scaled to the window's; when the window moves
// to a monitor of another DPI, its controls and font are scaled once more.
// The calls of newer systems are looked up at run time, so the program
// still starts where they are missing (the system DPI applies there).
#include "framework/win/UniqueHandle.h"

#include <windows.h>

#include <vector>

namespace Plinth {

// The DPI the window is drawn at.
int windowDpi(HWND window);

// Pixels meant for 96 DPI at dpi.
int pixelsForDpi(int pixels, int dpi);

// Keeps the system from moving and resizing a dialog's controls by itself on
// a DPI change (it lays them out from the template again, which would undo
// the window's own layout).
void keepDialogDpiScalingToItself(HWND dialog);

// Scales the place and size of every child of window, and the fonts they
// use, by newDpi / oldDpi. The children use the fonts returned, which the
// caller keeps for as long as they do.
std::vector<UniqueFont> scaleChildren(HWND window, int oldDpi, int newDpi);

// A copy of font with its height scaled by newDpi / oldDpi.
UniqueFont scaledFont(HFONT font, int oldDpi, int newDpi);

} // namespace Plinth
