#include "ui/MemoMirror.h"

#include "ui/Placement.h"
#include "ui/ShownText.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace qvd::ui {

MemoMirror::MemoMirror(Control& c, QWidget* parent, unsigned flags)
    : WidgetMirror(c, new QPlainTextEdit(parent), ColourRoles{QPalette::Base, QPalette::Text}, Input::Taken) {
    memo()->setReadOnly(true);
    memo()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Lines that do not wrap must still be reachable.
    memo()->setHorizontalScrollBarPolicy((flags & kNoWrap) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    memo()->setLineWrapMode((flags & kNoWrap) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    memo()->setUndoRedoEnabled(false);
    if (flags & kNoWrap) memo()->setFocusPolicy(Qt::ClickFocus);  // no tab stop
}

QPlainTextEdit* MemoMirror::memo() const { return static_cast<QPlainTextEdit*>(widget()); }

void MemoMirror::ShowContent() {
    const Control& c = control();
    const std::vector<std::string>& lines = c.lines;
    const bool grown = c.clears == shownClears_ && shownLines_ > 0 && lines.size() >= shownLines_ &&
                       lines.front() == firstShown_ && lines[shownLines_ - 1] == lastShown_;
    if (grown && lines.size() == shownLines_) return;
    QStringList added;
    for (size_t i = grown ? shownLines_ : 0; i < lines.size(); ++i) added << DisplayLine(lines[i]);
    if (grown)
        memo()->appendPlainText(added.join(QLatin1Char('\n')));
    else
        memo()->setPlainText(added.join(QLatin1Char('\n')));
    shownLines_ = lines.size();
    shownClears_ = c.clears;
    firstShown_ = lines.empty() ? std::string() : lines.front();
    lastShown_ = lines.empty() ? std::string() : lines.back();
    // Keep the last line in sight, from its start (the views do not wrap).
    memo()->moveCursor(QTextCursor::End);
    memo()->moveCursor(QTextCursor::StartOfLine);
    memo()->verticalScrollBar()->setValue(memo()->verticalScrollBar()->maximum());
    memo()->horizontalScrollBar()->setValue(0);
}

}  // namespace qvd::ui
