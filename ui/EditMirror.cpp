#include "ui/EditMirror.h"

#include "ui/EditKeyFilter.h"

#include <QLineEdit>

#include <algorithm>

namespace qvd::ui {

EditMirror::EditMirror(Control& c, QWidget* parent, const HandlerRunner& run)
    : WidgetMirror(c, new QLineEdit(parent), ColourRoles{QPalette::Base, QPalette::Text}, Input::Taken) {
    new EditKeyFilter(c, edit(), run);
    QObject::connect(edit(), &QLineEdit::textEdited, edit(), [&c, run](const QString& text) {
        const std::string utf8 = text.toStdString();
        run([&c, &utf8] { c.SetText(utf8); });
    });
}

QLineEdit* EditMirror::edit() const { return static_cast<QLineEdit*>(widget()); }

void EditMirror::ShowContent() {
    const Control& c = control();
    const QString text = QString::fromStdString(c.caption);
    // A text set by the program may be longer than the limit and is kept
    // whole; the limit only stops typing.
    const int limit = c.maxLength > 0 ? std::max<int>(c.maxLength, text.size()) : 32767;
    if (edit()->maxLength() != limit) edit()->setMaxLength(limit);
    if (edit()->text() != text) edit()->setText(text);
}

}  // namespace qvd::ui
