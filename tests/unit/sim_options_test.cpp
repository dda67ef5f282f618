// korvane-sim's command line, its starting-memory file and the pacing of its
// output.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "sim/lib/options.h"
#include "sim/lib/paced_output.h"
#include "support/headless_program.h"

namespace korvane::sim {
namespace {

Options parse(std::initializer_list<std::string_view> args) {
  const std::vector<std::string_view> list(args);
  return parseOptions(list);
}

TEST(SimOptions, EveryOptionTakesEffect) {
  const Options o = parse({"--link",
                           "/tmp/x/Com1",
                           "--verbose",
                           "--revision=513",
                           "--param",
                           "TRG_REV=6",
                           "--param=one_shot=2900",
                           "--gains",
                           "128",
                           "--gain",
                           "5=200",
                           "--silent",
                           "--dead-cell",
                           "3",
                           "--dead-cell=9",
                           "--late",
                           "40",
                           "--split",
                           "7",
                           "--garbage",
                           "after",
                           "--junk",
                           "ff00A5",
                           "--seed",
                           "99",
                           "--drop-after",
                           "12",
                           "--flood-after=30",
                           "--engine",
                           "700,400,98"});
  EXPECT_EQ(o.link, std::filesystem::path("/tmp/x/Com1"));
  EXPECT_TRUE(o.verbose);
  EXPECT_EQ(o.memory.revision, 513);
  EXPECT_EQ(o.memory.configuration.trgRev, 6);
  EXPECT_EQ(o.memory.configuration.oneShot, 2900);
  EXPECT_EQ(o.memory.gains[4], 128);
  EXPECT_EQ(o.memory.gains[5], 200);
  EXPECT_TRUE(o.faults.silent);
  EXPECT_EQ(o.faults.deadCells, (std::set<int>{3, 9}));
  EXPECT_EQ(o.faults.lateMs, 40);
  EXPECT_EQ(o.faults.splitGapMs, 7);
  EXPECT_EQ(o.faults.garbage, Garbage::After);
  EXPECT_EQ(o.faults.junk, (Bytes{0xFF, 0x00, 0xA5}));
  EXPECT_EQ(o.junkSeed, 99u);
  EXPECT_EQ(o.faults.dropAfterFrames, 12);
  EXPECT_EQ(o.faults.floodAfterFrames, 30);
  EXPECT_EQ(o.heldEngine, (LiveData{.map = 700, .rpm = 400, .pulseWidth = 98}));
}

TEST(SimOptions, LaterOptionsOverrideEarlierOnes) {
  EXPECT_EQ(parse({"--gain", "5=200", "--gains", "7"}).memory.gains[5], 7);
  EXPECT_EQ(parse({"--gains", "7", "--gain", "5=200"}).memory.gains[5], 200);
}

TEST(SimOptions, EveryParameterCanBeSetByItsKey) {
  for (const Parameter& p : parameters()) {
    const std::string assignment = std::string(p.key) + "=" + std::to_string(maxValue(p));
    const Options o = parse({"--param", assignment});
    EXPECT_EQ(valueOf(o.memory.configuration, p), maxValue(p)) << p.key;
  }
  EXPECT_EQ(parse({"--param", "NUM_CYLS=8"}).memory.configuration.trgRev, 8);
  EXPECT_EQ(parse({"--param", "IGN_CYCS=3"}).memory.configuration.trgInj, 3);
}

class BadCommandLine : public ::testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(BadCommandLine, IsRefused) { EXPECT_THROW(parseOptions(GetParam()), UsageError); }

using Args = std::vector<std::string_view>;
INSTANTIATE_TEST_SUITE_P(Cases, BadCommandLine,
                         ::testing::Values(Args{"--frobnicate"}, Args{"--late"}, Args{"--silent=yes"},
                                           Args{"--late", "-1"}, Args{"--late", "12ms"}, Args{"--revision", "65536"},
                                           Args{"--param", "TRG_REV=256"}, Args{"--param", "FUEL_MX=65536"},
                                           Args{"--param", "NOPE=1"}, Args{"--param", "TRG_REV"},
                                           Args{"--gain", "128=1"}, Args{"--gain", "5=256"}, Args{"--gains", ""},
                                           Args{"--dead-cell", "128"}, Args{"--flood-after", "x"},
                                           Args{"--garbage", "sideways"}, Args{"--junk", "abc"}, Args{"--junk", "zz"},
                                           Args{"--config-file", "/nonexistent/korvane.set"}, Args{"stray"},
                                           Args{"--engine", "700,400"}, Args{"--engine", "700,400,98,1"},
                                           Args{"--engine", "1024,400,98"}, Args{"--engine", "700,,98"}));

// A bad value is named in the emulator's own words; what the command line
// parser finds wrong by itself, in its words.
TEST(SimOptions, SaysWhatIsWrongWithTheCommandLine) {
  const std::pair<Args, std::string> cases[] = {
      {{"--late", "12ms"}, "--late: expected a whole number from 0 to 60000, not '12ms'"},
      {{"--late=-1"}, "--late: expected a whole number from 0 to 60000, not '-1'"},
      {{"--gains", ""}, "--gains: expected a whole number from 0 to 255, not ''"},
      {{"--garbage", "sideways"}, "--garbage: expected before, after or instead, not 'sideways'"},
      {{"--param", "TRG_REV"}, "parameter: expected '=' in 'TRG_REV'"},
      {{"--junk", "zz"}, "--junk: 'zz' is not a hex byte"},
      {{"--frobnicate"}, "The following argument was not expected: --frobnicate"},
      {{"--late"}, "--late: 1 required MS missing"},
      {{"--silent=yes"}, "silent was given a disallowed flag override"},
  };
  for (const auto& [args, message] : cases) {
    try {
      parseOptions(args);
      ADD_FAILURE() << "accepted " << ::testing::PrintToString(args);
    } catch (const UsageError& e) {
      EXPECT_EQ(e.what(), message);
    }
  }
}

TEST(SimOptions, HelpListsEveryOptionWithItsValue) {
  const std::string help = usageText();
  for (const char* shown :
       {"--link PATH", "--verbose", "--revision N", "--param KEY=V", "--gains V", "--gain I=V", "--config-file PATH",
        "--silent", "--dead-cell I", "--late MS", "--split MS", "--garbage WHERE", "--junk HEX", "--seed N",
        "--drop-after N", "--flood-after N", "--help", "Usage: korvane-sim", "Exit status:"}) {
    EXPECT_NE(help.find(shown), std::string::npos) << shown;
  }
  EXPECT_TRUE(parse({"--verbose", "--help"}).help);
}

TEST(SimMemoryText, ReadsASavedSetFileWithCrLfLineEnds) {
  Memory m;
  applyMemoryText(m,
                  "FLG_VAL = 0\r\nMIN_PRES= 361\r\nTRG_REV = 6\r\nTRG_INJ = 3\r\nONE_SHOT= 2900\r\n"
                  "KILL_RPM= 1000\r\nFUEL_MX = 12\r\nCUT_RATE= 7\r\nCUT_TIME= 255\r\nINH_TIME= 200\r\n"
                  "MAP_TYPE= 2\r\nMAPM[000]=1\r\nMAPM[127]=255\r\n");
  Configuration expected{.inhTime = 200,
                         .killRpm = 1000,
                         .fuelMx = 12,
                         .minPres = 361,
                         .flgVal = 0,
                         .cutRate = 7,
                         .cutTime = 255,
                         .trgInj = 3,
                         .oneShot = 2900,
                         .mapType = 2,
                         .trgRev = 6};
  EXPECT_EQ(m.configuration, expected);
  EXPECT_EQ(m.gains[0], 1);
  EXPECT_EQ(m.gains[127], 255);
  EXPECT_EQ(m.gains[1], defaultGains()[1]);
}

TEST(SimMemoryText, SkipsCommentsAndBlankLinesAndTakesTheRevision) {
  Memory m;
  applyMemoryText(m, "# bench set-up\n\n   \nREVISION=20001\nMAPM[5]=9\n");
  EXPECT_EQ(m.revision, 20001);
  EXPECT_EQ(m.gains[5], 9);
}

TEST(SimMemoryText, NamesTheLineOfAnError) {
  Memory m;
  try {
    applyMemoryText(m, "TRG_REV = 4\nMAPM[200]=1\n");
    FAIL() << "no error";
  } catch (const UsageError& e) {
    EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << e.what();
  }
}

TEST(SimMemoryText, ConfigFileOptionLoadsTheFileInItsPlaceInTheOrder) {
  testing::TempDir dir;
  const auto path = (dir.path() / "bench.set").string();
  std::ofstream(path) << "TRG_REV = 8\nMAPM[010]=77\n";
  const Options o = parse({"--gains", "1", "--config-file", path, "--param", "TRG_INJ=5"});
  EXPECT_EQ(o.memory.configuration.trgRev, 8);
  EXPECT_EQ(o.memory.configuration.trgInj, 5);
  EXPECT_EQ(o.memory.gains[10], 77);
  EXPECT_EQ(o.memory.gains[11], 1);
}

// --- pacing ---

TEST(PacedOutput, BytesLeaveOneByteTimeApartFromTheirChunkTime) {
  PacedOutput out;
  out.add({10, {1, 2, 3}});
  EXPECT_EQ(out.nextDueUs(), 10'000);
  EXPECT_TRUE(out.due(9'999).empty());
  EXPECT_EQ(out.due(10'000), (Bytes{1}));
  EXPECT_EQ(out.due(10'000 + kByteTimeUs), (Bytes{1, 2}));
  EXPECT_EQ(out.due(10'000 + 2 * kByteTimeUs), (Bytes{1, 2, 3}));
}

TEST(PacedOutput, AChunkWaitsForTheLineAndALateChunkForItsTime) {
  PacedOutput out;
  out.add({0, {1, 2}});
  out.add({0, {3}});   // the line is still busy with byte 2
  out.add({50, {4}});  // long after the line is free
  EXPECT_EQ(out.due(kByteTimeUs), (Bytes{1, 2}));
  EXPECT_EQ(out.due(2 * kByteTimeUs), (Bytes{1, 2, 3}));
  out.consume(3);
  EXPECT_FALSE(out.empty());
  EXPECT_EQ(out.nextDueUs(), 50'000);
  EXPECT_EQ(out.due(50'000), (Bytes{4}));
}

TEST(PacedOutput, APartialWriteLosesNothing) {
  PacedOutput out;
  out.add({0, {1, 2, 3}});
  out.consume(1);
  EXPECT_EQ(out.due(1'000'000), (Bytes{2, 3}));
  out.consume(5);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace korvane::sim
