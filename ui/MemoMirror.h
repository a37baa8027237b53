#pragma once
// A read-only view of many lines (the log, the memory views): lines the
// control gained are appended, so a long view costs what was added, not
// what is shown.
#include "ui/WidgetMirror.h"

#include <cstddef>
#include <string>

class QPlainTextEdit;

namespace qvd::ui {

class MemoMirror : public WidgetMirror {
public:
    // `flags` of its placement: kNoWrap for the views.
    MemoMirror(Control& control, QWidget* parent, unsigned flags);

private:
    void ShowContent() override;
    QPlainTextEdit* memo() const;

    // How many of the control's lines the widget shows, with the first and
    // the last of them. Lines are only ever added or all cleared, so equal
    // ends mean the shown lines are still the control's first ones and the
    // rest can be appended.
    size_t shownLines_ = 0;
    unsigned shownClears_ = 0;
    std::string firstShown_, lastShown_;
};

}  // namespace qvd::ui
