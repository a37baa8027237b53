#include "ui/Pictures.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

TEST(Pictures, ShippedPicturesDecodeBrokenOnesDoNot) {
    struct Case { const char* path; QSize size; };
    const Case shipped[] = {
        {":/pictures/icon.jpg", {66, 66}},
        {":/pictures/module_with_adapter.jpg", {411, 243}},
        {":/pictures/adapter_with_module.jpg", {411, 195}},
        {":/pictures/reset_board.jpg", {354, 210}},
        {":/pictures/jumpers_fitted.jpg", {338, 210}},
        {":/pictures/jumper_setting.jpg", {418, 210}},
    };
    for (const Case& c : shipped) EXPECT_EQ(ui::LoadPicture(QString::fromLatin1(c.path)).size(), c.size) << c.path;

    QFile icon(QStringLiteral(":/pictures/icon.jpg"));
    ASSERT_TRUE(icon.open(QIODevice::ReadOnly));
    QTemporaryFile broken;
    ASSERT_TRUE(broken.open());
    broken.write(icon.read(20));  // the start of the header, nothing more
    broken.close();
    EXPECT_TRUE(ui::LoadPicture(broken.fileName()).isNull());
    EXPECT_TRUE(ui::LoadPicture(QStringLiteral(":/pictures/none.jpg")).isNull());
}

}  // namespace
}  // namespace qvd::test
