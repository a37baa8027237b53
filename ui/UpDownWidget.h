#pragma once
// An up-down stepper beside an edit: two small arrow buttons, one above the
// other, each a step of the value.
#include <QWidget>

class QToolButton;

namespace qvd::ui {

class UpDownWidget : public QWidget {
    Q_OBJECT
public:
    explicit UpDownWidget(QWidget* parent);

signals:
    // +1 for the up arrow, -1 for the down arrow.
    void stepped(int step);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace qvd::ui
