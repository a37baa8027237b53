#include "ui/ShownText.h"

#include <algorithm>

namespace qvd::ui {

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

QString ActionText(const std::string& caption) {
    return QString::fromStdString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace qvd::ui
