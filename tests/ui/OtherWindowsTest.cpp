#include "Windows.h"
#include "ui/ImageView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

struct Aux {
    Form* form;
    ui::AuxWindow* window;
    QSize client;
};

std::vector<Aux> AuxWindows(Windows& w) {
    return {{&w.program.about, &w.about, {508, 178}},
            {&w.program.password, &w.password, {192, 97}},
            {&w.program.jumperHelp, &w.jumperHelp, {588, 267}}};
}

TEST(OtherWindows, ControlsCarryTheirDesignerNamesAndTexts) {
    Windows w;
    for (const Aux& a : AuxWindows(w)) {
        EXPECT_EQ(a.window->objectName(), QString::fromStdString(a.form->window.name));
        EXPECT_EQ(a.window->windowTitle(), QString::fromStdString(a.form->window.caption));
        EXPECT_EQ(a.window->size(), a.client) << a.form->window.name;
        EXPECT_FALSE(a.window->isVisible());
        for (Control* c : a.form->Controls()) {
            QWidget* widget = a.window->findChild<QWidget*>(QString::fromStdString(c->name));
            ASSERT_NE(widget, nullptr) << c->name;
            EXPECT_EQ(widget->accessibleDescription(), QString::fromStdString(c->name));
            if (c->kind == ControlKind::Image) {
                auto* image = static_cast<ui::ImageView*>(widget);
                EXPECT_EQ(image->Source(), QString::fromStdString(c->caption));
                ASSERT_FALSE(image->pixmap().isNull()) << c->name;
                // Scaled into the frame, proportions kept: it touches two sides.
                const QSize shown = image->pixmap().size();
                EXPECT_TRUE(shown.width() == widget->width() || shown.height() == widget->height()) << c->name;
                EXPECT_LE(shown.width(), widget->width());
                EXPECT_LE(shown.height(), widget->height());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                EXPECT_EQ(label->text(), QString::fromStdString(c->caption));
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(button->text(), QString::fromStdString(c->caption));
            }
        }
    }
}

TEST(OtherWindows, ShownByTheModelHiddenByClosing) {
    Windows w;
    w.form().EnableOperationControls(true);
    for (const Aux& a : AuxWindows(w)) {
        a.form->window.SetVisible(true);
        Settle();
        EXPECT_TRUE(a.window->isVisible()) << a.form->window.name;
        a.window->close();
        Settle();
        EXPECT_FALSE(a.form->window.visible);
        EXPECT_FALSE(a.window->isVisible());
        a.form->window.SetVisible(true);  // shown again, the same window
        Settle();
        EXPECT_TRUE(a.window->isVisible());
    }
    // Every operation closes them.
    w.form().EnableOperationControls(false);
    Settle();
    for (const Aux& a : AuxWindows(w)) EXPECT_FALSE(a.window->isVisible()) << a.form->window.name;
}

TEST(OtherWindows, MenuOpensTheAboutWindow) {
    Windows w;
    w.form().EnableOperationControls(true);
    Settle();
    w.Find<QAction>("Version1")->trigger();
    w.Find<QAction>("Version1")->trigger();
    Settle();
    EXPECT_TRUE(w.about.isVisible());
    EXPECT_EQ(w.main.findChildren<QWidget*>(QStringLiteral("TForm2"), Qt::FindDirectChildrenOnly).size(), 1);
}

TEST(OtherWindows, PasswordShowsHashesAndEnterHandsItOver) {
    Windows w;
    PasswordForm& form = w.program.password;
    form.window.SetCaption("Servicebereich");
    form.window.SetVisible(true);
    Settle();
    EXPECT_EQ(w.password.windowTitle(), QStringLiteral("Servicebereich"));
    auto* entry = w.password.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    QTest::keyClicks(entry, QStringLiteral("geheim"));
    EXPECT_EQ(form.Edit1.caption, "geheim");
    EXPECT_EQ(entry->displayText(), QStringLiteral("######"));
    QTest::keyClick(entry, Qt::Key_Return);
    Settle();
    EXPECT_EQ(form.Edit2.caption, PasswordForm::Frame("geheim"));
    EXPECT_EQ(form.Edit1.caption, "");
    EXPECT_EQ(entry->text(), QString());
    EXPECT_FALSE(w.password.isVisible());
}

}  // namespace
}  // namespace qvd::test
