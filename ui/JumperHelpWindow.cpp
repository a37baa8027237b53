#include "ui/JumperHelpWindow.h"

#include "ui/Fonts.h"

namespace qvd::ui {

// Client area 588 x 267: three pictures with their captions, the text below.
static constexpr Placement kJumperHelp[] = {
    {"Label1", 8, 6, 560, 18, 13, kBold},
    {"Image1", 8, 28, 177, 105},
    {"Label6", 8, 135, 177, 14, 0, kCentred},
    {"Image2", 198, 28, 169, 105},
    {"Label7", 198, 135, 169, 14, 0, kCentred},
    {"Image3", 372, 28, 209, 105},
    {"Label8", 372, 135, 209, 14, 0, kCentred},
    {"Label2", 8, 156, 537, 28, 0, kWrap},
    {"Label3", 8, 188, 576, 14},
    {"Label4", 8, 204, 576, 14},
    {"Label9", 8, 222, 531, 28, 0, kWrap},
};

JumperHelpWindow::JumperHelpWindow(JumperHelpForm& form, QtHost& host, QWidget* owner)
    : AuxWindow(form, host, owner, kJumperHelp, {QSize(0, 0), SansFont(11), Qt::Window}) {}

}  // namespace qvd::ui
