// Inputs the fuzz targets found to be mishandled, kept so the faults stay
// fixed: pictures with more decimal places than a fixed-size expansion held,
// and field numbers beyond the range of long double that went the wrong way.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "base/format_float.h"
#include "base/text_number.h"

namespace korvane {
namespace {

std::string places(char placeholder, int count) { return std::string(static_cast<std::size_t>(count), placeholder); }

struct LongPictureCase {
  const char* name;
  std::string picture;
  long double value;
  std::string expected;
};

void PrintTo(const LongPictureCase& c, std::ostream* os) { *os << c.name; }

class LongPictureTest : public ::testing::TestWithParam<LongPictureCase> {};

TEST_P(LongPictureTest, ShowsTheExactExpansionToEveryPlace) {
  EXPECT_EQ(FormatFloat(GetParam().picture, GetParam().value), GetParam().expected);
}

// 2^-100 ends exactly at its 100th decimal place, 0.1 as a long double at its 67th.
const std::string kTwoToMinus100 =
    "0000000000000000000000000000007888609052210118054117285652827862296732064351090230047702789306640625";
const std::string kTenthAsExtended = "1000000000000000000013552527156068805425093160010874271392822265625";

INSTANTIATE_TEST_SUITE_P(
    FoundByFuzzing, LongPictureTest,
    ::testing::Values(
        LongPictureCase{"AllHundredPlaces", "0." + places('0', 100), std::ldexp(1.0L, -100), "0." + kTwoToMinus100},
        LongPictureCase{"TieAtTheHundredthPlaceRoundsAway", "0." + places('0', 99), std::ldexp(1.0L, -100),
                        "0." + kTwoToMinus100.substr(0, 98) + "3"},
        LongPictureCase{"OptionalPlacesEndWithTheExpansion", "#." + places('#', 90), 0.1L, "." + kTenthAsExtended},
        LongPictureCase{"RequiredPlacesArePaddedWithZeros", "0." + places('0', 90), 0.5L, "0.5" + places('0', 89)},
        LongPictureCase{"NegativeTinyValueKeepsItsSign", "#." + places('#', 100), -std::ldexp(1.0L, -100),
                        "-." + kTwoToMinus100}),
    [](const auto& info) { return std::string(info.param.name); });

struct FarNumberCase {
  const char* name;
  std::string text;
  long double expected;  // an infinity or a zero, with its sign
};

void PrintTo(const FarNumberCase& c, std::ostream* os) { *os << c.name; }

class FarNumberTest : public ::testing::TestWithParam<FarNumberCase> {};

// Whether a number beyond the range is too large or too small depends on
// where its first significant digit stands, not on a minus in the exponent.
TEST_P(FarNumberTest, GoesTheWayItsMagnitudeLies) {
  const auto value = parseFieldNumber(GetParam().text, '.');
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, GetParam().expected);
  EXPECT_EQ(std::signbit(*value), std::signbit(GetParam().expected));
}

constexpr long double kInfinity = std::numeric_limits<long double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    FoundByFuzzing, FarNumberTest,
    ::testing::Values(FarNumberCase{"ManyDigitsWithANegativeExponent", "1" + places('0', 5000) + "e-3", kInfinity},
                      FarNumberCase{"ManyZerosAfterThePoint", "0." + places('0', 5000) + "1", 0.0L},
                      FarNumberCase{"NegativeAndLarge", "-" + places('0', 300) + "1" + places('0', 5000) + ".5e-60",
                                    -kInfinity},
                      FarNumberCase{"NegativeAndSmall", "-0." + places('0', 4000) + "1e-1000", -0.0L},
                      FarNumberCase{"SmallMantissaLargeExponent", "0.0001e5000", kInfinity},
                      FarNumberCase{"LargeMantissaSmallExponent", "100000e-5000", 0.0L},
                      FarNumberCase{"PlainLargeExponent", "1e99999", kInfinity},
                      FarNumberCase{"PlainSmallExponent", "1e-99999", 0.0L}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FarNumberTest, SetFileNumbersGoTheSameWay) {
  EXPECT_EQ(fileAtof("1" + places('0', 5000) + "e-3"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(fileAtof("0." + places('0', 5000) + "1"), 0.0);
}

}  // namespace
}  // namespace korvane
