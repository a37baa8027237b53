// Draws the pictures of the about and jumper help windows and saves them as
// JPEG files: qvd_draw_pictures <output directory>. The program ships the
// results (ui/pictures) and decodes them with Qt's JPEG plug-in.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cstdio>
#include <functional>

namespace {

const QColor kBoardGreen(28, 110, 52);
const QColor kBoardDark(16, 74, 34);
const QColor kAdapterBlue(30, 70, 150);
const QColor kGold(214, 178, 84);
const QColor kSilk(236, 240, 230);

QFont Font(int px, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

void Table(QPainter& p, const QRect& r) {
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, QColor(206, 200, 188));
    g.setColorAt(1, QColor(160, 152, 140));
    p.fillRect(r, g);
}

// A little grain, so the flat drawings read as photographs of real boards.
void Grain(QImage& image, int amount) {
    QRandomGenerator rng(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int d = static_cast<int>(rng.bounded(2 * amount + 1)) - amount;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255),
                           qBound(0, qBlue(c) + d, 255));
        }
    }
}

void Shadow(QPainter& p, const QRectF& r, qreal radius, int offset) {
    p.setPen(Qt::NoPen);
    for (int i = 6; i > 0; --i) {
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawRoundedRect(r.translated(offset, offset).adjusted(-i, -i, i, i), radius + i, radius + i);
    }
}

void Board(QPainter& p, const QRectF& r, const QColor& base, const QColor& dark) {
    Shadow(p, r, 4, 5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, base.lighter(115));
    g.setColorAt(1, dark);
    p.setBrush(g);
    p.setPen(QPen(dark.darker(130), 1.5));
    p.drawRoundedRect(r, 4, 4);
    // Traces.
    p.setPen(QPen(base.lighter(135), 1.2));
    for (int i = 0; i < 9; ++i) {
        const qreal y = r.top() + r.height() * (0.12 + 0.09 * i);
        p.drawLine(QPointF(r.left() + 8, y), QPointF(r.left() + r.width() * 0.3, y));
        p.drawLine(QPointF(r.left() + r.width() * 0.3, y),
                   QPointF(r.left() + r.width() * 0.36, y + 9));
    }
    // Mounting holes.
    p.setPen(QPen(kGold, 2));
    p.setBrush(QColor(40, 40, 40));
    for (QPointF c : {r.topLeft() + QPointF(9, 9), r.topRight() + QPointF(-9, 9),
                      r.bottomLeft() + QPointF(9, -9), r.bottomRight() + QPointF(-9, -9)})
        p.drawEllipse(c, 4, 4);
}

void Chip(QPainter& p, const QRectF& r, const QString& label, int pinsPerSide, bool window = false) {
    p.setPen(QPen(QColor(190, 190, 195), 1.6));
    const qreal step = r.width() / (pinsPerSide + 1);
    for (int i = 1; i <= pinsPerSide; ++i) {
        const qreal x = r.left() + step * i;
        p.drawLine(QPointF(x, r.top() - 4), QPointF(x, r.top()));
        p.drawLine(QPointF(x, r.bottom()), QPointF(x, r.bottom() + 4));
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(58, 58, 62));
    g.setColorAt(1, QColor(22, 22, 24));
    p.setBrush(g);
    p.setPen(QPen(QColor(10, 10, 10), 1));
    p.drawRect(r);
    p.setBrush(QColor(12, 12, 12));
    p.drawEllipse(QPointF(r.left() + 5, r.center().y()), 3, 3);
    if (window) {
        p.setBrush(QColor(120, 110, 140));
        p.setPen(QPen(QColor(180, 180, 190), 1));
        p.drawRoundedRect(QRectF(r.center().x() - 9, r.center().y() - 6, 18, 12), 2, 2);
    }
    p.setPen(QColor(225, 225, 225));
    p.setFont(Font(qMax(7, static_cast<int>(r.height() * 0.28))));
    p.drawText(window ? r.adjusted(0, r.height() * 0.5, 0, 0) : r, Qt::AlignCenter, label);
}

void Battery(QPainter& p, QPointF c, qreal radius) {
    QRadialGradient g(c - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, QColor(240, 240, 240));
    g.setColorAt(1, QColor(130, 130, 135));
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.drawEllipse(c, radius, radius);
    p.setPen(QColor(70, 70, 70));
    p.setFont(Font(static_cast<int>(radius * 0.45), true));
    p.drawText(QRectF(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius), Qt::AlignCenter,
               QStringLiteral("+ 3V"));
}

