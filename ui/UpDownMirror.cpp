#include "ui/UpDownMirror.h"

#include "ui/UpDownWidget.h"

namespace qvd::ui {

UpDownMirror::UpDownMirror(Control& c, QWidget* parent, const HandlerRunner& run)
    : WidgetMirror(c, new UpDownWidget(parent), std::nullopt, Input::Taken) {
    auto* arrows = static_cast<UpDownWidget*>(widget());
    QObject::connect(arrows, &UpDownWidget::stepped, arrows, [&c, run](int step) {
        run([&c, step] { if (c.OnStep) c.OnStep(step); });
    });
}

}  // namespace qvd::ui
