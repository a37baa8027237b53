#include "ui/JpegImage.h"

#include <QFile>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(JpegImage, ShippedPicturesDecodeBrokenOnesDoNot) {
    struct Case { const char* path; int width, height; };
    for (Case c : {Case{":/pictures/icon.jpg", 66, 66},
                   Case{":/pictures/module_with_adapter.jpg", 411, 243},
                   Case{":/pictures/adapter_with_module.jpg", 411, 195},
                   Case{":/pictures/reset_board.jpg", 354, 210},
                   Case{":/pictures/jumpers_fitted.jpg", 338, 210},
                   Case{":/pictures/jumper_setting.jpg", 418, 210}}) {
        EXPECT_EQ(ui::LoadJpegResource(QString::fromLatin1(c.path)).size(), QSize(c.width, c.height)) << c.path;
    }
    EXPECT_TRUE(ui::LoadJpegResource(QStringLiteral(":/pictures/none.jpg")).isNull());

    // Broken data gives no picture, never a crash.
    QFile file(QStringLiteral(":/pictures/icon.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray good = file.readAll();
    for (const QByteArray& broken : {QByteArray(), QByteArray("not a picture at all"), good.left(20)})
        EXPECT_TRUE(ui::DecodeJpeg(broken).isNull()) << broken.size();
    QByteArray scrambled = good;
    for (qsizetype i = 2; i < 200 && i < scrambled.size(); i += 3) scrambled[i] = static_cast<char>(0xFF);
    (void)ui::DecodeJpeg(scrambled);  // anything but a crash
    // A picture cut short in its data still decodes to its size.
    EXPECT_EQ(ui::DecodeJpeg(good.left(good.size() / 2)).size(), QSize(66, 66));
}

}  // namespace
}  // namespace qvd::test
