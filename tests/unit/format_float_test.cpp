// FormatFloat and the text-to-number conversions.
#include "base/format_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/text_number.h"

namespace korvane {
namespace {

struct PictureCase {
  const char* picture;
  long double value;
  const char* expected;
};

void PrintTo(const PictureCase& c, std::ostream* os) {
  *os << '"' << c.picture << "\" with " << static_cast<double>(c.value);
}

class FormatFloatTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(FormatFloatTest, FormatsByPicture) {
  const PictureCase& c = GetParam();
  EXPECT_EQ(FormatFloat(c.picture, c.value), c.expected) << c.picture << " with " << static_cast<double>(c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, FormatFloatTest,
    ::testing::Values(
        // Gain cells: no digit before the point below 1, half away from zero.
        PictureCase{"#.00", 0.5L, ".50"}, PictureCase{"#.00", 0.125L, ".13"}, PictureCase{"#.00", 1.0L, "1.00"},
        PictureCase{"#.00", 0.0L, ".00"}, PictureCase{"#.00", 0.0078125L, ".01"},
        PictureCase{"#.00", 1.9921875L, "1.99"}, PictureCase{"#.00", 200.0L / 128, "1.56"},
        PictureCase{"#.00", 5.0L, "5.00"}, PictureCase{"#.00", 123.456L, "123.46"},
        // Literal text around the digits.
        PictureCase{"####0 RPM", 3233, "3233 RPM"}, PictureCase{"####0 RPM", 0, "0 RPM"},
        PictureCase{"MAPM[000]=", 5, "MAPM[005]="}, PictureCase{"MAPM[000]=", 127, "MAPM[127]="},
        PictureCase{"FLG_VAL = ##0\n", 1, "FLG_VAL = 1\n"},
        PictureCase{"ONE_SHOT= ####0\n", 65535, "ONE_SHOT= 65535\n"}, PictureCase{"##0\n", 0, "0\n"},
        // Live values and parameter texts.
        PictureCase{"##0.0", 137.6070381231672L, "137.6"}, PictureCase{"###.0", 0, ".0"},
        PictureCase{"###.0", 671.1372L, "671.1"}, PictureCase{"###.0 %", 99.21875L, "99.2 %"},
        PictureCase{"###.0 %", 0.78125L, ".8 %"}, PictureCase{"###.0 %", 0, ".0 %"},
        PictureCase{"#0.00", 10.24L, "10.24"}, PictureCase{"#0.00", 0.5L, "0.50"},
        PictureCase{"##.000", 0.512L, ".512"}, PictureCase{"#0.000", 0.512L, "0.512"},
        PictureCase{"##.000", 1.024L, "1.024"}, PictureCase{"#.000", 3.34L, "3.340"},
        // More digits than the picture has are all shown.
        PictureCase{"##0", 18750000, "18750000"}, PictureCase{"####0", 123456, "123456"},
        // Negative values keep their sign; a value that rounds to zero loses it.
        PictureCase{"##0.0", -12.34L, "-12.3"}, PictureCase{"#.00", -0.001L, ".00"},
        // Ties round away from zero on the exact binary value.
        PictureCase{"0", 2.5L, "3"}, PictureCase{"0", -2.5L, "-3"}, PictureCase{"0.0", 0.25L, "0.3"},
        PictureCase{"0.00", 1.005, "1.00"}));  // 1.005 as a double lies below the tie

TEST(FormatFloatTest, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(FormatFloat("#.00", 1.5L, ','), "1,50");
  EXPECT_EQ(FormatFloat("###.0 %", 99.21875L, ','), "99,2 %");
}

TEST(FieldNumberTest, AcceptsDecimalNumbersInTheUsersLocale) {
  EXPECT_EQ(parseFieldNumber("1.5", '.'), 1.5L);
  EXPECT_EQ(parseFieldNumber("  -2.25  ", '.'), -2.25L);
  EXPECT_EQ(parseFieldNumber("+3", '.'), 3.0L);
  EXPECT_EQ(parseFieldNumber(".50", '.'), 0.5L);
  EXPECT_EQ(parseFieldNumber("5.", '.'), 5.0L);
  EXPECT_EQ(parseFieldNumber("1e3", '.'), 1000.0L);
  EXPECT_EQ(parseFieldNumber("2,5", ','), 2.5L);
  EXPECT_EQ(parseFieldNumber("-1.5E-1", '.'), -0.15L);
}

TEST(FieldNumberTest, RefusesTextThatIsNotANumber) {
  for (const char* text : {"", "   ", "abc", "1.5x", "1,5", "-", ".", "1e", "1e+", "0x10", "nan", "inf", "1 2"}) {
    EXPECT_FALSE(parseFieldNumber(text, '.').has_value()) << '"' << text << '"';
  }
  EXPECT_FALSE(parseFieldNumber("1.5", ',').has_value());
}

TEST(FieldNumberTest, HugeExponentsGiveInfinityNotAFailure) {
  auto value = parseFieldNumber("1e99999", '.');
  ASSERT_TRUE(value.has_value());
  EXPECT_TRUE(std::isinf(*value));
}

TEST(FileNumberTest, AtofStopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(fileAtof(" 12.9\r\n"), 12.9);
  EXPECT_EQ(fileAtof("\t-3.5e2xyz"), -350.0);
  EXPECT_EQ(fileAtof("192"), 192.0);
  EXPECT_EQ(fileAtof("1e"), 1.0);
  EXPECT_EQ(fileAtof("abc"), 0.0);
  EXPECT_EQ(fileAtof(""), 0.0);
  EXPECT_EQ(fileAtof("nan"), 0.0);
  EXPECT_EQ(fileAtof("0x1F"), 0.0);
}

TEST(FileNumberTest, AtolReadsTheLeadingInteger) {
  EXPECT_EQ(fileAtol("2\n"), 2);
  EXPECT_EQ(fileAtol("  3abc"), 3);
  EXPECT_EQ(fileAtol("-7"), -7);
  EXPECT_EQ(fileAtol("abc"), 0);
  EXPECT_EQ(fileAtol(""), 0);
  EXPECT_EQ(fileAtol("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(fileAtol("-99999999999999999999"), std::numeric_limits<std::int32_t>::min());
}

TEST(FileNumberTest, TruncationSaturatesInsteadOfOverflowing) {
  EXPECT_EQ(truncateToInt64(12.9L), 12);
  EXPECT_EQ(truncateToInt64(-12.9L), -12);
  EXPECT_EQ(truncateToInt64(1e30L), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(truncateToInt64(std::nanl("")), 0);
}

}  // namespace
}  // namespace korvane
