#include "ui/ProgressBarMirror.h"

#include "ui/ShownText.h"

#include <QProgressBar>

#include <algorithm>

namespace qvd::ui {

namespace {

// The core writes the whole text of the bar itself (percent, time left), so
// it is shown as it is, without expanding placeholders such as "%p", and is
// the bar's accessible name like the visible text of any other control.
class CaptionProgressBar : public QProgressBar {
public:
    using QProgressBar::QProgressBar;
    QString text() const override { return caption_; }
    void SetCaption(const QString& caption) {
        if (caption == caption_) return;
        caption_ = caption;
        setAccessibleName(caption);
        update();
    }

private:
    QString caption_;
};

}  // namespace

ProgressBarMirror::ProgressBarMirror(Control& c, QWidget* parent)
    : WidgetMirror(c, new CaptionProgressBar(parent), std::nullopt, Input::None) {
    auto* bar = static_cast<CaptionProgressBar*>(widget());
    bar->setRange(0, 100);
    bar->setAlignment(Qt::AlignCenter);
}

void ProgressBarMirror::ShowContent() {
    auto* bar = static_cast<CaptionProgressBar*>(widget());
    bar->setValue(std::clamp(control().position, 0, 100));
    bar->SetCaption(ShownText(control().caption));
}

}  // namespace qvd::ui
