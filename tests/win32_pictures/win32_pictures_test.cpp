// The pictures and the icon as the Win32 binding gets them from the
// program's resources: each at the size it is shown, transparent around
// the drawing, with the colours where the drawing puts them.
#include "win32/pictures/win32_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

namespace korvane {
namespace {

struct Pixel {
  int red, green, blue, alpha;
};

enum class Looks { Clear, White, Red, Green, Blue, Dark, Light };

bool looks(const Pixel& p, Looks expected) {
  const bool opaque = p.alpha == 255;
  switch (expected) {
    case Looks::Clear:
      return p.alpha == 0;
    case Looks::White:
      return opaque && std::min({p.red, p.green, p.blue}) > 230;
    case Looks::Red:
      return opaque && p.red > 150 && p.green < 100 && p.blue < 100;
    case Looks::Green:
      return opaque && p.green > 100 && p.green > p.red + 30 && p.green > p.blue + 30;
    case Looks::Blue:
      return opaque && p.blue > 150 && p.blue > p.red + 60;
    case Looks::Dark:
      return opaque && std::max({p.red, p.green, p.blue}) < 80;
    case Looks::Light:
      return opaque && std::min({p.red, p.green, p.blue}) > 120;
  }
  return false;
}

// The pixels of a 32-bit bitmap, top row first, as blue, green, red, alpha.
class Pixels {
 public:
  explicit Pixels(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    bytes_.resize(static_cast<std::size_t>(width * height * 4));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, bytes_.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  }
  Pixel at(int x, int y) const {
    const unsigned char* p = &bytes_[static_cast<std::size_t>((y * width + x) * 4)];
    return {p[2], p[1], p[0], p[3]};
  }
  int width = 0;
  int height = 0;

 private:
  std::vector<unsigned char> bytes_;
};

struct Probe {
  int x, y;
  Looks expected;
};

struct PictureCase {
  const char* field;
  int width, height;
  std::vector<Probe> probes;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.field; }

class FieldPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FieldPictureTest, LoadsAtItsSizeWithTheDrawingInPlace) {
  const PictureCase& c = GetParam();
  HBITMAP bitmap = loadFieldPicture(c.field, c.width, c.height);
  ASSERT_NE(bitmap, nullptr);
  const Pixels pixels(bitmap);
  EXPECT_EQ(pixels.width, c.width);
  EXPECT_EQ(pixels.height, c.height);
  for (const Probe& probe : c.probes) {
    const Pixel p = pixels.at(probe.x, probe.y);
    EXPECT_TRUE(looks(p, probe.expected)) << c.field << " at " << probe.x << "," << probe.y << ": " << p.red << " "
                                          << p.green << " " << p.blue << " alpha " << p.alpha;
  }
  DeleteObject(bitmap);
}

// AlphaBlend takes colours already multiplied by their alpha; a colour
// above its alpha would draw a light fringe around the drawing.
TEST_P(FieldPictureTest, ColoursArePremultiplied) {
  const PictureCase& c = GetParam();
  HBITMAP bitmap = loadFieldPicture(c.field, c.width, c.height);
  ASSERT_NE(bitmap, nullptr);
  const Pixels pixels(bitmap);
  int above = 0;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = 0; x < pixels.width; ++x) {
      const Pixel p = pixels.at(x, y);
      above += std::max({p.red, p.green, p.blue}) > p.alpha ? 1 : 0;
    }
  }
  EXPECT_EQ(above, 0) << c.field;
  DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldPictureTest,
    ::testing::Values(
        PictureCase{"Begin_Comm",
                    48,
                    48,
                    {{0, 0, Looks::Clear}, {47, 47, Looks::Clear}, {24, 24, Looks::White}, {10, 24, Looks::Green}}},
        PictureCase{"Halt_Comm",
                    48,
                    48,
                    {{0, 0, Looks::Clear}, {47, 47, Looks::Clear}, {24, 24, Looks::White}, {24, 9, Looks::Red}}},
        PictureCase{"BitBtn2",
                    48,
                    48,
                    {{0, 0, Looks::Clear}, {47, 47, Looks::Clear}, {24, 6, Looks::Blue}, {24, 36, Looks::Dark}}},
        PictureCase{"Image1",
                    300,
                    90,
                    {{0, 0, Looks::Clear}, {299, 89, Looks::Clear}, {41, 62, Looks::Dark}, {41, 45, Looks::Light}}}),
    [](const auto& info) { return std::string(info.param.field); });

