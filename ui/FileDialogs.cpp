#include "ui/FileDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace qvd::ui {

QString QtNameFilters(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    if (!text.contains(QLatin1Char('|'))) return text;
    const QStringList parts = text.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString label = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "(*.txt)|*.txt" already names its pattern in the label.
        if (label.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << label;
        else
            filters << (label.isEmpty() ? QString() : label + QLatin1Char(' ')) +
                           QLatin1Char('(') + patterns + QLatin1Char(')');
    }
    if (parts.size() % 2) filters << parts.back();
    return filters.join(QLatin1String(";;"));
}

std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& request,
                                         FileDialogMode mode) {
    QFileDialog dialog(parent, QString::fromStdString(request.title));
    dialog.setObjectName(mode == FileDialogMode::Save ? QStringLiteral("SaveDialog1")
                                                      : QStringLiteral("OpenDialog1"));
    const bool save = mode == FileDialogMode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!request.filter.empty()) dialog.setNameFilters(QtNameFilters(request.filter).split(QLatin1String(";;")));
    if (!request.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    if (!request.defaultName.empty()) dialog.selectFile(QString::fromStdString(request.defaultName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
}

}  // namespace qvd::ui
