#include "ui/EditKeyFilter.h"

#include "core/wire/Text.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>

namespace qvd::ui {

std::optional<char> TypedChar(const QKeyEvent& event) {
    // Clipboard and undo shortcuts reach the filter as their control
    // characters, so a filter that admits only digits refuses a paste too.
    struct Shortcut { QKeySequence::StandardKey key; char code; };
    static constexpr Shortcut kShortcuts[] = {
        {QKeySequence::Paste, 0x16}, {QKeySequence::Copy, 0x03}, {QKeySequence::Cut, 0x18},
        {QKeySequence::Undo, 0x1A},  {QKeySequence::Redo, 0x19}, {QKeySequence::SelectAll, 0x01},
    };
    for (const Shortcut& s : kShortcuts)
        if (event.matches(s.key)) return s.code;

    switch (event.key()) {
    case Qt::Key_Backspace: return '\b';
    case Qt::Key_Return:
    case Qt::Key_Enter: return '\r';
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return std::nullopt;
    default: break;
    }
    const QString text = event.text();
    if (text.isEmpty()) {
        // Ctrl+letter without a text on some platforms: its control code.
        if ((event.modifiers() & Qt::ControlModifier) && event.key() >= Qt::Key_A &&
            event.key() <= Qt::Key_Z)
            return static_cast<char>(event.key() - Qt::Key_A + 1);
        return std::nullopt;
    }
    if (text.size() == 1 && text[0].unicode() < 0x20) return static_cast<char>(text[0].unicode());
    const std::string wire = ToWire(text.toStdString());
    if (wire.size() != 1) return std::nullopt;
    return wire[0];
}

EditKeyFilter::EditKeyFilter(Control& control, QLineEdit* edit, HandlerRunner run)
    : QObject(edit), control_(control), edit_(edit), run_(std::move(run)) {
    edit->installEventFilter(this);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool EditKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != edit_ || !control_.OnKeyPress) return false;
    switch (event->type()) {
    case QEvent::KeyPress: return OnKey(static_cast<QKeyEvent*>(event));
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // X11 pastes the selection on a middle click.
        return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default: return false;
    }
}

bool EditKeyFilter::OnKey(QKeyEvent* event) {
    const std::optional<char> typed = TypedChar(*event);
    if (!typed) return false;
    char key = *typed;
    run_([&] { control_.OnKeyPress(key); });
    if (key == 0) return true;
    if (key == *typed) return false;
    // The filter replaced the character: type the replacement instead.
    if (static_cast<unsigned char>(key) >= 0x20) {
        edit_->insert(QString::fromStdString(FromWire(std::string(1, key))));
        const std::string text = edit_->text().toStdString();
        run_([&] { control_.SetText(text); });
    }
    return true;
}

namespace {
class HashMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '#';
        if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
}  // namespace

void MaskWithHash(QLineEdit* edit) {
    auto* style = new HashMaskStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

}  // namespace qvd::ui
