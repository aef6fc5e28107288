// The pictures of the Win32 face, loaded from the program's own resources.
#pragma once

#include <windows.h>

namespace pictures {

// The ball of the rows, at 16 by 16 pixels.
HICON ball(HINSTANCE instance);
// The folder list's pictures (open, closed, link), each at the given size in pixels.
HICON folder(HINSTANCE instance, int resourceId, int size);
// The program's icon at the system's size for large (Alt+Tab) or small (title bar) icons.
HICON programIcon(HINSTANCE instance, bool small);

} // namespace pictures
