#include "ui/ControlMirror.h"

#include "ui/EditKeyFilter.h"
#include "ui/Fonts.h"
#include "ui/HeldLook.h"
#include "ui/ImageView.h"
#include "ui/UpDownWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace qvd::ui {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

// Backgrounds hold in every state; text colours only for the enabled states,
// so a disabled control still greys out its text.
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

bool TakesInput(ControlKind kind) {
    switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Edit:
    case ControlKind::Memo:
    case ControlKind::UpDown:
        return true;
    default:
        return false;
    }
}

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

QString ActionText(const std::string& caption) {
    return QString::fromStdString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QFrame::Shadow ShadowFor(unsigned flags) {
    return (flags & kLowered) ? QFrame::Sunken : (flags & kRaised) ? QFrame::Raised : QFrame::Plain;
}

QWidget* CreatePanel(Control& c, QWidget* parent, unsigned flags) {
    auto* panel = new QLabel(parent);
    const bool bevel = flags & (kLowered | kRaised);
    panel->setFrameStyle(bevel ? (QFrame::Panel | ShadowFor(flags))
                               : (flags & kSingleBorder) ? (QFrame::Box | QFrame::Plain)
                                                         : QFrame::NoFrame);
    panel->setAlignment(Qt::AlignCenter);
    panel->setTextFormat(Qt::PlainText);
    panel->setAutoFillBackground(true);
    if (!c.color) SetColorRoles(panel, colors::ButtonFace, QPalette::Window, {}, QPalette::WindowText);
    return panel;
}

QWidget* CreateMemo(QWidget* parent, unsigned flags) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Lines that do not wrap must still be reachable.
    memo->setHorizontalScrollBarPolicy((flags & kNoWrap) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode((flags & kNoWrap) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    memo->setUndoRedoEnabled(false);
    if (flags & kNoWrap) memo->setFocusPolicy(Qt::ClickFocus);  // no tab stop
    return memo;
}

}  // namespace

void NameWidget(QWidget* widget, const std::string& designerName) {
    const QString name = QString::fromStdString(designerName);
    widget->setObjectName(name);
    widget->setAccessibleDescription(name);
}

QString ShownText(const std::string& text) {
    return QString::fromStdString(text).replace(QChar(0), QChar(0x2400));
}

QString DisplayLine(const std::string& line) {
    std::string shown = line;
    while (!shown.empty() && (shown.back() == '\r' || shown.back() == '\n')) shown.pop_back();
    std::replace(shown.begin(), shown.end(), '\r', ' ');
    std::replace(shown.begin(), shown.end(), '\n', ' ');
    return ShownText(shown);
}

QWidget* ControlMirror::CreateWidget(Control& c, QWidget* parent, const Placement* placement,
                                     const HandlerRunner& run) {
    const unsigned flags = placement ? placement->flags : 0;
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Panel:
        w = CreatePanel(c, parent, flags);
        break;
    case ControlKind::GroupBox: {
        auto* box = new QGroupBox(parent);
        box->setAutoFillBackground(true);
        if (!c.color) SetColorRoles(box, colors::ButtonFace, QPalette::Window, {}, QPalette::WindowText);
        w = box;
        break;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(flags & kWrap);
        label->setAlignment((flags & kCentred) ? Qt::AlignHCenter | Qt::AlignTop
                                               : Qt::AlignLeft | Qt::AlignTop);
        w = label;
        break;
    }
    case ControlKind::StatusPanel: {
        auto* panel = new QLabel(parent);
        panel->setTextFormat(Qt::PlainText);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setIndent(2);
        w = panel;
        break;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button, [&c, run] {
            run([&c] { if (c.OnClick) c.OnClick(); });
        });
        w = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(parent);
        QObject::connect(box, &QCheckBox::clicked, box, [&c, run](bool checked) {
            run([&c, checked] {
                c.SetChecked(checked);
                if (c.OnClick) c.OnClick();
            });
        });
        w = box;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        new EditKeyFilter(c, edit, run);
        QObject::connect(edit, &QLineEdit::textEdited, edit, [&c, run](const QString& text) {
            const std::string utf8 = text.toStdString();
            run([&c, &utf8] { c.SetText(utf8); });
        });
        w = edit;
        break;
    }
    case ControlKind::Memo:
        w = CreateMemo(parent, flags);
        break;
    case ControlKind::UpDown: {
        auto* arrows = new UpDownWidget(parent);
        QObject::connect(arrows, &UpDownWidget::stepped, arrows, [&c, run](int step) {
            run([&c, step] { if (c.OnStep) c.OnStep(step); });
        });
        w = arrows;
        break;
    }
    case ControlKind::Image:
        w = new ImageView(parent);
        break;
    case ControlKind::ProgressBar: {
        auto* bar = new CaptionProgressBar(parent);
        bar->setRange(0, 100);
        bar->setAlignment(Qt::AlignCenter);
        w = bar;
        break;
    }
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        return nullptr;
    }
    NameWidget(w, c.name);
    if (placement) {
        w->setGeometry(placement->x, placement->y, placement->w, placement->h);
        if (flags & kFixedPitch)
            w->setFont(FixedPitchFont(placement->fontPx ? placement->fontPx : 11));
        else if (placement->fontPx || (flags & kBold))
            w->setFont(SansFont(placement->fontPx ? placement->fontPx : w->font().pixelSize(),
                                flags & kBold));
    }
    return w;
}