void EdgeConnector(QPainter& p, const QRectF& r, int fingers) {
    const qreal w = r.width() / fingers;
    p.setPen(Qt::NoPen);
    for (int i = 0; i < fingers; ++i) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, kGold.lighter(120));
        g.setColorAt(1, kGold.darker(120));
        p.setBrush(g);
        p.drawRect(QRectF(r.left() + i * w + 1, r.top(), w - 2, r.height()));
    }
}

void SubD9(QPainter& p, const QRectF& r) {
    QPainterPath shell;
    shell.moveTo(r.left(), r.top());
    shell.lineTo(r.right(), r.top());
    shell.lineTo(r.right() - r.width() * 0.08, r.bottom());
    shell.lineTo(r.left() + r.width() * 0.08, r.bottom());
    shell.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(225, 225, 230));
    g.setColorAt(1, QColor(140, 140, 148));
    p.setBrush(g);
    p.setPen(QPen(QColor(90, 90, 95), 1.2));
    p.drawPath(shell);
    p.setBrush(QColor(30, 30, 30));
    p.drawPath(QTransform()
                   .translate(r.center().x(), r.center().y())
                   .scale(0.78, 0.62)
                   .translate(-r.center().x(), -r.center().y())
                   .map(shell));
    p.setBrush(kGold);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(r.left() + r.width() * (0.25 + 0.125 * i), r.center().y() - r.height() * 0.12), 1.6, 1.6);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(r.left() + r.width() * (0.31 + 0.125 * i), r.center().y() + r.height() * 0.14), 1.6, 1.6);
}

void Led(QPainter& p, QPointF c, const QColor& color) {
    QRadialGradient glow(c, 9);
    glow.setColorAt(0, QColor(color.red(), color.green(), color.blue(), 170));
    glow.setColorAt(1, QColor(color.red(), color.green(), color.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, 9, 9);
    p.setBrush(color.lighter(130));
    p.drawEllipse(c, 3.2, 3.2);
}

void Silk(QPainter& p, const QRectF& r, const QString& text, int px, int align = Qt::AlignCenter) {
    p.setPen(kSilk);
    p.setFont(Font(px, true));
    p.drawText(r, align, text);
}

// The game module's pin header: 2 rows of `columns` pins at `pitch`.
QPointF PinAt(QPointF origin, qreal pitch, int column, int row) {
    return origin + QPointF(column * pitch, row * pitch);
}

void PinHeader(QPainter& p, QPointF origin, qreal pitch, int columns) {
    const QRectF base(origin - QPointF(pitch / 2, pitch / 2), QSizeF(columns * pitch, 2 * pitch));
    p.setPen(QPen(QColor(5, 5, 5), 1));
    p.setBrush(QColor(28, 28, 30));
    p.drawRect(base);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < 2; ++r) {
            const QPointF pin = PinAt(origin, pitch, c, r);
            const qreal s = pitch * 0.24;
            QLinearGradient g(pin - QPointF(s, s), pin + QPointF(s, s));
            g.setColorAt(0, kGold.lighter(140));
            g.setColorAt(1, kGold.darker(130));
            p.setBrush(g);
            p.setPen(QPen(kGold.darker(160), 0.8));
            p.drawRect(QRectF(pin - QPointF(s, s), QSizeF(2 * s, 2 * s)));
        }
}

// A jumper cap bridging the two rows of one column.
void Jumper(QPainter& p, QPointF origin, qreal pitch, int column) {
    const QPointF top = PinAt(origin, pitch, column, 0);
    const QRectF cap(top - QPointF(pitch * 0.45, pitch * 0.5), QSizeF(pitch * 0.9, pitch * 2));
    Shadow(p, cap, 2, 2);
    QLinearGradient g(cap.topLeft(), cap.topRight());
    g.setColorAt(0, QColor(70, 70, 74));
    g.setColorAt(0.5, QColor(25, 25, 28));
    g.setColorAt(1, QColor(55, 55, 60));
    p.setBrush(g);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.drawRoundedRect(cap, 2.5, 2.5);
    p.setBrush(QColor(10, 10, 10));
    p.drawRect(QRectF(cap.center() - QPointF(pitch * 0.12, pitch * 0.45), QSizeF(pitch * 0.24, pitch * 0.9)));
}

