#pragma once
// A picture: the control's caption names its resource.
#include "ui/WidgetMirror.h"

namespace qvd::ui {

class ImageMirror : public WidgetMirror {
public:
    ImageMirror(Control& control, QWidget* parent);

private:
    void ShowContent() override;
};

}  // namespace qvd::ui
