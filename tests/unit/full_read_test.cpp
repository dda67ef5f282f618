// The full read after an answered identify poll: what is blanked, what is
// asked and in which order, how long it takes, and where it gives up.
#include <gtest/gtest.h>

#include <string>

#include "base/format_float.h"
#include "support/line_fixture.h"

namespace korvane {
namespace {

using testing::Bytes;
using testing::frame;
using testing::lettersOf;

constexpr const char* kNoResponse = "No response from the controller unit";

// A gain map where every cell differs from its neighbours, so a value shown
// in the wrong cell is seen.
std::uint8_t gainOf(int cell) { return static_cast<std::uint8_t>(20 + cell); }

std::string gainText(int cell) { return FormatFloat("#.00", gainOf(cell) / 128.0L); }

class FullReadTest : public testing::LineFixture {
 public:
  // Connected, the identify poll answered: the next tick reads everything.
  void SetUp() override {
    for (int i = 0; i < 128; ++i) controller().setGain(i, gainOf(i));
    Begin_CommClick(program());
    tick();
    ASSERT_EQ(program().CommState, CommState::ReadingAll);
    line().clearHistory();
  }

  std::vector<Field*> parameterFields() {
    auto fields = w().parameterFields();
    return {fields.begin(), fields.end()};
  }
  std::vector<Field*> radios() {
    return {&w().Pulse_Mode_0, &w().Pulse_Mode_1, &w().map_type_1, &w().map_type_2, &w().map_type_3};
  }

  // Every parameter field and the cells from `firstBlank` on are blank and
  // yellow, and no radio button is checked.
  void expectBlank(int firstBlankCell, bool parameters) {
    if (parameters) {
      for (Field* f : parameterFields()) {
        EXPECT_EQ(f->text(), "") << f->name();
        EXPECT_EQ(f->colour(), kYellow) << f->name();
      }
      for (Field* r : radios()) EXPECT_FALSE(r->checked()) << r->name();
    }
    for (int i = firstBlankCell; i < 128; ++i) {
      EXPECT_EQ(w().GainCells[i]->text(), "") << "cell " << i;
      EXPECT_EQ(w().GainCells[i]->colour(), kYellow) << "cell " << i;
    }
  }

  void expectCellsRead(int count) {
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(w().GainCells[i]->text(), gainText(i)) << "cell " << i;
      EXPECT_EQ(w().GainCells[i]->colour(), kWhite) << "cell " << i;
    }
  }

  static std::vector<Bytes> expectedFrames(int cells) {
    std::vector<Bytes> frames{frame('C')};
    for (int i = 0; i < cells; ++i) frames.push_back(frame('E', static_cast<std::uint8_t>(i), 1, 32));
    return frames;
  }
};

// Whether or not each write comes back late (by the milliseconds of the
// parameter): the waits count from when each frame went out.
class AnsweredFullRead : public FullReadTest, public ::testing::WithParamInterface<long long> {};

TEST_P(AnsweredFullRead, FillsEveryFieldAndCellInAbout4Seconds) {
  line().writeReturnsAfterMs = GetParam();
  const long long start = now();
  tick();
  EXPECT_EQ(line().writtenFrames(), expectedFrames(128));
  // The configuration exchange (125 ms and the read), then per cell 25 ms
  // and a read that returns 5 ms after the reply.
  EXPECT_EQ(now() - start, 130 + 128 * 30);
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  EXPECT_TRUE(desktop().messages.empty());
  for (Field* f : parameterFields()) {
    EXPECT_NE(f->text(), "") << f->name();
    EXPECT_EQ(f->colour(), kWhite) << f->name();
  }
  EXPECT_EQ(w().Fuel_mx.text(), "10.240");
  EXPECT_EQ(w().FS_RPM.text(), "6000");
  EXPECT_EQ(w().Fuel_b.text(), "");
  EXPECT_EQ(w().Fuel_b.colour(), kWhite);
  EXPECT_TRUE(w().map_type_1.checked());
  EXPECT_TRUE(w().Pulse_Mode_1.checked());
  expectCellsRead(128);
  // Choosing the range button was a change, so the next upload sends it.
  EXPECT_EQ(w().Label18.colour(), kYellow);

  line().clearHistory();
  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), "A");
}

INSTANTIATE_TEST_SUITE_P(WritesComingBack, AnsweredFullRead, ::testing::Values(0, 3));

// Sees the window at the moment the group box is redrawn.
class BlankedWindowProbe : public FieldObserver {
 public:
  explicit BlankedWindowProbe(FullReadTest& test) : test_(test) {}
  void fieldChanged(Field&, Property) override {}
  void repaintNow(Field& field) override {
    if (&field != &test_.w().Gain_Table_Group || seen) return;
    seen = true;
    framesSoFar = test_.line().written().size();
    test_.expectBlank(0, true);
  }

  bool seen = false;
  std::size_t framesSoFar = 0;

 private:
  FullReadTest& test_;
};

TEST_F(FullReadTest, BlankedWindowIsOnTheScreenBeforeTheConfigurationIsAsked) {
  BlankedWindowProbe probe(*this);
  w().model.setObserver(&probe);
  tick();
  w().model.setObserver(nullptr);
  EXPECT_TRUE(probe.seen);
  EXPECT_EQ(probe.framesSoFar, 0u);
}

TEST_F(FullReadTest, UnansweredConfigurationLeavesEverythingBlankAndTheNextTickTriesAgain) {
  tick();  // a window filled by an earlier read, which a late identify reply repeats
  program().CommState = CommState::ReadingAll;
  line().clearHistory();
  controller().faults().silent = true;
  tick();
  EXPECT_EQ(line().writtenFrames(), std::vector<Bytes>{frame('C')}) << "no cell is asked";
  EXPECT_EQ(desktop().messageTexts(), std::vector<std::string>{kNoResponse});
  EXPECT_EQ(desktop().messages[0].caption, "ERROR");
  EXPECT_EQ(program().CommState, CommState::ReadingAll);
  expectBlank(0, true);

  tick();
  EXPECT_EQ(lettersOf(line().writtenFrames()), "CC");
  EXPECT_EQ(desktop().messages.size(), 2u);

  controller().faults().silent = false;
  line().clearHistory();
  tick();
  EXPECT_EQ(line().writtenFrames(), expectedFrames(128));
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  expectCellsRead(128);
}

class DeadCellTest : public FullReadTest, public ::testing::WithParamInterface<int> {};

TEST_P(DeadCellTest, ReadStopsThereAndLiveDataFollows) {
  const int dead = GetParam();
  controller().faults().deadCells = {dead};
  tick();
  EXPECT_EQ(line().writtenFrames(), expectedFrames(dead + 1));
  EXPECT_EQ(desktop().messageTexts(), std::vector<std::string>{kNoResponse});
  EXPECT_EQ(program().CommState, CommState::Monitoring);
  for (Field* f : parameterFields()) EXPECT_EQ(f->colour(), kWhite) << f->name();
  expectCellsRead(dead);
  expectBlank(dead, false);

  line().clearHistory();
  tick(2);
  EXPECT_EQ(lettersOf(line().writtenFrames()), "AA") << "the read is not resumed";
}

INSTANTIATE_TEST_SUITE_P(Cells, DeadCellTest, ::testing::Values(0, 40, 127));

}  // namespace
}  // namespace korvane