// Close-up of the NSM module's board around its pin header.
void HeaderBoard(QPainter& p, const QRect& r, QPointF origin, qreal pitch, int columns) {
    Table(p, r);
    Board(p, QRectF(r).adjusted(-20, 12, 20, 30), kBoardGreen, kBoardDark);
    Chip(p, QRectF(r.width() * 0.06, r.height() * 0.16, r.width() * 0.22, r.height() * 0.2),
         QStringLiteral("74HC00"), 7);
    Chip(p, QRectF(r.width() * 0.74, r.height() * 0.64, r.width() * 0.22, r.height() * 0.2),
         QStringLiteral("6264"), 7);
    PinHeader(p, origin, pitch, columns);
    Silk(p, QRectF(origin.x() + (columns - 0.5) * pitch + pitch * 0.2, origin.y() - pitch / 2, pitch * 2, pitch),
         QStringLiteral("J12"), static_cast<int>(pitch * 0.45), Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < columns; ++c)
        Silk(p, QRectF(PinAt(origin, pitch, c, 1) + QPointF(-pitch / 2, pitch * 0.6), QSizeF(pitch, pitch * 0.7)),
             QString::number(2 * c + 1), static_cast<int>(pitch * 0.36));
}

QImage ModuleWithAdapter() {
    QImage image(411, 243, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Table(p, image.rect());
    const QRectF module(14, 18, 383, 212);
    Board(p, module, kBoardGreen, kBoardDark);
    EdgeConnector(p, QRectF(40, 214, 330, 14), 30);
    Chip(p, QRectF(34, 44, 150, 40), QStringLiteral("27C512"), 14, true);
    Chip(p, QRectF(34, 110, 118, 34), QStringLiteral("6264"), 14);
    Chip(p, QRectF(34, 164, 70, 26), QStringLiteral("72421"), 9);
    Battery(p, QPointF(142, 180), 22);
    Silk(p, QRectF(30, 22, 200, 16), QStringLiteral("GAME MODULE"), 10, Qt::AlignLeft);
    // The QVD module plugged on top.
    const QRectF adapter(206, 34, 176, 150);
    Board(p, adapter, kAdapterBlue, kAdapterBlue.darker(170));
    Chip(p, QRectF(228, 70, 86, 30), QStringLiteral("QVD µC"), 10);
    Chip(p, QRectF(228, 124, 50, 22), QStringLiteral("MAX232"), 6);
    SubD9(p, QRectF(300, 132, 70, 40));
    Led(p, QPointF(352, 64), QColor(40, 230, 60));
    Led(p, QPointF(352, 84), QColor(250, 60, 40));
    Silk(p, QRectF(214, 40, 160, 16), QStringLiteral("QVD-MODUL"), 11, Qt::AlignLeft);
    p.end();
    Grain(image, 4);
    return image;
}

QImage AdapterWithModule() {
    QImage image(411, 195, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Table(p, image.rect());
    // The adapter box seen from the front, slightly from above.
    const QPolygonF top{QPointF(40, 92), QPointF(330, 92), QPointF(372, 62), QPointF(82, 62)};
    const QRectF front(40, 92, 290, 78);
    const QPolygonF side{QPointF(330, 92), QPointF(372, 62), QPointF(372, 140), QPointF(330, 170)};
    Shadow(p, front.adjusted(0, -30, 42, 0), 4, 6);
    p.setPen(QPen(QColor(20, 20, 24), 1.2));
    p.setBrush(QColor(88, 90, 98));
    p.drawPolygon(top);
    QLinearGradient fg(front.topLeft(), front.bottomLeft());
    fg.setColorAt(0, QColor(70, 72, 80));
    fg.setColorAt(1, QColor(40, 40, 46));
    p.setBrush(fg);
    p.drawRect(front);
    p.setBrush(QColor(52, 54, 60));
    p.drawPolygon(side);
    SubD9(p, QRectF(240, 112, 70, 40));
    Led(p, QPointF(70, 128), QColor(40, 230, 60));
    Led(p, QPointF(92, 128), QColor(250, 60, 40));
    p.setPen(QColor(235, 235, 240));
    p.setFont(Font(15, true));
    p.drawText(QRectF(110, 112, 120, 30), Qt::AlignCenter, QStringLiteral("QVD"));
    // The game module stacked on the box.
    const QPolygonF board{QPointF(56, 84), QPointF(318, 84), QPointF(356, 56), QPointF(94, 56)};
    p.setPen(QPen(kBoardDark.darker(140), 1.2));
    p.setBrush(kBoardGreen);
    p.drawPolygon(board.translated(0, -14));
    p.setBrush(kBoardDark);
    p.drawRect(QRectF(56, 70, 262, 5));
    auto slanted = [&](QPointF at, qreal w, qreal d, qreal h, const QColor& c) {
        const QPolygonF face{at, at + QPointF(w, 0), at + QPointF(w, -h), at + QPointF(0, -h)};
        const QPolygonF lid{at + QPointF(0, -h), at + QPointF(w, -h), at + QPointF(w + d, -h - d * 0.72),
                            at + QPointF(d, -h - d * 0.72)};
        p.setPen(QPen(Qt::black, 0.8));
        p.setBrush(c.darker(140));
        p.drawPolygon(face);
        p.setBrush(c);
        p.drawPolygon(lid);
    };
    slanted(QPointF(96, 66), 110, 20, 8, QColor(45, 45, 50));
    slanted(QPointF(220, 66), 70, 16, 7, QColor(45, 45, 50));
    slanted(QPointF(150, 56), 46, 12, 6, QColor(45, 45, 50));
    Battery(p, QPointF(290, 48), 11);
    p.end();
    Grain(image, 4);
    return image;
}

QImage Icon() {
    QImage image(66, 66, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 66);
    g.setColorAt(0, QColor(60, 110, 230));
    g.setColorAt(1, QColor(10, 30, 140));
    p.setBrush(g);
    p.setPen(QPen(QColor(5, 15, 80), 2));
    p.drawRoundedRect(QRectF(3, 3, 60, 60), 10, 10);
    Chip(p, QRectF(14, 12, 38, 20), QString(), 5);
    p.setPen(QColor(255, 255, 255));
    p.setFont(Font(17, true));
    p.drawText(QRectF(3, 34, 60, 24), Qt::AlignCenter, QStringLiteral("QVD"));
    return image;
}

constexpr int kHeaderColumns = 4;

QImage ResetBoard() {
    QImage image(354, 210, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF origin(118, 84);
    const qreal pitch = 34;
    HeaderBoard(p, image.rect(), origin, pitch, kHeaderColumns);
    // The small reset board sits on the header and hides it.
    const QRectF reset(origin.x() - 40, origin.y() - 46, pitch * kHeaderColumns + 56, 110);
    Board(p, reset, QColor(170, 40, 40), QColor(110, 20, 20));
    p.setBrush(QColor(40, 40, 40));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(reset.center().x() - 16, reset.center().y() - 16, 32, 32));
    QRadialGradient button(reset.center(), 11);
    button.setColorAt(0, QColor(230, 230, 230));
    button.setColorAt(1, QColor(120, 120, 120));
    p.setBrush(button);
    p.drawEllipse(reset.center(), 10, 10);
    Silk(p, QRectF(reset.left(), reset.top() + 4, reset.width(), 16), QStringLiteral("RESET"), 12);
    Chip(p, QRectF(reset.left() + 10, reset.bottom() - 24, 40, 14), QString(), 4);
    p.end();
    Grain(image, 4);
    return image;
}

QImage JumpersFitted() {
    QImage image(338, 210, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF origin(112, 84);
    const qreal pitch = 34;
    HeaderBoard(p, image.rect(), origin, pitch, kHeaderColumns);
    Jumper(p, origin, pitch, 0);
    Jumper(p, origin, pitch, 2);
    p.end();
    Grain(image, 4);
    return image;
}

QImage JumperSetting() {
    QImage image(418, 210, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF origin(136, 74);
    const qreal pitch = 46;  // closer up
    HeaderBoard(p, image.rect(), origin, pitch, kHeaderColumns);
    Jumper(p, origin, pitch, 1);
    Jumper(p, origin, pitch, 3);
    // Mark the two jumpers that matter.
    p.setPen(QPen(QColor(255, 220, 0), 3));
    p.setBrush(Qt::NoBrush);
    for (int column : {1, 3}) {
        const QPointF c = PinAt(origin, pitch, column, 0) + QPointF(0, pitch / 2);
        p.drawEllipse(c, pitch * 0.8, pitch * 1.25);
    }
    p.end();
    Grain(image, 3);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char*, std::function<QImage()>> pictures[] = {
        {"module_with_adapter.jpg", ModuleWithAdapter},
        {"adapter_with_module.jpg", AdapterWithModule},
        {"icon.jpg", Icon},
        {"reset_board.jpg", ResetBoard},
        {"jumpers_fitted.jpg", JumpersFitted},
        {"jumper_setting.jpg", JumperSetting},
    };
    for (const auto& [name, draw] : pictures) {
        QImageWriter writer(out.filePath(QString::fromLatin1(name)), "jpeg");
        writer.setQuality(88);
        if (!writer.write(draw())) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(writer.errorString()));
            return 1;
        }
    }
    return 0;
}
