#pragma once
// A text that takes no input: a label, a panel, a status bar's panel. Each
// is a label of its own frame; its text and colours are the control's.
#include "ui/WidgetMirror.h"

#include <memory>

class QLabel;

namespace qvd::ui {

class LabelMirror : public WidgetMirror {
public:
    // `flags` of their placements: kWrap and kCentred for labels, the bevel
    // and border for panels.
    static std::unique_ptr<LabelMirror> Label(Control& control, QWidget* parent, unsigned flags);
    static std::unique_ptr<LabelMirror> Panel(Control& control, QWidget* parent, unsigned flags);
    static std::unique_ptr<LabelMirror> StatusPanel(Control& control, QWidget* parent);

private:
    LabelMirror(Control& control, QLabel* label);
    void ShowContent() override;
    QLabel* label() const;
};

}  // namespace qvd::ui
