// The two set-file transfers of the File menu, run by a started-up program
// over the in-memory line with the emulated controller behind it: what goes
// on the line, what lands on disk, what the user sees in stat and in message
// boxes, and the state the window and the port are left in.
#include "setfile/set_file_transfer.h"

#include <gtest/gtest.h>

#include <functional>

#include "comm/comm_control.h"
#include "link/command.h"
#include "support/line_fixture.h"
#include "support/tune_file.h"

namespace korvane {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::contentsOf;
using testing::entriesOf;
using testing::frame;
using testing::lettersOf;
using testing::ProgramOnLine;
using testing::TempDir;
using testing::tuneConfiguration;
using testing::tuneFile;
using testing::tuneGains;
using testing::writeFile;

constexpr const char* kNoData = "Controller did not respond with requested data";
constexpr const char* kNoPort = "A Comm port has not yet been specified, cannot begin communications";

// How long a read takes once the reply is waiting: it returns when the line
// has been quiet for the port's 5 ms interval.
constexpr long long kQuietMs = 5;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(text.substr(at, end - at));
  }
  return lines;
}

// What the user sees of a transfer while it runs: the text of stat each time
// it is repainted, and whether either button was showing at that moment.
class ProgressWatch : public FieldObserver {
 public:
  explicit ProgressWatch(TFrm_Mapping& w) : w_(w) { w_.model.setObserver(this); }
  ~ProgressWatch() override { w_.model.setObserver(nullptr); }

  void fieldChanged(Field&, Property) override {}
  void repaintNow(Field& field) override {
    if (onRepaint) onRepaint(field);
    if (&field != &w_.stat) return;
    texts.push_back(field.text());
    buttonsShownDuringProgress = buttonsShownDuringProgress || w_.Begin_Comm.visible() || w_.Halt_Comm.visible();
  }

  // The last text shown, empty when none was.
  std::string last() const { return texts.empty() ? std::string() : texts.back(); }

  std::vector<std::string> texts;
  bool buttonsShownDuringProgress = false;
  std::function<void(Field&)> onRepaint;  // lets a test act at a chosen moment

 private:
  TFrm_Mapping& w_;
};

// A started-up program with Com1 chosen, the emulator on its line, and a
// directory of its own for set files.
class TransferTest : public testing::LineFixture {
 protected:
  void expectButtonsBack() {
    EXPECT_TRUE(w().Begin_Comm.visible());
    EXPECT_TRUE(w().Halt_Comm.visible());
    EXPECT_TRUE(w().Begin_Comm.enabled());
    EXPECT_FALSE(w().Halt_Comm.enabled());
  }

  TempDir files;
  ProgressWatch watch{w()};
};

// ---------------------------------------------------------------- saving

class SaveTest : public TransferTest {
 protected:
  void SetUp() override {
    controller().setMemory({tuneConfiguration(), tuneGains()});
    target = files.path() / "tune.set";
  }

  void save(std::optional<fs::path> answer) {
    if (answer) desktop().saveAnswers.push_back(answer->string());
    GetDataFromController(program());
  }

  fs::path target;
};

TEST_F(SaveTest, WritesTheControllerExactlyToTheChosenFile) {
  save(target);
  EXPECT_TRUE(desktop().messages.empty()) << desktop().messageTexts().front();
  const std::string text = contentsOf(target);
  EXPECT_EQ(text, tuneFile().text);
  const auto lines = linesOf(text);
  ASSERT_EQ(lines.size(), 139u);
  EXPECT_EQ(lines[11], "MAPM[000]=255") << "line 12 holds cell 0";
  EXPECT_EQ(lines[138], "MAPM[127]=128") << "line 139 holds cell 127";
  EXPECT_EQ(entriesOf(files.path()), std::vector<std::string>{"tune.set"}) << "no temporary file is left";

  ASSERT_EQ(desktop().dialogs.size(), 1u);
  EXPECT_TRUE(desktop().dialogs[0].save);
  EXPECT_EQ(desktop().dialogs[0].initialName, "*.set");
  EXPECT_EQ(desktop().dialogs[0].defaultExtension, "SET");
}

