#pragma once
// JPEG decoding with libjpeg, for the pictures of the help and info windows.
#include <QByteArray>
#include <QImage>
#include <QString>

namespace qvd::ui {

// A null image for anything libjpeg cannot read; never aborts the program.
QImage DecodeJpeg(const QByteArray& bytes);
// Reads a file or a resource (":/pictures/...") and decodes it.
QImage LoadJpegResource(const QString& path);

}  // namespace qvd::ui
