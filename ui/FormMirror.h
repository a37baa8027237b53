#pragma once
// A window of the model shown by widgets: builds one widget per control,
// and on every change of the model schedules one refresh that brings the
// stale widgets up to date.
#include "core/form/Form.h"
#include "ui/ControlMirror.h"
#include "ui/HandlerRunner.h"
#include "ui/Placement.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QWidget;

namespace qvd::ui {

class FormMirror : public QObject {
public:
    FormMirror(Form& form, HandlerRunner run, QObject* parent);
    ~FormMirror() override;

    // Creates widgets for every control that has a widget kind; controls
    // without a parent go onto `root`.
    void Build(QWidget* root, Placements placements);
    // Mirrors a menu or menu entry through an action made by the window, and
    // forwards the entry's choice.
    void AddAction(Control& control, QAction* action);

    QWidget* Widget(const std::string& name) const;

    // Updates every stale widget now, then the window itself.
    void Refresh();
    // Called by Refresh for the window's own state (caption, size, ...).
    std::function<void()> onRefreshWindow;
    // Called at once on every change, before the coalesced refresh.
    std::function<void()> onChangedNow;

    const HandlerRunner& runner() const { return run_; }

    // The main window stays enabled while the model disables it, so boxes
    // can belong to it; instead its controls that take input are held.
    bool holdInputWhileDisabled = false;

private:
    void Schedule();
    void SetHeld(bool held);

    Form& form_;
    HandlerRunner run_;
    std::vector<std::unique_ptr<ControlMirror>> mirrors_;
    std::map<std::string, QWidget*> widgets_;
    QWidget* root_ = nullptr;
    bool scheduled_ = false;
    bool held_ = false;
    // The focus before the hold, given back after it.
    QPointer<QWidget> focusBeforeHold_;
};

}  // namespace qvd::ui
