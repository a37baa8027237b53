#include "ui/ModelColours.h"

#include <QWidget>

namespace qvd::ui {

static QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

void SetColorRoles(QPalette& pal, std::optional<Rgb> background, QPalette::ColorRole bgRole,
                   std::optional<Rgb> text, QPalette::ColorRole textRole) {
    if (background) pal.setColor(bgRole, ToQColor(*background));
    if (text) {
        pal.setColor(QPalette::Active, textRole, ToQColor(*text));
        pal.setColor(QPalette::Inactive, textRole, ToQColor(*text));
    }
}

void SetColorRoles(QWidget* w, std::optional<Rgb> background, QPalette::ColorRole bgRole,
                   std::optional<Rgb> text, QPalette::ColorRole textRole) {
    QPalette pal = w->palette();
    SetColorRoles(pal, background, bgRole, text, textRole);
    w->setPalette(pal);
}

}  // namespace qvd::ui
