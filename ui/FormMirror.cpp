#include "ui/FormMirror.h"

#include "ui/MirrorFactory.h"

#include <QTimer>
#include <QWidget>

namespace qvd::ui {

FormMirror::FormMirror(Form& form, HandlerRunner run, QObject* parent)
    : QObject(parent), form_(form), run_(std::move(run)) {
    form_.onChanged = [this] {
        if (onChangedNow) onChangedNow();
        Schedule();
    };
}

FormMirror::~FormMirror() { form_.onChanged = nullptr; }

void FormMirror::Build(QWidget* root, Placements placements) {
    root_ = root;
    std::map<const Control*, QWidget*> byControl;
    for (Control* c : form_.Controls()) {
        QWidget* parent = root;
        if (c->parent) {
            auto it = byControl.find(c->parent);
            if (it == byControl.end()) continue;  // children of menus are actions
            parent = it->second;
        }
        auto mirror = CreateWidgetMirror(*c, parent, FindPlacement(placements, c->name), run_);
        if (!mirror) continue;
        byControl[c] = mirror->widget();
        widgets_[c->name] = mirror->widget();
        mirrors_.push_back(std::move(mirror));
    }
    Refresh();
}

void FormMirror::AddAction(Control& control, QAction* action) {
    if (auto mirror = CreateActionMirror(control, action, run_)) mirrors_.push_back(std::move(mirror));
    Schedule();
}

QWidget* FormMirror::Widget(const std::string& name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

void FormMirror::Schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        if (scheduled_) Refresh();
    });
}

void FormMirror::SetHeld(bool held) {
    if (held == held_) return;
    held_ = held;
    if (held && root_) {
        // Let go of the focus first: disabling the focused control would
        // move it from control to control through the whole window.
        focusBeforeHold_ = root_->window()->focusWidget();
        if (focusBeforeHold_) focusBeforeHold_->clearFocus();
    }
    for (auto& mirror : mirrors_) mirror->SetHeld(held);
}

void FormMirror::Refresh() {
    scheduled_ = false;
    const bool releasing = held_ && form_.window.enabled;
    if (holdInputWhileDisabled) SetHeld(!form_.window.enabled);
    for (auto& mirror : mirrors_) mirror->Update();
    if (releasing && focusBeforeHold_ && focusBeforeHold_->isEnabled() && focusBeforeHold_->isVisible())
        focusBeforeHold_->setFocus(Qt::OtherFocusReason);
    if (onRefreshWindow) onRefreshWindow();
}

}  // namespace qvd::ui
