#pragma once
// A control held while an operation runs is disabled, so assistive tools
// report it as unavailable and no input reaches it, yet it keeps the look of
// an enabled control: the window looks the same throughout the operation.
#include <QPalette>

class QStyle;
class QWidget;

namespace qvd::ui {

// Marks or unmarks a disabled widget, with everything it is made of
// (scroll bars, arrow buttons), to be drawn as enabled.
void SetHeldLook(QWidget* widget, bool held);

// `pal` with its disabled colours replaced by the enabled ones, for what a
// held widget paints itself (the text of edits and memos).
QPalette HeldPalette(QPalette pal);

// The program's style: Fusion, drawing held widgets as enabled ones.
QStyle* CreateProgramStyle();

}  // namespace qvd::ui
