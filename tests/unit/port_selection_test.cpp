// The port chosen in the Port menu and remembered in comm.ini.
#include "app/port_selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "app/startup.h"
#include "support/scripted_line.h"

namespace korvane {
namespace {

using testing::contentsOf;
using testing::HeadlessProgram;
using testing::writeFile;

constexpr const char* kNotSelected = "A Comm port has not yet been selected, select one before starting";

// The port whose menu item is checked, 0 when none is; -1 when several are.
int checkedPort(TFrm_Mapping& w) {
  int port = 0;
  const Field* items[] = {&w.COM11, &w.COM21, &w.COM31, &w.COM41};
  for (int n = 1; n <= 4; ++n) {
    if (items[n - 1]->checked()) port = port == 0 ? n : -1;
  }
  return port;
}

struct CommIniCase {
  const char* name;
  std::optional<std::string> content;  // none: no comm.ini at all
  std::int32_t port;
  int checked;
  bool message;
};

class CommIniStartUpTest : public ::testing::TestWithParam<CommIniCase> {};

TEST_P(CommIniStartUpTest, StartUpTakesTheNumberAtTheStartOfTheFile) {
  const CommIniCase& c = GetParam();
  HeadlessProgram p(nullptr, false);
  if (c.content) writeFile(p.dir.path() / "comm.ini", *c.content);
  FormCreate(*p);
  EXPECT_EQ(p->SelectedPort, c.port);
  EXPECT_EQ(checkedPort(p.window()), c.checked);
  if (c.message) {
    ASSERT_EQ(p.desktop.messageTexts(), std::vector<std::string>{kNotSelected});
    EXPECT_EQ(p.desktop.messages[0].caption, "ERROR");
  } else {
    EXPECT_TRUE(p.desktop.messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Contents, CommIniStartUpTest,
    ::testing::Values(CommIniCase{"Missing", std::nullopt, 0, 0, true}, CommIniCase{"Two", "2\n", 2, 2, false},
                      CommIniCase{"BlanksThreeLetters", "  3abc", 3, 3, false}, CommIniCase{"Seven", "7", 7, 0, false},
                      CommIniCase{"Empty", "", 0, 0, false}, CommIniCase{"Letters", "COM2", 0, 0, false},
                      CommIniCase{"Negative", "-1\r\n", -1, 0, false},
                      CommIniCase{"OnlyTheFirst64BytesCount", std::string(64, ' ') + "4", 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommIniTest, AnUnreadableFileCountsAsMissing) {
  HeadlessProgram p(nullptr, false);
  std::filesystem::create_directory(p.dir.path() / "comm.ini");
  FormCreate(*p);
  EXPECT_EQ(p->SelectedPort, 0);
  EXPECT_EQ(p.desktop.messageTexts(), std::vector<std::string>{kNotSelected});
}

TEST(PortMenuTest, AChoiceIsCheckedWrittenAndFoundAgainAtTheNextStart) {
  HeadlessProgram p;
  p.window().COM11.click();
  p.window().COM41.click();
  EXPECT_EQ(p->SelectedPort, 4);
  EXPECT_EQ(checkedPort(p.window()), 4);
  EXPECT_EQ(contentsOf(p.dir.path() / "comm.ini"), "4\n");
  EXPECT_EQ(p.desktop.messages.size(), 1u) << "only the start-up message; a choice is not confirmed";

  testing::RecordingDesktop desktop;
  Program next(desktop, {}, p.dir.path());
  FormCreate(next);
  EXPECT_EQ(next.SelectedPort, 4);
  EXPECT_EQ(checkedPort(next.Frm_Mapping), 4);
  EXPECT_TRUE(desktop.messages.empty());
}

TEST(PortMenuTest, EachItemChoosesItsPort) {
  HeadlessProgram p;
  void (*handlers[])(Program&) = {COM11Click, COM21Click, COM31Click, COM41Click};
  for (int n = 1; n <= 4; ++n) {
    handlers[n - 1](*p);
    EXPECT_EQ(p->SelectedPort, n);
    EXPECT_EQ(checkedPort(p.window()), n);
    EXPECT_EQ(contentsOf(p.dir.path() / "comm.ini"), std::to_string(n) + "\n");
  }
}

TEST(PortMenuTest, AChoiceThatCannotBeSavedStillHoldsAndIsReported) {
  HeadlessProgram p;
  std::filesystem::create_directory(p.dir.path() / "comm.ini");
  p.desktop.messages.clear();
  COM31Click(*p);
  EXPECT_EQ(p->SelectedPort, 3);
  EXPECT_EQ(checkedPort(p.window()), 3);
  ASSERT_EQ(p.desktop.messages.size(), 1u);
  EXPECT_EQ(p.desktop.messages[0].caption, "ERROR");
  EXPECT_NE(p.desktop.messages[0].text.find("comm.ini"), std::string::npos);
}

TEST(PortMenuTest, AChoiceLeavesAnOpenPortAlone) {
  testing::ScriptedProgram p;
  COM31Click(*p);
  EXPECT_TRUE(p->ControllerPort.IsOpen);
  EXPECT_EQ(p->ControllerPort.PortNumber, 1);
  EXPECT_EQ(p->SelectedPort, 3);
}

}  // namespace
}  // namespace korvane
