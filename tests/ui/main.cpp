// The window tests need a QApplication; they run on the offscreen platform.
#include "ui/HeldLook.h"

#include <QApplication>

#include <gtest/gtest.h>

static QtMessageHandler standardHandler = nullptr;

// The offscreen platform cannot raise windows and says so every time.
static void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (text.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (standardHandler) standardHandler(type, context, text);
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    QApplication::setStyle(qvd::ui::CreateProgramStyle());
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
