#include "ui/DesignerName.h"

#include <QWidget>

namespace qvd::ui {

void NameWidget(QWidget* widget, const std::string& designerName) {
    const QString name = QString::fromStdString(designerName);
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
}

}  // namespace qvd::ui
