// Set-file lines: the writer's text and the reader's commands and refusals.
#include "setfile/set_file_format.h"

#include <gtest/gtest.h>

#include <numeric>

namespace korvane {
namespace {

using Kind = SetFilePiece::Kind;

TEST(SetFileWriterTest, WritesTheParameterLinesInOrderThenEveryGain) {
  ControllerSettings s;
  s.FlagValue = 1;
  s.MinPressureRaw = 177;
  s.TrigsPerRev = 4;
  s.TrigsPerInj = 2;
  s.OneShotRaw = 3125;
  s.KillRpmRaw = 852;
  s.FuelScalerRaw = 100;
  s.CutRate = 20;
  s.CutTimeRaw = 114;
  s.InjInhibitRaw = 30;
  s.MapType = 0;
  std::array<std::uint8_t, 128> gains{};
  std::iota(gains.begin(), gains.end(), std::uint8_t{128});
  gains[127] = 255;

  const auto lines = setFileLines(s, gains);
  ASSERT_EQ(lines.size(), 139u);
  const std::vector<std::string> head(lines.begin(), lines.begin() + 12);
  EXPECT_EQ(head, (std::vector<std::string>{"FLG_VAL = 1\n", "MIN_PRES= 177\n", "TRG_REV = 4\n", "TRG_INJ = 2\n",
                                            "ONE_SHOT= 3125\n", "KILL_RPM= 852\n", "FUEL_MX = 100\n", "CUT_RATE= 20\n",
                                            "CUT_TIME= 114\n", "INH_TIME= 30\n", "MAP_TYPE= 0\n", "MAPM[000]=128\n"}));
  EXPECT_EQ(lines[16], "MAPM[005]=133\n");
  EXPECT_EQ(lines[138], "MAPM[127]=255\n");
}

TEST(SetFileWriterTest, ZeroIsWrittenAsOneDigitAndLargeValuesInFull) {
  ControllerSettings s;
  s.OneShotRaw = 65535;
  const auto lines = setFileLines(s, {});
  EXPECT_EQ(lines[0], "FLG_VAL = 0\n");
  EXPECT_EQ(lines[4], "ONE_SHOT= 65535\n");
  EXPECT_EQ(lines[11], "MAPM[000]=0\n");
}

TEST(SetFilePiecesTest, SplitsAtLineFeedsAndEvery23Characters) {
  EXPECT_EQ(splitSetFilePieces("A\nB\r\n\nC"), (std::vector<std::string>{"A\n", "B\r\n", "\n", "C"}));
  const std::string longLine(30, 'x');
  EXPECT_EQ(splitSetFilePieces(longLine + "\n"),
            (std::vector<std::string>{std::string(23, 'x'), std::string(7, 'x') + "\n"}));
  EXPECT_EQ(splitSetFilePieces(std::string(22, 'y') + "\n"), (std::vector<std::string>{std::string(22, 'y') + "\n"}));
  EXPECT_TRUE(splitSetFilePieces("").empty());
}

struct PieceCase {
  const char* text;
  Kind kind;
  char letter;
  int p1, p2, p3;
};

void PrintTo(const PieceCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class SetFileReaderTest : public ::testing::TestWithParam<PieceCase> {};

TEST_P(SetFileReaderTest, TurnsAPieceIntoItsCommand) {
  const PieceCase& c = GetParam();
  const SetFilePiece piece = parseSetFilePiece(1, c.text);
  EXPECT_FALSE(piece.problem.has_value()) << *piece.problem;
  EXPECT_EQ(piece.kind, c.kind);
  if (c.kind == Kind::None) return;
  EXPECT_EQ(piece.command.letter, c.letter);
  const Frame sent = makeFrame(piece.command);
  EXPECT_EQ(sent[3], c.p1);
  EXPECT_EQ(sent[4], c.p2);
  EXPECT_EQ(sent[5], c.p3);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SetFileReaderTest,
    ::testing::Values(PieceCase{"FLG_VAL = 1\n", Kind::Parameter, 'f', 1, 0, 0},
                      PieceCase{"FLG_VAL =1\n", Kind::Parameter, 'f', 1, 0, 0},  // no blank after "="
                      PieceCase{"FLG_VAL= 1\n", Kind::None, 0, 0, 0, 0},         // no blank before "=": no key
                      PieceCase{"KILL_RPM= 852\n", Kind::Parameter, 'i', 84, 3, 0},
                      PieceCase{"MIN_PRES= 361\r\n", Kind::Parameter, 'p', 105, 1, 0},
                      PieceCase{"FUEL_MX = 12.9\n", Kind::Parameter, 'm', 12, 0, 0},
                      PieceCase{"MAP_TYPE= 6\n", Kind::Parameter, 'v', 2, 0, 0},
                      PieceCase{"TRG_REV = abc\n", Kind::Parameter, 'k', 0, 0, 0},
                      PieceCase{"NUM_CYLS= 8\n", Kind::Parameter, 'k', 8, 0, 0},
                      PieceCase{"IGN_CYCS= 3\n", Kind::Parameter, 'j', 3, 0, 0},
                      PieceCase{"TRG_INJ =\t2\n", Kind::Parameter, 'j', 2, 0, 0},
                      PieceCase{"ONE_SHOT= 65535\n", Kind::Parameter, 'q', 255, 255, 0},
                      PieceCase{"CUT_RATE= 254\n", Kind::Parameter, 'z', 254, 0, 0},
                      PieceCase{"CUT_TIME= 0\n", Kind::Parameter, 't', 0, 0, 0},
                      PieceCase{"INH_TIME= 255\n", Kind::Parameter, 'u', 255, 0, 0},
                      PieceCase{"INH_TIME= -0.5\n", Kind::Parameter, 'u', 0, 0, 0},  // truncates to 0
                      PieceCase{"MAPM[005]=192\n", Kind::Gain, 'e', 5, 1, 192},
                      PieceCase{"MAPM[127]=255", Kind::Gain, 'e', 127, 1, 255},
                      PieceCase{"MAPM[000]=0\r\n", Kind::Gain, 'e', 0, 1, 0}, PieceCase{"\n", Kind::None, 0, 0, 0, 0},
                      PieceCase{"    \n", Kind::None, 0, 0, 0, 0}, PieceCase{"flg_val = 1\n", Kind::None, 0, 0, 0, 0},
                      PieceCase{"xxxxxxxxxxxxxxxxxxxxxxx", Kind::None, 0, 0, 0, 0},
                      PieceCase{"MAPM", Kind::None, 0, 0, 0, 0}));

TEST(SetFileReaderTest, RefusesValuesThatDoNotFitAndNamesTheLine) {
  for (const char* text : {"FLG_VAL = 256\n", "TRG_REV = 300\n", "MIN_PRES= 65536\n", "KILL_RPM= -1\n",
                           "MAP_TYPE= 256\n", "FUEL_MX = 1e99\n", "MAPM[5]=192\n", "MAPM[0005]=19\n", "MAPM[128]=1\n",
                           "MAPM[001]=256\n", "MAPM[001]=-3\n", "MAPM[001]\n"}) {
    const SetFilePiece piece = parseSetFilePiece(7, text);
    ASSERT_TRUE(piece.problem.has_value()) << text;
    const std::string message = setFileRefusal(piece);
    EXPECT_EQ(message.rfind("Line 7 of the set file, \"", 0), 0u) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << "the line end is not shown";
  }
}

TEST(SetFileRoundTripTest, EveryWrittenLineReadsBackAsItsOwnCommand) {
  ControllerSettings s;
  s.FlagValue = 1, s.MinPressureRaw = 1023, s.TrigsPerRev = 6, s.TrigsPerInj = 3, s.OneShotRaw = 2900;
  s.KillRpmRaw = 700, s.FuelScalerRaw = 40000, s.CutRate = 9, s.CutTimeRaw = 200, s.InjInhibitRaw = 17, s.MapType = 2;
  std::array<std::uint8_t, 128> gains{};
  for (int i = 0; i < 128; ++i) gains[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(255 - i);
  std::string file;
  for (const auto& line : setFileLines(s, gains)) file += line;

  std::string letters;
  int number = 0;
  for (const auto& text : splitSetFilePieces(file)) {
    const SetFilePiece piece = parseSetFilePiece(++number, text);
    ASSERT_FALSE(piece.problem.has_value()) << text;
    letters += piece.command.letter;
    if (piece.kind == Kind::Gain) {
      EXPECT_EQ(piece.command.value, gains[static_cast<std::size_t>(piece.command.cell)]);
    }
  }
  EXPECT_EQ(number, 139);
  EXPECT_EQ(letters, "fpkjqimztuv" + std::string(128, 'e'));
}

}  // namespace
}  // namespace korvane
