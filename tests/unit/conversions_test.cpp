// Raw controller values as the window shows them, and the full-scale RPM.
#include "link/conversions.h"

#include <gtest/gtest.h>

#include "support/headless_program.h"

namespace korvane {
namespace {

using testing::HeadlessProgram;

TEST(FullScaleRpmTest, RoundsToTheWholeRpmThenCutsDownToTens) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{2500, 7500}, {2900, 6460},  {3000, 6250},
                                                         {65535, 280}, {1, 18750000}, {572, 32780}};
  for (auto [oneShot, rpm] : cases) {
    EXPECT_EQ(fullScaleRpmOf(oneShot), rpm) << oneShot;
  }
  EXPECT_FALSE(fullScaleRpmOf(0).has_value());
}

struct TextCase {
  const char* what;
  std::string (*convert)(const Program&, std::int32_t);
  std::int32_t raw;
  const char* text;
};

std::string fullScalerText(const Program& p, std::int32_t raw) {
  return fuelScalerText(p, raw, kFuelScalerPictureFull);
}
std::string echoScalerText(const Program& p, std::int32_t raw) {
  return fuelScalerText(p, raw, kFuelScalerPictureEcho);
}

TEST(ConversionTextTest, RawValuesShowInTheirDisplayUnits) {
  HeadlessProgram p;
  p->ControllerSettings.MapSpanKpa = 255;
  p->ControllerSettings.MapOffsetKpa = 10;
  const TextCase cases[] = {
      {"inhibit", inhibitTimeText, 200, "671.1"},    {"inhibit", inhibitTimeText, 0, ".0"},
      {"inhibit", inhibitTimeText, 255, "855.6"},    {"scaler", fullScalerText, 5, ".512"},
      {"scaler", fullScalerText, 10, "1.024"},       {"scaler", echoScalerText, 5, "0.512"},
      {"scaler", fullScalerText, 65535, "6710.784"}, {"cut time", cutTimeText, 255, "3.340"},
      {"cut time", cutTimeText, 100, "1.310"},       {"cut time", cutTimeText, 0, ".000"},
      {"pressure", minPressureText, 512, "137.6"},   {"pressure", minPressureText, 0, "10.0"},
      {"pressure", minPressureText, 1023, "265.0"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(c.convert(*p, c.raw), c.text) << c.what << " " << c.raw;
  }
}

TEST(ConversionTextTest, FieldTextsUseTheUsersDecimalSeparator) {
  HeadlessProgram p;
  p->decimalSeparator = ',';
  EXPECT_EQ(inhibitTimeText(*p, 200), "671,1");
  EXPECT_EQ(fuelScalerText(*p, 5, kFuelScalerPictureEcho), "0,512");
}

TEST(ConversionTextTest, RevLimiterIsAShareOfTheFullScale) {
  HeadlessProgram p;
  ControllerSettings& s = p->ControllerSettings;
  const struct {
    std::int32_t kill, fullScale;
    const char* text;
  } cases[] = {{1023, 6460, "6460"},
               {512, 6460, "3233"},
               {0, 6460, "0"},
               {1023, 18750000, "18750000"},
               {65535, 18750000, "1201154692"}};
  for (const auto& c : cases) {
    s.KillRpmRaw = c.kill;
    s.FullScaleRpm = c.fullScale;
    EXPECT_EQ(revLimiterText(*p), c.text) << c.kill << " of " << c.fullScale;
  }
}

TEST(MapRangeTest, BitsZeroAndOneChooseTheSensor) {
  const std::pair<std::int32_t, MapRange> cases[] = {{0, {115, 10}}, {1, {255, 10}},    {2, {330, 14}},
                                                     {3, {330, 14}}, {0x41, {255, 10}}, {0xFE, {330, 14}}};
  for (auto [mapType, range] : cases) {
    EXPECT_EQ(mapRangeOf(mapType).spanKpa, range.spanKpa) << mapType;
    EXPECT_EQ(mapRangeOf(mapType).offsetKpa, range.offsetKpa) << mapType;
  }
}

}  // namespace
}  // namespace korvane