TEST_F(SaveTest, AsksForTheConfigurationThenEveryCellInOrder) {
  save(target);
  const auto& written = line().written();
  ASSERT_EQ(lettersOf(line().writtenFrames()), "C" + std::string(128, 'E'));
  EXPECT_EQ(written[0].bytes, frame('C', 0, 0, 0));
  for (int i = 0; i < 128; ++i) EXPECT_EQ(written[i + 1].bytes, frame('E', i, 1, 32)) << "cell " << i;
}

TEST_F(SaveTest, LeavesTheControllerMonitoredWithTheButtonsBack) {
  save(target);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  EXPECT_TRUE(program().ControllerPort.IsOpen);
  EXPECT_FALSE(watch.buttonsShownDuringProgress);
  expectButtonsBack();
  EXPECT_EQ(w().Rate_Cut.text(), "9") << "the window shows what was read";
  EXPECT_EQ(w().GainCells[0]->text(), "1.99");
}

struct ProgressText {
  std::size_t at;
  const char* text;
};

TEST_F(SaveTest, ShowsItsProgressPerCellThenDone) {
  save(target);
  ASSERT_EQ(watch.texts.size(), 129u) << "one text per cell, then DONE";
  // Cell 8 stands at 6.25 %, which rounds away from zero.
  for (const ProgressText& t : {ProgressText{0, ".0 %"}, ProgressText{1, ".8 %"}, ProgressText{2, "1.6 %"},
                                ProgressText{8, "6.3 %"}, ProgressText{64, "50.0 %"}, ProgressText{127, "99.2 %"}}) {
    EXPECT_EQ(watch.texts[t.at], std::string("Uploading controller ") + t.text) << "cell " << t.at;
  }
  EXPECT_EQ(watch.last(), "Uploading controller DONE");
  EXPECT_EQ(w().stat.text(), "Uploading controller DONE");
}

TEST_F(SaveTest, TakesAConfigurationThatComesAfterTheExchangeGaveUp) {
  // Later than the 125 ms wait and the 105 ms of the exchange's own read;
  // the cells answer at once again as soon as the configuration is in.
  controller().faults().lateMs = 280;
  watch.onRepaint = [this](Field& field) {
    if (&field == &w().heartbeat) controller().faults().lateMs = 0;
  };
  save(target);
  EXPECT_TRUE(desktop().messages.empty()) << desktop().messageTexts().front();
  EXPECT_EQ(contentsOf(target), tuneFile().text);
}

TEST_F(SaveTest, AReplyForAnotherCellIsNotSavedInPlaceOfTheCellAskedFor) {
  // Cell 7 stays silent; a stray reply for cell 3 comes in its stead.
  controller().faults().deadCells = {7};
  watch.onRepaint = [this](Field& field) {
    if (&field == &w().stat && w().stat.text() == "Uploading controller 4.7 %") {
      line().arrive(line().clock().now() + 1, testing::reply('E', {3, 1, 99}));
    }
  };
  writeFile(target, "KEEP ME\n");
  save(target);
  EXPECT_EQ(desktop().messageTexts(), std::vector<std::string>{kNoData});
  EXPECT_EQ(contentsOf(target), "KEEP ME\n");
}

TEST_F(SaveTest, ChoosingAnExistingFileReplacesItsWholeContent) {
  writeFile(target, std::string(5000, 'x'));
  save(target);
  EXPECT_EQ(contentsOf(target), tuneFile().text);
}

TEST_F(SaveTest, CancelInTheDialogWritesNothing) {
  save(std::nullopt);
  EXPECT_EQ(desktop().dialogs.size(), 1u);
  EXPECT_TRUE(entriesOf(files.path()).empty());
  EXPECT_TRUE(desktop().messages.empty());
  expectButtonsBack();
}

// A controller that does not give everything: the save ends with its
// message, never asks for a file, and an existing file stays as it was.
struct SaveFault {
  const char* name;
  std::function<void(sim::Faults&)> set;
  std::string framesSent;
};

void PrintTo(const SaveFault& f, std::ostream* os) { *os << f.name; }

