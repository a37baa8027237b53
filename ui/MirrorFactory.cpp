#include "ui/MirrorFactory.h"

#include "ui/ButtonMirror.h"
#include "ui/CheckBoxMirror.h"
#include "ui/DesignerName.h"
#include "ui/EditMirror.h"
#include "ui/Fonts.h"
#include "ui/GroupBoxMirror.h"
#include "ui/ImageMirror.h"
#include "ui/LabelMirror.h"
#include "ui/MemoMirror.h"
#include "ui/MenuItemMirror.h"
#include "ui/MenuMirror.h"
#include "ui/ProgressBarMirror.h"
#include "ui/UpDownMirror.h"

#include <QWidget>

namespace qvd::ui {

namespace {

std::unique_ptr<WidgetMirror> CreateByKind(Control& c, QWidget* parent, unsigned flags, const HandlerRunner& run) {
    switch (c.kind) {
    case ControlKind::Panel: return LabelMirror::Panel(c, parent, flags);
    case ControlKind::Label: return LabelMirror::Label(c, parent, flags);
    case ControlKind::StatusPanel: return LabelMirror::StatusPanel(c, parent);
    case ControlKind::GroupBox: return std::make_unique<GroupBoxMirror>(c, parent);
    case ControlKind::Button: return std::make_unique<ButtonMirror>(c, parent, run);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxMirror>(c, parent, run);
    case ControlKind::Edit: return std::make_unique<EditMirror>(c, parent, run);
    case ControlKind::Memo: return std::make_unique<MemoMirror>(c, parent, flags);
    case ControlKind::UpDown: return std::make_unique<UpDownMirror>(c, parent, run);
    case ControlKind::Image: return std::make_unique<ImageMirror>(c, parent);
    case ControlKind::ProgressBar: return std::make_unique<ProgressBarMirror>(c, parent);
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem: return nullptr;
    }
    return nullptr;
}

void Place(QWidget* w, const Placement& placement) {
    w->setGeometry(placement.x, placement.y, placement.w, placement.h);
    if (placement.flags & kFixedPitch)
        w->setFont(FixedPitchFont(placement.fontPx ? placement.fontPx : 11));
    else if (placement.fontPx || (placement.flags & kBold))
        w->setFont(SansFont(placement.fontPx ? placement.fontPx : w->font().pixelSize(), placement.flags & kBold));
}

}  // namespace

std::unique_ptr<WidgetMirror> CreateWidgetMirror(Control& c, QWidget* parent, const Placement* placement,
                                                 const HandlerRunner& run) {
    std::unique_ptr<WidgetMirror> mirror = CreateByKind(c, parent, placement ? placement->flags : 0, run);
    if (!mirror) return nullptr;
    NameWidget(mirror->widget(), c.name);
    if (placement) Place(mirror->widget(), *placement);
    return mirror;
}

std::unique_ptr<ControlMirror> CreateActionMirror(Control& c, QAction* action, const HandlerRunner& run) {
    switch (c.kind) {
    case ControlKind::Menu: return std::make_unique<MenuMirror>(c, action);
    case ControlKind::MenuItem: return std::make_unique<MenuItemMirror>(c, action, run);
    default: return nullptr;
    }
}

}  // namespace qvd::ui
