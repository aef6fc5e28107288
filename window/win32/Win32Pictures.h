// The pictures of the Win32 face, loaded from the program's own resources.
#pragma once

#include <windows.h>

namespace win32face {

// The ball of the rows, at 16 by 16 pixels.
HICON ballIcon(HINSTANCE instance);
// The folder list's pictures (open, closed, link), each at the given size in pixels.
HICON folderIcon(HINSTANCE instance, int resourceId, int size);
// The program's icon at the system's size for large (Alt+Tab) or small (title bar) icons.
HICON programIcon(HINSTANCE instance, bool small);

} // namespace win32face