class SaveFromFaultyController : public SaveTest, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(SaveFromFaultyController, WritesNoFile) {
  GetParam().set(controller().faults());
  writeFile(target, "KEEP ME\n");
  save(target);
  ASSERT_EQ(desktop().messages.size(), 1u);
  EXPECT_EQ(desktop().messages[0].text, kNoData);
  EXPECT_EQ(desktop().messages[0].caption, "ERROR!");
  EXPECT_TRUE(desktop().dialogs.empty());
  EXPECT_EQ(contentsOf(target), "KEEP ME\n");
  EXPECT_EQ(entriesOf(files.path()), std::vector<std::string>{"tune.set"});
  EXPECT_EQ(lettersOf(line().writtenFrames()), GetParam().framesSent);
  expectButtonsBack();
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFromFaultyController,
                         ::testing::Values(SaveFault{"Silent", [](sim::Faults& f) { f.silent = true; }, "C"},
                                           // It stops at the cell that did not answer: nothing after it is asked.
                                           SaveFault{"DeadCell7", [](sim::Faults& f) { f.deadCells = {7}; },
                                                     "C" + std::string(8, 'E')}),
                         [](const auto& info) { return std::string(info.param.name); });

// Targets that cannot be written: the message names the file, and nothing
// is left behind beside it.
struct BadTarget {
  const char* name;
  fs::path relative;
};

void PrintTo(const BadTarget& t, std::ostream* os) { *os << t.name; }

class SaveToBadTarget : public SaveTest, public ::testing::WithParamInterface<BadTarget> {};

