#include "ui/LabelMirror.h"

#include "ui/ModelColours.h"
#include "ui/Placement.h"
#include "ui/ShownText.h"

#include <QLabel>

namespace qvd::ui {

LabelMirror::LabelMirror(Control& c, QLabel* label)
    : WidgetMirror(c, label, ColourRoles{QPalette::Window, QPalette::WindowText}, Input::None) {
    label->setTextFormat(Qt::PlainText);
}

std::unique_ptr<LabelMirror> LabelMirror::Label(Control& c, QWidget* parent, unsigned flags) {
    auto* label = new QLabel(parent);
    label->setWordWrap(flags & kWrap);
    label->setAlignment((flags & kCentred) ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    return std::unique_ptr<LabelMirror>(new LabelMirror(c, label));
}

std::unique_ptr<LabelMirror> LabelMirror::Panel(Control& c, QWidget* parent, unsigned flags) {
    auto* panel = new QLabel(parent);
    const QFrame::Shadow shadow = (flags & kLowered) ? QFrame::Sunken
                                  : (flags & kRaised) ? QFrame::Raised
                                                      : QFrame::Plain;
    panel->setFrameStyle((flags & (kLowered | kRaised)) ? (QFrame::Panel | shadow)
                         : (flags & kSingleBorder)      ? (QFrame::Box | QFrame::Plain)
                                                        : QFrame::NoFrame);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    if (!c.color) SetColorRoles(panel, colors::ButtonFace, QPalette::Window, {}, QPalette::WindowText);
    return std::unique_ptr<LabelMirror>(new LabelMirror(c, panel));
}

std::unique_ptr<LabelMirror> LabelMirror::StatusPanel(Control& c, QWidget* parent) {
    auto* panel = new QLabel(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    return std::unique_ptr<LabelMirror>(new LabelMirror(c, panel));
}

QLabel* LabelMirror::label() const { return static_cast<QLabel*>(widget()); }

void LabelMirror::ShowContent() {
    const QString shown = ShownText(control().caption);
    if (label()->text() != shown) label()->setText(shown);
    if (control().color) label()->setAutoFillBackground(true);
}

}  // namespace qvd::ui
