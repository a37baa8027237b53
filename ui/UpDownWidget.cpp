#include "ui/UpDownWidget.h"

#include <QToolButton>

namespace qvd::ui {

UpDownWidget::UpDownWidget(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRaise(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setAccessibleName(QStringLiteral("+1"));
    down_->setAccessibleName(QStringLiteral("-1"));
    connect(up_, &QToolButton::clicked, this, [this] { emit stepped(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

void UpDownWidget::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace qvd::ui
