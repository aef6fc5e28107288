// The window's pictures: the red ball beside each row and the program icon, taken from the
// program's resources, with a drawn stand-in when a resource is missing.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace qtface {

QPixmap ballPicture();
QIcon programIcon();

} // namespace qtface
