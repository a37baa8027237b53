#include "ui/HeldLook.h"

#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVariant>
#include <QWidget>

namespace qvd::ui {

namespace {

constexpr char kHeldLook[] = "qvdHeldLook";

bool DrawnAsHeld(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (w->property(kHeldLook).toBool()) return true;
        if (w->isWindow()) break;
    }
    return false;
}

class ProgramStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        AsEnabled(option, widget, [&] { QProxyStyle::drawPrimitive(element, option, painter, widget); });
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        AsEnabled(option, widget, [&] { QProxyStyle::drawControl(element, option, painter, widget); });
    }
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        AsEnabled(option, widget, [&] { QProxyStyle::drawComplexControl(control, option, painter, widget); });
    }

private:
    // The option belongs to the caller's paint code and is of a type only
    // the base style knows, so it is changed in place for the one call and
    // restored afterwards.
    template <typename Draw>
    static void AsEnabled(const QStyleOption* option, const QWidget* widget, Draw draw) {
        if (!option || (option->state & State_Enabled) || !DrawnAsHeld(widget)) return draw();
        auto* o = const_cast<QStyleOption*>(option);
        const State state = o->state;
        const QPalette::ColorGroup group = o->palette.currentColorGroup();
        o->state |= State_Enabled;
        o->palette.setCurrentColorGroup(widget->isActiveWindow() ? QPalette::Active : QPalette::Inactive);
        draw();
        o->state = state;
        o->palette.setCurrentColorGroup(group);
    }
};

}  // namespace

void SetHeldLook(QWidget* widget, bool held) {
    if (widget->property(kHeldLook).toBool() == held) return;
    widget->setProperty(kHeldLook, held);
    widget->update();
}

QPalette HeldPalette(QPalette pal) {
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        if (r != QPalette::NoRole) pal.setBrush(QPalette::Disabled, r, pal.brush(QPalette::Active, r));
    }
    return pal;
}

QStyle* CreateProgramStyle() { return new ProgramStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

}  // namespace qvd::ui