TEST_P(SaveToBadTarget, SaysTheFileCouldNotBeWrittenAndLeavesNothing) {
  fs::create_directory(files.path() / "folder.set");
  const fs::path bad = files.path() / GetParam().relative;
  save(bad);
  ASSERT_EQ(desktop().messages.size(), 1u);
  const auto& message = desktop().messages[0];
  EXPECT_EQ(message.caption, "ERROR!");
  EXPECT_NE(message.text.find("could not be written"), std::string::npos) << message.text;
  EXPECT_NE(message.text.find(bad.string()), std::string::npos) << message.text;
  EXPECT_EQ(entriesOf(files.path()), std::vector<std::string>{"folder.set"});
  EXPECT_TRUE(fs::is_empty(files.path() / "folder.set"));
  expectButtonsBack();
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveToBadTarget,
                         ::testing::Values(BadTarget{"MissingDirectory", "missing/tune.set"},
                                           BadTarget{"ExistingDirectory", "folder.set"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, WithNoPortSelectedSaysSoAndThatNothingCame) {
  program().SelectedPort = 0;
  save(target);
  ASSERT_EQ(desktop().messages.size(), 2u);
  EXPECT_EQ(desktop().messages[0].text, kNoPort);
  EXPECT_EQ(desktop().messages[0].caption, "ERROR");
  EXPECT_EQ(desktop().messages[1].text, kNoData);
  EXPECT_EQ(desktop().messages[1].caption, "ERROR!");
  EXPECT_TRUE(desktop().dialogs.empty());
  EXPECT_TRUE(line().written().empty());
  EXPECT_TRUE(entriesOf(files.path()).empty());
}

// ---------------------------------------------------------------- loading

class LoadTest : public TransferTest {
 protected:
  void SetUp() override {
    controller().fillGains(1);
    source = files.path() / "tune.set";
  }

  // Loads `text` from a file the open dialog answers with.
  void load(const std::string& text) {
    writeFile(source, text);
    loadAnswering(source);
  }

  void loadAnswering(std::optional<fs::path> answer) {
    if (answer) desktop().openAnswers.push_back(answer->string());
    startedMs = desktop().clock.now();
    Putdataincontroller1Click(program());
  }

  fs::path source;
  long long startedMs = 0;
};

TEST_F(LoadTest, AFileSavedFromOneControllerMakesAnotherIdentical) {
  ProgramOnLine first;
  first.line.controller().setMemory({tuneConfiguration(), tuneGains()});
  first.program.desktop.saveAnswers.push_back(source.string());
  GetDataFromController(*first.program);
  ASSERT_TRUE(first.program.desktop.messages.empty());
  ASSERT_NE(controller().memory(), first.line.controller().memory());

  loadAnswering(source);
  EXPECT_TRUE(desktop().messages.empty()) << desktop().messageTexts().front();
  EXPECT_EQ(controller().configuration(), tuneConfiguration());
  EXPECT_EQ(controller().memory().gains, tuneGains());
  // The echoes rewrite the window from what the controller now holds.
  EXPECT_EQ(w().GainCells[0]->text(), "1.99");
  EXPECT_EQ(w().GainCells[127]->text(), "1.00");
  EXPECT_EQ(w().Rate_Cut.text(), "9");
}

TEST_F(LoadTest, SendsTheParametersInFileOrderThenEveryGain) {
  load(tuneFile().text);
  ASSERT_EQ(lettersOf(line().writtenFrames()), "fpkjqimztuv" + std::string(128, 'e'));
  const auto frames = line().writtenFrames();
  EXPECT_EQ(frames[0], frame('f', 0, 0, 0));
  EXPECT_EQ(frames[1], frame('p', 0xFF, 0x03, 0)) << "1023, low byte first";
  EXPECT_EQ(frames[6], frame('m', 0x40, 0x9C, 0)) << "40000";
  for (int i = 0; i < 128; ++i) EXPECT_EQ(frames[11 + i], frame('e', i, 1, 255 - i)) << "cell " << i;
  EXPECT_EQ(line().waitingBytes(), 0u) << "every echo was read";
}

TEST_F(LoadTest, ShowsItsProgressAgainst140LinesWithTheButtonsHidden) {
  load(tuneFile().text);
  ASSERT_EQ(watch.texts.size(), 139u);
  EXPECT_EQ(watch.texts.front(), "Downloading controller .7 %");
  EXPECT_EQ(watch.last(), "Downloading controller 99.3 %");
  EXPECT_EQ(w().stat.text(), "Downloading controller 99.3 %") << "the last text stays";
  EXPECT_FALSE(watch.buttonsShownDuringProgress);
  expectButtonsBack();
}

TEST_F(LoadTest, LeavesThePortOpenAndIdleWithCommunicationStopped) {
  Begin_CommClick(program());
  ASSERT_EQ(w().height(), kExpandedHeight);
  load(tuneFile().text);
  EXPECT_EQ(program().CommState, CommState::Idle);
  EXPECT_TRUE(program().ControllerPort.IsOpen);
  EXPECT_FALSE(w().Gain_Table_Group.visible());
  EXPECT_EQ(w().height(), kCollapsedHeight);
  ASSERT_EQ(desktop().dialogs.size(), 1u);
  EXPECT_FALSE(desktop().dialogs[0].save);
  EXPECT_EQ(desktop().dialogs[0].initialName, "*.set");
  EXPECT_EQ(desktop().dialogs[0].defaultExtension, "SET");
}

// Whether or not each write comes back late (by the milliseconds of the
// parameter): the waits count from when each frame went out.
class LoadPace : public LoadTest, public ::testing::WithParamInterface<long long> {};

TEST_P(LoadPace, TakesTheParameterExchangesThenTheGainPacingInVirtualTime) {
  line().writeReturnsAfterMs = GetParam();
  load(tuneFile().text);
  const auto& written = line().written();
  ASSERT_EQ(written.size(), 139u);
  const long long parameterMs = kExchangeWaitMs + kQuietMs;
  const long long gainMs = 20 + kQuietMs;
  for (std::size_t k = 1; k < written.size(); ++k) {
    EXPECT_EQ(written[k].atMs - written[k - 1].atMs, k <= 11 ? parameterMs : gainMs) << "frame " << k;
  }
  EXPECT_EQ(desktop().clock.now() - written.front().atMs, 11 * parameterMs + 128 * gainMs);
  EXPECT_LT(desktop().clock.now() - startedMs, 5000) << "about 4 s in all";
}

INSTANTIATE_TEST_SUITE_P(WritesComingBack, LoadPace, ::testing::Values(0, 3));

TEST_F(LoadTest, CrLfLineEndsSendTheSameFramesAsLf) {
  const std::string lf = tuneFile().text;
  std::string crlf;
  for (const std::string& line : linesOf(lf)) crlf += line + "\r\n";
  load(crlf);
  const auto fromCrLf = line().writtenFrames();
  EXPECT_EQ(watch.last(), "Downloading controller 99.3 %");

  ProgramOnLine other;
  other.program.desktop.openAnswers.push_back((files.path() / "lf.set").string());
  writeFile(files.path() / "lf.set", lf);
  Putdataincontroller1Click(*other.program);
  EXPECT_EQ(fromCrLf, other.line.writtenFrames());
  EXPECT_EQ(fromCrLf.size(), 139u);
}

// Single lines and the frame each puts on the line, as the controller gets it.
struct LineFrame {
  const char* name;
  const char* text;
  Bytes frame;
};

void PrintTo(const LineFrame& l, std::ostream* os) { *os << l.name; }

class LoadOneLine : public LoadTest, public ::testing::WithParamInterface<LineFrame> {};

TEST_P(LoadOneLine, SendsItsFrame) {
  load(GetParam().text);
  EXPECT_EQ(line().writtenFrames(), std::vector<Bytes>{GetParam().frame});
  EXPECT_TRUE(desktop().messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LoadOneLine,
    ::testing::Values(LineFrame{"NumCylsAsTriggersPerRevolution", "NUM_CYLS= 8\n", frame('k', 8, 0, 0)},
                      LineFrame{"IgnCycsAsTriggersPerInjection", "IGN_CYCS= 3\n", frame('j', 3, 0, 0)},
                      LineFrame{"TrgRev", "TRG_REV = 6\n", frame('k', 6, 0, 0)},
                      LineFrame{"TrgInj", "TRG_INJ = 1\n", frame('j', 1, 0, 0)},
                      LineFrame{"MapTypeByItsRange", "MAP_TYPE= 6\n", frame('v', 2, 0, 0)},
                      LineFrame{"ScalerTruncated", "FUEL_MX = 12.9\r\n", frame('m', 12, 0, 0)},
                      LineFrame{"Gain", "MAPM[005]=192", frame('e', 5, 1, 192)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadTest, AParameterAfterGainLinesIsStillConfirmed) {
  w().Rate_Cut.setText("5");
  ASSERT_TRUE(w().Rate_Cut.marked());
  load("MAPM[000]=50\nMAPM[001]=60\nCUT_RATE= 77\n");
  EXPECT_TRUE(desktop().messages.empty());
  EXPECT_EQ(w().Rate_Cut.text(), "77");
  EXPECT_FALSE(w().Rate_Cut.marked());
  EXPECT_EQ(controller().configuration().cutRate, 77);
  EXPECT_EQ(controller().gain(1), 60);
}

TEST_F(LoadTest, LinesThatMatchNoKeyAreSkippedButCounted) {
  load("# my tune\nflg_val = 1\nCUT_RATE= 77\n\n");
  EXPECT_EQ(line().writtenFrames(), std::vector<Bytes>{frame('z', 77, 0, 0)});
  EXPECT_EQ(watch.last(), "Downloading controller 2.9 %") << "4 of 140 lines";
}

// Files with a line whose value cannot be sent: the file is refused before
// anything goes out, the first bad line is named, and the controller keeps
// what it had.
struct RefusedFile {
  const char* name;
  std::string text;
  const char* named;  // how the message begins
};

void PrintTo(const RefusedFile& r, std::ostream* os) { *os << r.name; }

class LoadRefusedFile : public LoadTest, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(LoadRefusedFile, SendsNothingAndNamesTheLine) {
  const sim::Memory before = controller().memory();
  w().stat.setText("before");
  load(GetParam().text);
  EXPECT_TRUE(line().written().empty());
  ASSERT_EQ(desktop().messages.size(), 1u);
  EXPECT_EQ(desktop().messages[0].caption, "ERROR!");
  EXPECT_EQ(desktop().messages[0].text.rfind(GetParam().named, 0), 0u) << desktop().messages[0].text;
  EXPECT_EQ(controller().memory(), before);
  EXPECT_EQ(w().stat.text(), "before");
  expectButtonsBack();
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadRefusedFile,
    ::testing::Values(
        RefusedFile{"RevLimiterTooLarge",
                    "FLG_VAL = 1\nMIN_PRES= 177\nTRG_REV = 4\nTRG_INJ = 2\nONE_SHOT= 3125\nKILL_RPM= 70000\n",
                    "Line 6 of the set file, \"KILL_RPM= 70000\""},
        RefusedFile{"OneDigitGainIndex", "MAPM[004]=10\nMAPM[5]=192\nMAPM[006]=10\n",
                    "Line 2 of the set file, \"MAPM[5]=192\""},
        // A line longer than a piece is still one line of the file.
        RefusedFile{"AfterALongLine", std::string(40, '#') + "\nFLG_VAL = 1\nKILL_RPM= 70000\n",
                    "Line 3 of the set file, \"KILL_RPM= 70000\""},
        RefusedFile{"FirstOfTwoBadLines", "TRG_REV = -1\r\nMAPM[200]=1\n", "Line 1 of the set file, \"TRG_REV = -1\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Loads that end before anything is sent. Each starts with communication
// running (when a port is chosen) and leaves it stopped.
struct NothingSent {
  const char* name;
  bool portSelected;
  std::function<std::optional<fs::path>(const fs::path& dir)> answer;
  std::vector<std::pair<std::string, std::string>> messages;
  bool portOpenAfter;
};

void PrintTo(const NothingSent& n, std::ostream* os) { *os << n.name; }

class LoadSendingNothing : public LoadTest, public ::testing::WithParamInterface<NothingSent> {};

TEST_P(LoadSendingNothing, LeavesTheControllerAndStatAlone) {
  const NothingSent& c = GetParam();
  writeFile(files.path() / "empty.set", "");
  writeFile(files.path() / "good.set", "CUT_RATE= 77\n");
  if (c.portSelected) {
    Begin_CommClick(program());
    ASSERT_TRUE(w().Gain_Table_Group.visible());
  } else {
    program().SelectedPort = 0;
  }
  w().stat.setText("before");
  const sim::Memory before = controller().memory();

  loadAnswering(c.answer(files.path()));
  EXPECT_TRUE(line().written().empty());
  EXPECT_EQ(controller().memory(), before);
  EXPECT_EQ(w().stat.text(), "before");
  std::vector<std::pair<std::string, std::string>> shown;
  for (const auto& m : desktop().messages) shown.emplace_back(m.text, m.caption);
  EXPECT_EQ(shown, c.messages);
  EXPECT_EQ(program().ControllerPort.IsOpen, c.portOpenAfter);
  EXPECT_FALSE(w().Gain_Table_Group.visible()) << "communication stays stopped";
  EXPECT_EQ(w().height(), kCollapsedHeight);
  expectButtonsBack();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadSendingNothing,
    ::testing::Values(
        NothingSent{"Cancelled", true, [](const fs::path&) { return std::nullopt; }, {}, false},
        NothingSent{"MissingFile",
                    true,
                    [](const fs::path& dir) { return dir / "absent.set"; },
                    {{"File does not exist", "ERROR!"}},
                    false},
        NothingSent{
            "ADirectory", true, [](const fs::path& dir) { return dir; }, {{"File does not exist", "ERROR!"}}, false},
        NothingSent{"EmptyFile", true, [](const fs::path& dir) { return dir / "empty.set"; }, {}, true},
        NothingSent{"NoPortSelected",
                    false,
                    [](const fs::path& dir) { return dir / "good.set"; },
                    {{kNoPort, "ERROR"}},
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

// A controller that does not echo: every command whose echo did not come is
// counted, and the count is the last thing the load says.
struct LoadFault {
  const char* name;
  std::function<void(sim::Faults&)> set;
  const char* count;
};

void PrintTo(const LoadFault& f, std::ostream* os) { *os << f.name; }

class LoadIntoFaultyController : public LoadTest, public ::testing::WithParamInterface<LoadFault> {};

TEST_P(LoadIntoFaultyController, SaysHowManyCommandsWereNotConfirmed) {
  GetParam().set(controller().faults());
  load(tuneFile().text);
  EXPECT_EQ(line().written().size(), 139u) << "the whole file is still sent";
  ASSERT_EQ(desktop().messages.size(), 1u);
  EXPECT_EQ(desktop().messages[0].caption, "ERROR!");
  EXPECT_EQ(desktop().messages[0].text.rfind(std::string(GetParam().count) + " command(s)", 0), 0u)
      << desktop().messages[0].text;
  EXPECT_EQ(watch.last(), "Downloading controller 99.3 %");
  expectButtonsBack();
}

INSTANTIATE_TEST_SUITE_P(Faults, LoadIntoFaultyController,
                         ::testing::Values(LoadFault{"Silent", [](sim::Faults& f) { f.silent = true; }, "139"},
                                           LoadFault{"DeadCell7", [](sim::Faults& f) { f.deadCells = {7}; }, "1"},
                                           // Each gain echo comes after its own read and is taken by the
                                           // next line's: no line is confirmed by another's echo.
                                           LoadFault{"LateEchoes", [](sim::Faults& f) { f.lateMs = 150; }, "128"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korvane
