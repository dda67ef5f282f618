// Field numbers to raw controller values, with the controller's own rounding.
#include "comm/upload_conversions.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct RawCase {
  const char* what;
  std::int32_t (*convert)(long double);
  long double x;
  std::int32_t raw;
};

void PrintTo(const RawCase& c, std::ostream* os) { *os << c.what << " " << static_cast<double>(c.x); }

class UploadConversionTest : public ::testing::TestWithParam<RawCase> {};

TEST_P(UploadConversionTest, GivesTheRawValue) {
  const RawCase& c = GetParam();
  EXPECT_EQ(c.convert(c.x), c.raw);
}

std::int32_t revLimiterAt6000(long double x) { return revLimiterRaw(x, 6000); }
std::int32_t pressure1Bar(long double x) { return pressureRaw(x, 10, 115); }
std::int32_t pressure2Bar(long double x) { return pressureRaw(x, 10, 255); }

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, UploadConversionTest,
    ::testing::Values(
        RawCase{"scaler", fuelScalerRaw, 10.240L, 100}, RawCase{"scaler", fuelScalerRaw, 1.000L, 9},
        RawCase{"scaler", fuelScalerRaw, 25, 244}, RawCase{"scaler", fuelScalerRaw, -0.05L, 0},
        RawCase{"scaler", fuelScalerRaw, -0.2L, -1}, RawCase{"scaler", fuelScalerRaw, 6710.8L, 65535},
        RawCase{"scaler", fuelScalerRaw, 6710.9L, 65536}, RawCase{"gain", gainRaw, 1.50L, 192},
        RawCase{"gain", gainRaw, 1.01L, 129}, RawCase{"gain", gainRaw, 2.00L, 256}, RawCase{"gain", gainRaw, 0.50L, 64},
        RawCase{"gain", gainRaw, -0.01L, -1}, RawCase{"integer", integerConversion, 2.5L, 2},
        RawCase{"integer", integerConversion, 3.5L, 4}, RawCase{"integer", integerConversion, 999.5L, 1000},
        RawCase{"integer", integerConversion, 999.4L, 999}, RawCase{"integer", integerConversion, -2.5L, -2},
        RawCase{"rev limiter", revLimiterAt6000, 5000, 852}, RawCase{"rev limiter", revLimiterAt6000, 7000, 1193},
        RawCase{"rev limiter", revLimiterAt6000, -5, 0}, RawCase{"pressure", pressure1Bar, 30, 177},
        RawCase{"pressure", pressure2Bar, 100, 361}, RawCase{"pressure", pressure1Bar, 5, 0},
        RawCase{"pressure", pressure1Bar, 500, 1023}, RawCase{"cut time", fuelCutTimeRaw, 1.5L, 114},
        RawCase{"cut time", fuelCutTimeRaw, 3.34L, 255}, RawCase{"cut time", fuelCutTimeRaw, 0, 1},
        RawCase{"cut time", fuelCutTimeRaw, 0.01L, 0}, RawCase{"cut time", fuelCutTimeRaw, 10, 255},
        RawCase{"cut time", fuelCutTimeRaw, -3, 1}, RawCase{"inhibit", injInhibitRaw, 100, 30},
        RawCase{"inhibit", injInhibitRaw, -1, 0}, RawCase{"inhibit", injInhibitRaw, 1000, 255},
        RawCase{"inhibit", injInhibitRaw, 855.64L, 255}));

TEST(UploadConversionTest, FullScalePeriodIsTheWholeNumberOf3Point2MicrosecondSteps) {
  EXPECT_EQ(oneShotRaw(6000), 3125);
  EXPECT_EQ(oneShotRaw(8000), 2343);
  EXPECT_EQ(oneShotRaw(1000), 18750);
  EXPECT_EQ(oneShotRaw(18750001), 0);
}

TEST(UploadConversionTest, NumbersBeyond32BitsAndTextsThatAreNotNumbersFailAlike) {
  EXPECT_THROW(integerConversion(3e9L), UploadConversionError);
  EXPECT_THROW(gainRaw(1e300L), UploadConversionError);
  EXPECT_THROW(revLimiterRaw(1e30L, 6000), UploadConversionError);
  EXPECT_THROW(injInhibitRaw(1e30L), UploadConversionError);
  EXPECT_EQ(fuelCutTimeRaw(1e30L), 255) << "clamped before it becomes an integer";
  EXPECT_THROW(uploadNumber("", '.'), UploadConversionError);
  EXPECT_THROW(uploadNumber("  ", '.'), UploadConversionError);
  EXPECT_THROW(uploadNumber("12a", '.'), UploadConversionError);
  EXPECT_EQ(uploadNumber(" 1.5 ", '.'), 1.5L);
  try {
    uploadNumber("x", '.');
  } catch (const UploadConversionError& e) {
    EXPECT_STREQ(e.what(), "Invalid variant type conversion");
  }
}

}  // namespace
}  // namespace korvane
