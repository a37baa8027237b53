#include "ui/ImageMirror.h"

#include "ui/ImageView.h"

namespace qvd::ui {

ImageMirror::ImageMirror(Control& c, QWidget* parent)
    : WidgetMirror(c, new ImageView(parent), std::nullopt, Input::None) {}

void ImageMirror::ShowContent() {
    static_cast<ImageView*>(widget())->SetSource(QString::fromStdString(control().caption));
}

}  // namespace qvd::ui
