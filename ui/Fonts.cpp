#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace qvd::ui {

static QFont FirstInstalled(const QStringList& families, QFontDatabase::SystemFont fallback) {
    for (const QString& family : families)
        if (QFontDatabase::hasFamily(family)) return QFont(family);
    return QFontDatabase::systemFont(fallback);
}

QFont SansFont(int pixelSize, bool bold) {
    static const QFont base = [] {
        QFont f = FirstInstalled({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")},
                                 QFontDatabase::GeneralFont);
        // Tahoma runs narrow; a condensed face keeps the captions within
        // the widths the windows were laid out for.
        if (f.family() != QLatin1String("Tahoma")) f.setStretch(QFont::SemiCondensed);
        return f;
    }();
    QFont f = base;
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont FixedPitchFont(int pixelSize) {
    static const QFont base = [] {
        QFont f = FirstInstalled({QStringLiteral("DejaVu Sans Mono")}, QFontDatabase::FixedFont);
        f.setStyleHint(QFont::Monospace);
        f.setFixedPitch(true);
        return f;
    }();
    QFont f = base;
    f.setPixelSize(pixelSize);
    return f;
}

}  // namespace qvd::ui
