#pragma once
// One control of the model and the widget (or menu action) that shows it:
// created from the control's kind, updated when the control's revision moves
// on, user events forwarded to the control's handlers.
#include "core/form/Control.h"
#include "ui/Placement.h"

#include <QPalette>
#include <QString>

#include <functional>
#include <string>

class QAction;
class QWidget;

namespace qvd::ui {

// Runs a core handler on behalf of a widget (exceptions are shown there).
using HandlerRunner = std::function<void(const std::function<void()>&)>;

class ControlMirror {
public:
    // Creates the widget for `control` under `parent`; null for kinds that
    // have no widget of their own (menus, the window).
    static QWidget* CreateWidget(Control& control, QWidget* parent, const Placement* placement,
                                 const HandlerRunner& run);

    ControlMirror(Control& control, QWidget* widget) : control_(control), widget_(widget) {}
    ControlMirror(Control& control, QAction* action) : control_(control), action_(action) {}

    Control& control() const { return control_; }
    QWidget* widget() const { return widget_; }
    QAction* action() const { return action_; }

    // Brings the widget up to the control when the control changed.
    void Update();

    // While its window is held, a control that takes input is disabled, so
    // assistive tools report it as unavailable, yet it is drawn as before.
    void SetHeld(bool held);

private:
    void UpdateWidget();
    void UpdateAction();
    void UpdateMemo();

    Control& control_;
    QWidget* widget_ = nullptr;
    QAction* action_ = nullptr;
    unsigned seen_ = ~0u;
    bool held_ = false;
    QPalette beforeHold_;
    // Memos: how many of the control's lines the widget shows, with the first
    // and the last of them. Lines are only ever added or all cleared, so
    // equal ends mean the shown lines are still the control's first ones and
    // the rest can be appended.
    size_t shownLines_ = 0;
    unsigned shownClears_ = 0;
    std::string firstShown_, lastShown_;
};

// Marks a widget with its designer name: object name and accessible
// description (the accessible name stays the visible text).
void NameWidget(QWidget* widget, const std::string& designerName);

// A text of the model as widgets show it: a NUL byte becomes the visible
// "␀", since assistive tools take NUL for the end of the text.
QString ShownText(const std::string& text);
// Memo lines as shown: the carriage return that ends a view line is not shown.
QString DisplayLine(const std::string& line);

}  // namespace qvd::ui
