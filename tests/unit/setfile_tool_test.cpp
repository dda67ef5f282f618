// korvane-setfile: show against the window's own texts after a full read,
// diff's verdicts on files that differ only in their text or in what they
// send, check against the load's refusals, and the errors of each.
#include "cli/setfile_tool.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "comm/full_read.h"
#include "setfile/set_file_format.h"
#include "setfile/set_file_transfer.h"
#include "support/line_bytes.h"
#include "support/memory_line.h"
#include "support/scripted_line.h"
#include "support/tune_file.h"

namespace korvane {
namespace {

using testing::highByte;
using testing::lowByte;
using Gains = std::array<std::uint8_t, 128>;

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runSetFileTool(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> wordsOf(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// A typical controller: 1 bar sensor, 6000 RPM full scale.
ControllerSettings exampleSettings() {
  ControllerSettings s;
  s.FlagValue = 1, s.MinPressureRaw = 177, s.TrigsPerRev = 4, s.TrigsPerInj = 2, s.OneShotRaw = 3125;
  s.KillRpmRaw = 852, s.FuelScalerRaw = 100, s.CutRate = 20, s.CutTimeRaw = 114, s.InjInhibitRaw = 30, s.MapType = 0;
  return s;
}

Gains flatGains() {
  Gains gains;
  gains.fill(128);
  return gains;
}

// A set file as the program's own save writes it.
std::string savedFile(const ControllerSettings& s, const Gains& gains) {
  std::string text;
  for (const std::string& line : setFileLines(s, gains)) text += line;
  return text;
}

class SetFileToolTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::string& text) {
    const std::string path = (dir.path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  testing::TempDir dir;
};

// --- show ---

// What show printed, taken apart the way the window is laid out.
struct Shown {
  std::map<std::string, std::string> parameters;  // by the caption shown
  std::vector<std::string> mapLabels;             // top to bottom
  std::vector<std::vector<std::string>> rows;     // top row first, 16 cells each
  std::vector<std::string> rpmLabels;             // left to right
  std::vector<std::string> notes;
};

Shown parseShow(const std::string& output) {
  Shown shown;
  const std::vector<std::string> lines = linesOf(output);
  std::size_t at = 0;
  for (; at < lines.size() && !lines[at].empty(); ++at) {
    const std::size_t gap = lines[at].find("  ");
    shown.parameters[lines[at].substr(0, gap)] = lines[at].substr(lines[at].find_first_not_of(' ', gap));
  }
  at += 2;  // the blank line and the map's heading
  for (int boundary = 0; boundary < 17; ++boundary, ++at) {
    if (boundary % 2 == 0) {
      shown.mapLabels.push_back(wordsOf(lines[at]).front());
    } else {
      shown.rows.push_back(wordsOf(lines[at]));
    }
  }
  shown.rpmLabels = wordsOf(lines[at + 1]);  // after the line of ticks
  shown.rpmLabels.pop_back();                // "RPM"
  for (at += 2; at < lines.size(); ++at) {
    if (!lines[at].empty()) shown.notes.push_back(lines[at]);
  }
  return shown;
}

// The window after a full read of a controller holding `s` and `gains`: the
// replies come over the line, built byte by byte as the controller sends them.
struct WindowAfterFullRead {
  WindowAfterFullRead(const ControllerSettings& s, const Gains& gains) {
    p.desktop().messages.clear();  // start-up's, about comm.ini
    p.decode(testing::twentyByteReply('C', {{3, lowByte(s.InjInhibitRaw)},
                                            {5, lowByte(s.KillRpmRaw)},
                                            {6, highByte(s.KillRpmRaw)},
                                            {7, lowByte(s.FuelScalerRaw)},
                                            {8, highByte(s.FuelScalerRaw)},
                                            {9, lowByte(s.MinPressureRaw)},
                                            {10, highByte(s.MinPressureRaw)},
                                            {11, lowByte(s.FlagValue)},
                                            {12, lowByte(s.CutRate)},
                                            {13, lowByte(s.CutTimeRaw)},
                                            {14, lowByte(s.TrigsPerInj)},
                                            {16, lowByte(s.OneShotRaw)},
                                            {17, highByte(s.OneShotRaw)},
                                            {18, lowByte(s.MapType)},
                                            {19, lowByte(s.TrigsPerRev)}}));
    for (int i = 0; i < 128; ++i) p.decode(testing::reply('E', {lowByte(256 + i), highByte(256 + i), gains[i]}));
  }

  testing::ScriptedProgram p;
};

std::string checkedIn(const TFrm_Mapping& w, const Field& group) {
  for (const Field* field : w.model.fields()) {
    if (field->parent() == &group && field->checked()) return field->text();
  }
  return "no button checked";
}

// Every text show printed is the window's: fields, radio groups, both axes
// and every cell where the grid has it.
void expectShownAs(const Shown& shown, TFrm_Mapping& w) {
  for (const CaptionedField& captioned : w.parameterCaptions()) {
    EXPECT_EQ(shown.parameters.at(captioned.caption->text()), captioned.field->text()) << captioned.caption->text();
  }
  EXPECT_EQ(shown.parameters.at("Range"), checkedIn(w, w.GroupBox1));
  EXPECT_EQ(shown.parameters.at("Mode"), checkedIn(w, w.GroupBox2));
  EXPECT_EQ(shown.parameters.size(), 11u);
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(shown.mapLabels[8 - k], w.map_lbl[k]->text()) << "map_lbl_" << k;
    EXPECT_EQ(shown.rpmLabels[k], w.rpm_lbl[k]->text()) << "rpm_lbl_" << k;
  }
  for (int i = 0; i < 128; ++i) EXPECT_EQ(shown.rows[7 - i % 8].at(i / 8), w.GainCells[i]->text()) << "cell " << i;
}

struct Tune {
  const char* name;
  ControllerSettings settings;
};

void PrintTo(const Tune& tune, std::ostream* os) { *os << tune.name; }

ControllerSettings tune(std::function<void(ControllerSettings&)> edit) {
  ControllerSettings s = exampleSettings();
  edit(s);
  return s;
}

class ShowAsTheWindow : public SetFileToolTest, public ::testing::WithParamInterface<Tune> {};

TEST_P(ShowAsTheWindow, EveryTextIsTheWindowsAfterAFullRead) {
  const ControllerSettings& s = GetParam().settings;
  Gains gains;
  for (int i = 0; i < 128; ++i) gains[i] = static_cast<std::uint8_t>((i * 37 + s.OneShotRaw) % 256);
  const ToolRun r = run({"show", file("tune.set", savedFile(s, gains))});
  ASSERT_EQ(r.status, 0) << r.err;
  const Shown shown = parseShow(r.out);

  WindowAfterFullRead read(s, gains);
  expectShownAs(shown, read.p.window());
  std::vector<std::string> messages;
  for (const std::string& text : read.p.desktop().messageTexts()) messages.push_back("The window would show: " + text);
  EXPECT_EQ(shown.notes, messages);
}

INSTANTIATE_TEST_SUITE_P(
    Tunes, ShowAsTheWindow,
    ::testing::Values(Tune{"OneBarSixThousand", exampleSettings()},
                      Tune{"ThreeBarFullScaleCutDownToTens", tune([](auto& s) {
                             s.MapType = 2, s.OneShotRaw = 2900, s.KillRpmRaw = 1023, s.MinPressureRaw = 512;
                             s.FlagValue = 0, s.FuelScalerRaw = 65535, s.CutTimeRaw = 255, s.InjInhibitRaw = 255;
                           })},
                      Tune{"TwoBarAndNoPulseMode", tune([](auto& s) {
                             s.MapType = 1, s.FlagValue = 2, s.OneShotRaw = 65535, s.MinPressureRaw = 1023;
                             s.TrigsPerRev = 0, s.CutRate = 255, s.FuelScalerRaw = 5;
                           })},
                      Tune{"RangeThreeIsThreeBar", tune([](auto& s) { s.MapType = 3, s.OneShotRaw = 1; })},
                      Tune{"TachPeriodZero", tune([](auto& s) { s.OneShotRaw = 0, s.KillRpmRaw = 512; })}),
    [](const auto& info) { return std::string(info.param.name); });

// The whole road: a file saved from one emulated controller, loaded into
// another, which the window then reads back.
TEST_F(SetFileToolTest, ShowIsWhatTheWindowReadsBackOnceTheFileIsLoaded) {
  const std::string path = (dir.path() / "saved.set").string();
  testing::ProgramOnLine source;
  sim::Gains gains;
  for (int i = 0; i < 128; ++i) gains[i] = static_cast<std::uint8_t>(255 - 2 * i);
  source.line.controller().setMemory({testing::tuneConfiguration(), gains});
  source.program.desktop.saveAnswers.push_back(path);
  GetDataFromController(*source.program);
  ASSERT_TRUE(source.program.desktop.messages.empty()) << source.program.desktop.messageTexts().front();
  const ToolRun r = run({"show", path});
  ASSERT_EQ(r.status, 0) << r.err;
  const Shown shown = parseShow(r.out);

  testing::ProgramOnLine target;
  target.program.desktop.openAnswers.push_back(path);
  Putdataincontroller1Click(*target.program);
  ReadAllFromController(*target.program);
  EXPECT_EQ(shown.parameters.at("Range"), "3 bar");
  EXPECT_EQ(shown.parameters.at("Mode"), "Cont.");
  expectShownAs(shown, target.program.window());
}

TEST_F(SetFileToolTest, ShowRawGivesTheValuesTheLoadSends) {
  const ToolRun r = run({"show", "--raw", file("tune.set", "FUEL_MX = 12.9\nMAP_TYPE= 6\nMAPM[017]=134\n")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = linesOf(r.out);
  EXPECT_EQ(lines[0], "FUEL_MX   12");
  EXPECT_EQ(lines[9], "MAP_TYPE  2");
  EXPECT_EQ(lines[4], "ONE_SHOT  not in the file");
  const Shown shown = parseShow(r.out);
  EXPECT_EQ(shown.rows[6][2], "134");
  EXPECT_EQ(shown.rows[6][3], "?");
}

TEST_F(SetFileToolTest, ShowSaysWhatTheFileDoesNotFix) {
  const ToolRun r = run({"show", file("part.set", "KILL_RPM= 852\nMIN_PRES= 177\nMAP_TYPE= 1\n")});
  ASSERT_EQ(r.status, 0) << r.err;
  const Shown shown = parseShow(r.out);
  EXPECT_EQ(shown.parameters.at("Tach FS [RPM]"), "not in the file");
  EXPECT_EQ(shown.parameters.at("Rev Limiter [RPM]"), "unknown without ONE_SHOT");
  EXPECT_EQ(shown.parameters.at("Cut Fuel Below [KPa]"), "54.1");
  EXPECT_EQ(shown.mapLabels.front(), "265");
  EXPECT_EQ(shown.rpmLabels, std::vector<std::string>(9, "?"));
  EXPECT_EQ(shown.rows[0][0], "?");
  // The made-up tach period raises no message of its own.
  EXPECT_EQ(shown.notes, (std::vector<std::string>{"128 of the 128 gain cells are not in the file (?); the controller "
                                                   "keeps its own."}));
}

// --- diff ---

struct DiffCase {
  const char* name;
  std::function<std::string(std::string)> edit;  // of the saved file
  int status;
};

void PrintTo(const DiffCase& c, std::ostream* os) { *os << c.name; }

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

std::string withCrLf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

std::string reversedLines(const std::string& text) {
  std::string out;
  for (const std::string& line : linesOf(text)) out = line + "\n" + out;
  return out;
}

class DiffStatus : public SetFileToolTest, public ::testing::WithParamInterface<DiffCase> {};

TEST_P(DiffStatus, ComparesWhatALoadSends) {
  const std::string saved = savedFile(exampleSettings(), flatGains());
  const ToolRun r = run({"diff", file("a.set", saved), file("b.set", GetParam().edit(saved))});
  EXPECT_EQ(r.status, GetParam().status) << r.out << r.err;
  EXPECT_EQ(r.err.empty(), GetParam().status != 2) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DiffStatus,
    ::testing::Values(
        DiffCase{"Itself", [](std::string t) { return t; }, 0}, DiffCase{"CrLfLineEnds", withCrLf, 0},
        DiffCase{"KeysInAnotherOrder", reversedLines, 0},
        DiffCase{
            "OtherSpellingsOfTheTriggerCounts",
            [](std::string t) { return replaced(replaced(t, "TRG_REV =", "NUM_CYLS="), "TRG_INJ =", "IGN_CYCS="); }, 0},
        DiffCase{"RangeSentInItsLowBits", [](std::string t) { return replaced(t, "MAP_TYPE= 0", "MAP_TYPE= 4"); }, 0},
        DiffCase{"FractionTruncated", [](std::string t) { return replaced(t, "FUEL_MX = 100", "FUEL_MX = 100.9"); }, 0},
        DiffCase{"EarlierValueOverwritten", [](std::string t) { return "KILL_RPM= 700\n" + t; }, 0},
        DiffCase{"ValueOverwrittenLater", [](std::string t) { return t + "KILL_RPM= 700\n"; }, 1},
        DiffCase{"OneParameter", [](std::string t) { return replaced(t, "KILL_RPM= 852", "KILL_RPM= 887"); }, 1},
        DiffCase{"OneGain", [](std::string t) { return replaced(t, "MAPM[100]=128", "MAPM[100]=129"); }, 1},
        DiffCase{"GainLeftOut", [](std::string t) { return replaced(t, "MAPM[127]=128\n", ""); }, 1},
        DiffCase{"ParameterLeftOut", [](std::string t) { return replaced(t, "CUT_RATE= 20\n", ""); }, 1},
        DiffCase{"ParameterMisspelt", [](std::string t) { return replaced(t, "CUT_RATE= 20", "CUT_RATE = 20"); }, 1},
        DiffCase{"LineALoadRefuses", [](std::string t) { return replaced(t, "TRG_REV = 4", "TRG_REV = 300"); }, 2},
        DiffCase{"NoSetFile", [](std::string) { return std::string("CUT RATE 20\n"); }, 2},
        DiffCase{"Empty", [](std::string) { return std::string(); }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetFileToolTest, DiffNamesEachDifferenceInTheWindowsTextsAndRaw) {
  Gains gains = flatGains();
  const std::string a = file("a.set", savedFile(exampleSettings(), gains));
  gains[17] = 134;
  const std::string b = file("b.set", savedFile(tune([](auto& s) { s.KillRpmRaw = 887; }), gains));
  const ToolRun r = run({"diff", a, b});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(linesOf(r.out),
            (std::vector<std::string>{"Rev Limiter [RPM]  4997 → 5202  (KILL_RPM 852 → 887)",
                                      "Gain, RPM column 3 of 16, MAP row 2 of 8, 750 to 1125 RPM, 24 to 38 kPa  "
                                      "1.00 → 1.05  (MAPM[017] 128 → 134)",
                                      "2 differences (1 parameter, 1 gain cell)"}));
}

TEST_F(SetFileToolTest, DiffShowsARevLimiterMovedByTheTachPeriodWithoutCountingIt) {
  const std::string a = file("a.set", savedFile(exampleSettings(), flatGains()));
  const std::string b = file("b.set", savedFile(tune([](auto& s) { s.OneShotRaw = 2900; }), flatGains()));
  const ToolRun r = run({"diff", a, b});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(linesOf(r.out),
            (std::vector<std::string>{"Tach FS [RPM]  6000 → 6460  (ONE_SHOT 3125 → 2900)",
                                      "Rev Limiter [RPM]  4997 → 5380  (KILL_RPM 852 in both; worked out with "
                                      "ONE_SHOT)",
                                      "1 difference (1 parameter, 0 gain cells)"}));
}

// --- check ---

TEST_F(SetFileToolTest, CheckPassesASavedFile) {
  const std::string path = file("tune.set", savedFile(exampleSettings(), flatGains()));
  const ToolRun r = run({"check", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, path + ": a load sends the file whole: 11 of 11 parameters and 128 of 128 gain cells.\n");
}

TEST_F(SetFileToolTest, CheckNamesEveryLineTheLoadRefusesInTheLoadsWords) {
  const std::string path =
      file("bad.set", "FLG_VAL = 1\r\nTRG_REV = 300\r\nMAPM[5]=192\r\nMAPM[128]=1\r\nCUT_RATE = 20\r\n");
  const ToolRun r = run({"check", path});
  EXPECT_EQ(r.status, 1);
  const std::vector<std::string> lines = linesOf(r.out);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Line 2 of the set file, \"TRG_REV = 300\", cannot be sent: TRG_REV = takes 0 to 255.");
  EXPECT_TRUE(lines[1].starts_with("Line 3 of the set file, \"MAPM[5]=192\", cannot be sent: ")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("Line 4 of the set file, \"MAPM[128]=1\", cannot be sent: ")) << lines[2];
  EXPECT_EQ(lines[3], "Line 5, \"CUT_RATE = 20\", starts with no key; a load skips it.");
  EXPECT_EQ(lines[4], path + ": a load would refuse the file and send none of it (3 lines cannot be sent).");

  // The window's load refuses the same file for its first such line.
  testing::HeadlessProgram p;
  p.desktop.messages.clear();
  p.desktop.openAnswers.push_back(path);
  Putdataincontroller1Click(*p);
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].text,
            lines[0].substr(0, lines[0].size() - 1) + ". Nothing was sent to the controller.");
}

TEST_F(SetFileToolTest, CheckNotesWhatASentFileLeavesOutOrSaysTwice) {
  const std::string path = file("part.set",
                                "FLG_VAL= 1\nKILL_RPM= 800\n\nKILL_RPM= 852\nNUM_CYLS= 4\n"
                                "MAPM[000]=128\nMAPM[001]=128\nMAPM[005]=128\n");
  const ToolRun r = run({"check", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(
      linesOf(r.out),
      (std::vector<std::string>{
          "Line 1, \"FLG_VAL= 1\", starts with no key; a load skips it.",
          "KILL_RPM is set on 2 lines (2, 4); the controller keeps the last.",
          "Not in the file: FUEL_MX, TRG_INJ, CUT_RATE, ONE_SHOT, MIN_PRES, CUT_TIME, INH_TIME, MAP_TYPE, FLG_VAL; "
          "the controller keeps its own.",
          "Gain cells not in the file: 2-4, 6-127; the controller keeps its own.",
          path + ": a load sends the file whole: 2 of 11 parameters and 3 of 128 gain cells."}));
}

// --- what is no set file, and the command line ---

struct Unusable {
  const char* name;
  const char* contents;  // nullptr: there is no such file
  const char* error;
};

void PrintTo(const Unusable& c, std::ostream* os) { *os << c.name; }

class UnusableFile : public SetFileToolTest, public ::testing::WithParamInterface<Unusable> {};

TEST_P(UnusableFile, IsOneLineOnStandardErrorAndStatus2ForEveryCommand) {
  const Unusable& c = GetParam();
  const std::string path = c.contents ? file("x.set", c.contents) : (dir.path() / "none.set").string();
  const std::string good = file("good.set", savedFile(exampleSettings(), flatGains()));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"show", path}, {"show", "--raw", path}, {"check", path}, {"diff", good, path}}) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_EQ(r.out, "") << args[0];
    EXPECT_EQ(r.err, "korvane-setfile: " + path + ": " + c.error + "\n") << args[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Files, UnusableFile,
                         ::testing::Values(Unusable{"Missing", nullptr, "cannot be read: No such file or directory"},
                                           Unusable{"Empty", "",
                                                    "is not a set file: no line starts with a set-file key"},
                                           Unusable{"OtherText", "[Section]\nkey=value\n",
                                                    "is not a set file: no line starts with a set-file key"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetFileToolTest, ShowAndDiffRefuseAFileTheLoadWouldRefuse) {
  const std::string bad = file("bad.set", "KILL_RPM= 70000\n");
  const std::string good = file("good.set", savedFile(exampleSettings(), flatGains()));
  const std::string error = "korvane-setfile: " + bad +
                            ": Line 1 of the set file, \"KILL_RPM= 70000\", cannot be sent: KILL_RPM= takes 0 to "
                            "65535; a load would send none of the file\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"show", bad}, {"diff", bad, good}}) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, error);
  }
}

TEST(SetFileToolCommandLine, StatusOfEachKindOfCommandLine) {
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"--help"}, 0},
      {{"show", "--help"}, 0},
      {{}, 2},
      {{"frob"}, 2},
      {{"show"}, 2},
      {{"show", "a.set", "b"}, 2},
      {{"diff", "a.set"}, 2},
      {{"check", "--raw", "a"}, 2},
  };
  for (const auto& [args, status] : cases) {
    const ToolRun r = run(args);
    EXPECT_EQ(r.status, status) << ::testing::PrintToString(args);
    const std::string& said = status == 0 ? r.out : r.err;
    EXPECT_NE(said.find(status == 0 ? "Usage: korvane-setfile" : "Try 'korvane-setfile --help'."), std::string::npos)
        << said;
  }
}

}  // namespace
}  // namespace korvane
