#include "ui/AboutWindow.h"

#include "ui/Fonts.h"

namespace qvd::ui {

// Client area 508 x 178.
static constexpr Placement kAbout[] = {
    {"Image3", 8, 8, 33, 33},
    {"Label1", 50, 14, 300, 24, 19},
    {"Image1", 363, 8, 137, 81},
    {"Image2", 363, 95, 137, 65},
    {"Label6", 8, 140, 254, 30, 9, kWrap},
};

AboutWindow::AboutWindow(AboutForm& form, QtHost& host, QWidget* owner)
    : AuxWindow(form, host, owner, kAbout, {QSize(0, 0), SansFont(9), Qt::Window}) {}

}  // namespace qvd::ui
