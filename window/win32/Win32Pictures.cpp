// Icons from the resources. Icons loaded with LoadImage at a size of our own choosing are not
// shared, and the program keeps them until it ends.
#include "Win32Pictures.h"

#include "window/resources/ResourceIds.h"

namespace win32face {

namespace {

HICON load(HINSTANCE instance, int id, int width, int height) {
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

} // namespace

HICON ballIcon(HINSTANCE instance) {
    return load(instance, SPLITWERK_ICON_BALL, 16, 16);
}

HICON folderIcon(HINSTANCE instance, int resourceId, int size) {
    return load(instance, resourceId, size, size);
}

HICON programIcon(HINSTANCE instance, bool small) {
    const int width = ::GetSystemMetrics(small ? SM_CXSMICON : SM_CXICON);
    const int height = ::GetSystemMetrics(small ? SM_CYSMICON : SM_CYICON);
    return load(instance, SPLITWERK_ICON_PROGRAM, width, height);
}

} // namespace win32face
