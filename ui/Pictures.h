#pragma once
// The pictures of the help and info windows, built into the program as
// resources and decoded by Qt's JPEG plug-in.
#include <QImage>
#include <QString>

namespace qvd::ui {

// A resource path such as ":/pictures/icon.jpg" (or a file); a null image
// for anything missing or not a readable JPEG.
QImage LoadPicture(const QString& path);

}  // namespace qvd::ui
