#include "ui/JpegImage.h"

#include <QFile>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

QByteArray Resource(const char* path) {
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(JpegImage, EveryShippedPictureDecodes) {
    struct Case { const char* path; int width, height; };
    for (Case c : {Case{":/pictures/icon.jpg", 66, 66},
                   Case{":/pictures/module_with_adapter.jpg", 411, 243},
                   Case{":/pictures/adapter_with_module.jpg", 411, 195},
                   Case{":/pictures/reset_board.jpg", 354, 210},
                   Case{":/pictures/jumpers_fitted.jpg", 338, 210},
                   Case{":/pictures/jumper_setting.jpg", 418, 210}}) {
        const QImage image = ui::LoadJpegResource(QString::fromLatin1(c.path));
        ASSERT_FALSE(image.isNull()) << c.path;
        EXPECT_EQ(image.size(), QSize(c.width, c.height)) << c.path;
    }
}

TEST(JpegImage, BrokenDataGivesNoImageAndNoCrash) {
    const QByteArray good = (ui::LoadJpegResource(QStringLiteral(":/pictures/icon.jpg")), Resource(":/pictures/icon.jpg"));
    ASSERT_FALSE(good.isEmpty());
    EXPECT_TRUE(ui::DecodeJpeg({}).isNull());
    EXPECT_TRUE(ui::DecodeJpeg(QByteArray("not a picture at all")).isNull());
    EXPECT_TRUE(ui::DecodeJpeg(good.left(20)).isNull());  // header cut off
    QByteArray scrambled = good;
    for (qsizetype i = 2; i < 200 && i < scrambled.size(); i += 3) scrambled[i] = static_cast<char>(0xFF);
    (void)ui::DecodeJpeg(scrambled);  // anything but a crash
    // A picture cut short in its data still decodes to its size.
    EXPECT_EQ(ui::DecodeJpeg(good.left(good.size() / 2)).size(), QSize(66, 66));
    EXPECT_TRUE(ui::LoadJpegResource(QStringLiteral(":/pictures/none.jpg")).isNull());
}

}  // namespace
}  // namespace qvd::test