void ControlMirror::Update() {
    if (seen_ == control_.revision) return;
    seen_ = control_.revision;
    if (action_)
        UpdateAction();
    else if (widget_)
        UpdateWidget();
}

void ControlMirror::UpdateAction() {
    const Control& c = control_;
    if (c.kind == ControlKind::Menu) {
        if (auto* menu = qobject_cast<QMenu*>(action_->menu())) menu->setTitle(ActionText(c.caption));
    } else {
        action_->setText(ActionText(c.caption));
        // Only a ticked entry is checkable, so unticked ones show no box.
        action_->setCheckable(c.checked);
        action_->setChecked(c.checked);
    }
    action_->setEnabled(c.enabled);
    action_->setVisible(c.visible);
}

void ControlMirror::SetHeld(bool held) {
    if (!widget_ || !TakesInput(control_.kind) || held == held_) return;
    held_ = held;
    if (held)
        beforeHold_ = widget_->palette();
    else
        widget_->setPalette(beforeHold_);
    seen_ = ~0u;
}

void ControlMirror::UpdateWidget() {
    const Control& c = control_;
    QWidget* w = widget_;
    const QString caption = QString::fromStdString(c.caption);
    // Colours the model gave are set again on every change; a held control
    // starts from its palette before the hold.
    QPalette pal = held_ ? beforeHold_ : w->palette();
    bool colored = true;
    switch (c.kind) {
    case ControlKind::Panel:
    case ControlKind::StatusPanel:
    case ControlKind::Label: {
        auto* label = static_cast<QLabel*>(w);
        const QString shown = ShownText(c.caption);
        if (label->text() != shown) label->setText(shown);
        if (c.color) label->setAutoFillBackground(true);
        SetColorRoles(pal, c.color, QPalette::Window, c.fontColor, QPalette::WindowText);
        break;
    }
    case ControlKind::GroupBox:
        static_cast<QGroupBox*>(w)->setTitle(caption);
        SetColorRoles(pal, c.color, QPalette::Window, c.fontColor, QPalette::WindowText);
        break;
    case ControlKind::Button:
        static_cast<QPushButton*>(w)->setText(ActionText(c.caption));
        SetColorRoles(pal, c.color, QPalette::Button, c.fontColor, QPalette::ButtonText);
        break;
    case ControlKind::CheckBox:
        static_cast<QCheckBox*>(w)->setText(ActionText(c.caption));
        static_cast<QCheckBox*>(w)->setChecked(c.checked);
        SetColorRoles(pal, c.color, QPalette::Window, c.fontColor, QPalette::WindowText);
        if (c.color) w->setAutoFillBackground(true);
        break;
    case ControlKind::Edit: {
        auto* edit = static_cast<QLineEdit*>(w);
        // A text set by the program may be longer than the limit and is kept
        // whole; the limit only stops typing.
        const int limit = c.maxLength > 0 ? std::max<int>(c.maxLength, caption.size()) : 32767;
        if (edit->maxLength() != limit) edit->setMaxLength(limit);
        if (edit->text() != caption) edit->setText(caption);
        SetColorRoles(pal, c.color, QPalette::Base, c.fontColor, QPalette::Text);
        break;
    }
    case ControlKind::Memo:
        SetColorRoles(pal, c.color, QPalette::Base, c.fontColor, QPalette::Text);
        UpdateMemo();
        break;
    case ControlKind::Image:
        static_cast<ImageView*>(w)->SetSource(caption);
        colored = false;
        break;
    case ControlKind::ProgressBar: {
        auto* bar = static_cast<CaptionProgressBar*>(w);
        bar->setValue(std::clamp(c.position, 0, 100));
        bar->SetCaption(ShownText(c.caption));
        colored = false;
        break;
    }
    case ControlKind::UpDown:
    case ControlKind::Window:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        colored = false;
        break;
    }
    const bool heldLook = held_ && c.enabled;
    if (heldLook) pal = HeldPalette(pal);
    if (colored || held_) w->setPalette(pal);
    SetHeldLook(w, heldLook);
    w->setEnabled(c.enabled && !held_);
    w->setVisible(c.visible);
}

void ControlMirror::UpdateMemo() {
    auto* memo = static_cast<QPlainTextEdit*>(widget_);
    const std::vector<std::string>& lines = control_.lines;
    // Comparing only the ends keeps a long view cheap: each update costs what
    // was added, not what is shown.
    const bool grown = control_.clears == shownClears_ && shownLines_ > 0 && lines.size() >= shownLines_ &&
                       lines.front() == firstShown_ && lines[shownLines_ - 1] == lastShown_;
    if (grown && lines.size() == shownLines_) return;
    QStringList added;
    for (size_t i = grown ? shownLines_ : 0; i < lines.size(); ++i) added << DisplayLine(lines[i]);
    if (grown)
        memo->appendPlainText(added.join(QLatin1Char('\n')));
    else
        memo->setPlainText(added.join(QLatin1Char('\n')));
    shownLines_ = lines.size();
    shownClears_ = control_.clears;
    firstShown_ = lines.empty() ? std::string() : lines.front();
    lastShown_ = lines.empty() ? std::string() : lines.back();
    // Keep the last line in sight, from its start (the views do not wrap).
    memo->moveCursor(QTextCursor::End);
    memo->moveCursor(QTextCursor::StartOfLine);
    memo->verticalScrollBar()->setValue(memo->verticalScrollBar()->maximum());
    memo->horizontalScrollBar()->setValue(0);
}

}  // namespace qvd::ui
