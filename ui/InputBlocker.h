#pragma once
// A disabled main window takes no mouse or keyboard input at all, not even
// through its menus or shortcuts, yet stays enabled itself: it remains the
// owner of the boxes and dialogs that an operation shows meanwhile.
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qvd::ui {

class InputBlocker : public QObject {
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;

    void SetBlocking(bool on) { blocking_ = on; }
    bool Blocking() const { return blocking_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    bool blocking_ = false;
};

}  // namespace qvd::ui
