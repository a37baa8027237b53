#pragma once
// A group box: its title and colours.
#include "ui/WidgetMirror.h"

class QGroupBox;

namespace qvd::ui {

class GroupBoxMirror : public WidgetMirror {
public:
    GroupBoxMirror(Control& control, QWidget* parent);

private:
    void ShowContent() override;
    QGroupBox* box() const;
};

}  // namespace qvd::ui
