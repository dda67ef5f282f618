// The drawn pictures: each named control gets its own, the logo keeps the
// window's background around its drawing.
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QImage>

#include "qt_app.h"

namespace korvane {
namespace {

struct PictureCase {
  const char* field;
  bool hasPicture;
};

class FieldPictureTest : public ::testing::TestWithParam<PictureCase> {
 protected:
  FieldPictureTest() { testing::ensureQtApplication(); }
};

TEST_P(FieldPictureTest, NamedControlsGetTheirOwnPicture) {
  const QIcon icon = imageForField(GetParam().field, QSize(48, 48));
  EXPECT_EQ(!icon.isNull(), GetParam().hasPicture);
}

INSTANTIATE_TEST_SUITE_P(Controls, FieldPictureTest,
                         ::testing::Values(PictureCase{"Begin_Comm", true}, PictureCase{"Halt_Comm", true},
                                           PictureCase{"BitBtn2", true}, PictureCase{"Image1", true},
                                           PictureCase{"Fuel_mx", false}, PictureCase{"", false}));

int opaquePixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
  }
  return count;
}

TEST(PicturesTest, LogoIsDrawnOnATransparentGround) {
  testing::ensureQtApplication();
  const QImage logo = drawLogo(QSize(300, 90)).toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(logo.size(), QSize(300, 90));
  for (QPoint corner : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 89), QPoint(299, 89)}) {
    EXPECT_EQ(qAlpha(logo.pixel(corner)), 0) << corner.x() << "," << corner.y();
  }
  const int opaque = opaquePixels(logo);
  EXPECT_GT(opaque, 300 * 90 / 5);
  EXPECT_LT(opaque, 300 * 90 * 3 / 4);
}

}  // namespace
}  // namespace korvane
