#include "ui/ImageView.h"

#include "ui/Pictures.h"

#include <QPixmap>

namespace qvd::ui {

ImageView::ImageView(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignCenter); }

void ImageView::SetSource(const QString& path) {
    if (path == source_) return;
    source_ = path;
    image_ = LoadPicture(path);
    Rescale();
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Rescale();
}

void ImageView::Rescale() {
    if (image_.isNull() || width() <= 0 || height() <= 0) {
        setPixmap(QPixmap());
        return;
    }
    setPixmap(QPixmap::fromImage(
        image_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace qvd::ui
