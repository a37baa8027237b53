#pragma once
// An auxiliary window (about, password, jumper help): created hidden, shown
// without being modal when its model becomes visible; closing only hides it.
#include "core/form/Form.h"
#include "ui/Placement.h"

#include <QFont>
#include <QSize>
#include <QWidget>

#include <string>

namespace qvd::ui {

class FormMirror;
class QtHost;

class AuxWindow : public QWidget {
public:
    struct Style {
        QSize frame;  // model size minus client size
        QFont font;
        Qt::WindowFlags flags;
    };

    AuxWindow(Form& form, QtHost& host, QWidget* owner, Placements placements, const Style& style);
    ~AuxWindow() override;

    void FlushRefresh();
    QWidget* ControlWidget(const std::string& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void RefreshWindow();

    Form& form_;
    QSize frame_;
    FormMirror* mirror_;
    unsigned windowSeen_ = ~0u;
    bool placed_ = false;
};

}  // namespace qvd::ui