// A disabled button's image is greyed: drawn where the image is, in no
// colour of its own.
class DisabledPictureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DisabledPictureTest, IsTheImageGreyed) {
  HBITMAP normal = loadFieldPicture(GetParam(), 48, 48);
  HBITMAP disabled = loadDisabledFieldPicture(GetParam(), 48, 48);
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(disabled, nullptr);
  const Pixels image(normal);
  const Pixels greyed(disabled);
  ASSERT_EQ(greyed.width, 48);
  ASSERT_EQ(greyed.height, 48);
  int coloured = 0;
  int covered = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 48; ++x) {
      const Pixel p = greyed.at(x, y);
      coloured += std::max({p.red, p.green, p.blue}) - std::min({p.red, p.green, p.blue}) > 8 ? 1 : 0;
      covered += (p.alpha > 0) == (image.at(x, y).alpha > 0) ? 1 : 0;
    }
  }
  EXPECT_EQ(coloured, 0) << GetParam();
  EXPECT_EQ(covered, 48 * 48) << GetParam();
  DeleteObject(normal);
  DeleteObject(disabled);
}

INSTANTIATE_TEST_SUITE_P(Buttons, DisabledPictureTest, ::testing::Values("Begin_Comm", "Halt_Comm", "BitBtn2"));

TEST(DisabledPictureTest, NoneForAPictureField) { EXPECT_EQ(loadDisabledFieldPicture("Image1", 300, 90), nullptr); }

struct NoPictureCase {
  const char* field;
  int width, height;
};

class NoFieldPictureTest : public ::testing::TestWithParam<NoPictureCase> {};

TEST_P(NoFieldPictureTest, IsNull) {
  const NoPictureCase& c = GetParam();
  EXPECT_EQ(loadFieldPicture(c.field, c.width, c.height), nullptr) << c.field << " " << c.width << "x" << c.height;
}

// Fields without a picture, and pictures asked for at a size they are not
// shown at (an image button's own size rather than its image's).
INSTANTIATE_TEST_SUITE_P(Fields, NoFieldPictureTest,
                         ::testing::Values(NoPictureCase{"Fuel_mx", 57, 24}, NoPictureCase{"", 48, 48},
                                           NoPictureCase{"Begin_Comm", 75, 75}, NoPictureCase{"Image1", 48, 48}));

// Drawn over the face of the button or the window, the picture keeps the
// face where it is clear and covers it where it is drawn.
TEST(FieldPictureBlendTest, BlendsOverTheFaceItSitsOn) {
  HBITMAP picture = loadFieldPicture("Halt_Comm", 48, 48);
  ASSERT_NE(picture, nullptr);
  HDC screen = GetDC(nullptr);
  HDC target = CreateCompatibleDC(screen);
  HDC source = CreateCompatibleDC(screen);
  HBITMAP face = CreateCompatibleBitmap(screen, 48, 48);
  HGDIOBJ oldTarget = SelectObject(target, face);
  HGDIOBJ oldSource = SelectObject(source, picture);
  HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
  const RECT all{0, 0, 48, 48};
  FillRect(target, &all, brush);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_TRUE(AlphaBlend(target, 0, 0, 48, 48, source, 0, 0, 48, 48, blend));
  const COLORREF corner = GetPixel(target, 0, 0);
  const COLORREF centre = GetPixel(target, 24, 24);
  const COLORREF sign = GetPixel(target, 24, 9);
  SelectObject(source, oldSource);
  SelectObject(target, oldTarget);
  DeleteObject(brush);
  DeleteObject(face);
  DeleteDC(source);
  DeleteDC(target);
  ReleaseDC(nullptr, screen);
  DeleteObject(picture);
  EXPECT_EQ(corner, RGB(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(centre, RGB(0xFF, 0xFF, 0xFF));
  EXPECT_GT(GetRValue(sign), 150);
  EXPECT_LT(GetGValue(sign), 100);
}

class WindowIconTest : public ::testing::TestWithParam<int> {};

TEST_P(WindowIconTest, LoadsAtItsSizeClearAroundTheDial) {
  const int size = GetParam();
  HICON icon = loadWindowIcon(size);
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  {
    const Pixels pixels(info.hbmColor);
    EXPECT_EQ(pixels.width, size);
    EXPECT_EQ(pixels.height, size);
    EXPECT_TRUE(looks(pixels.at(0, 0), Looks::Clear));
    EXPECT_TRUE(looks(pixels.at(size - 1, size - 1), Looks::Clear));
    // The hub of the needle.
    EXPECT_TRUE(looks(pixels.at(size / 2, size / 2), Looks::Light)) << size;
    // The dial's face below the hub, where no needle or tick is.
    EXPECT_TRUE(looks(pixels.at(size / 2, size * 3 / 4), Looks::Dark)) << size;
  }
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowIconTest, ::testing::Values(16, 24, 32, 48, 256));

}  // namespace
}  // namespace korvane
