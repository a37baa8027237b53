#include "ui/Pictures.h"

#include <QFile>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace qvd::test {
namespace {

// The shipped pictures are checked where they are shown (Windows test).
TEST(Pictures, BrokenAndMissingOnesGiveNoPicture) {
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
