// The Win32 main view over a started-up program: every field on its control
// at the model's place, the model's state on the controls, and what the user
// does to a control reaching the model.
#include "win32/main_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/headless_program.h"

namespace korvane::win32 {
namespace {

using testing::HeadlessProgram;

class Win32MainViewTest : public ::testing::Test {
 protected:
  // Windows are made on a display; without one (Wine with no X server)
  // there is nothing to look at.
  void SetUp() override {
    if (view.window() == nullptr) GTEST_SKIP() << "no display to make windows on";
  }

  HWND control(const Field& field) const { return view.controlFor(field); }

  // The control's place in its parent's client area.
  RECT placeOf(const Field& field) const {
    HWND hwnd = control(field);
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  static std::wstring textOf(HWND hwnd) {
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    return text;
  }

  // What the user's messages to the window lead to, handled as the message
  // loop would.
  static void handleQueued() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  void showExpanded() {
    w.Gain_Table_Group.setVisible(true);
    w.setHeight(kExpandedHeight);
    view.show(SW_SHOW);
    ::SetForegroundWindow(view.window());
  }

  HeadlessProgram program;
  TFrm_Mapping& w = program.window();
  OperationGate gate;
  MainView view{*program, gate};
};

TEST_F(Win32MainViewTest, EveryFieldLiesOnItsControlAtTheModelsPlaceInItsParent) {
  int placed = 0;
  for (Field* field : w.model.fields()) {
    const FieldKind kind = field->kind();
    if (kind == FieldKind::Form || kind == FieldKind::Menu || kind == FieldKind::MenuItem) continue;
    HWND hwnd = control(*field);
    ASSERT_NE(hwnd, nullptr) << field->name();
    const HWND parent = field->parent() == &w.form ? view.window() : control(*field->parent());
    EXPECT_EQ(::GetParent(hwnd), parent) << field->name();
    const RECT place = placeOf(*field);
    EXPECT_EQ(place.left, field->left()) << field->name();
    EXPECT_EQ(place.top, field->top()) << field->name();
    if (field->width() != 0) {
      EXPECT_EQ(place.right - place.left, field->width()) << field->name();
      EXPECT_EQ(place.bottom - place.top, field->height()) << field->name();
    } else {
      EXPECT_GT(place.right - place.left, 0) << field->name() << " is as wide as its text";
    }
    ++placed;
  }
  EXPECT_GE(placed, 128 + 60) << "the gain cells and the window's own controls";
}

TEST_F(Win32MainViewTest, TheWindowIsAsHighAsTheModelSaysWithTheClientAreaOfItsWidth) {
  for (int height : {kCollapsedHeight, kExpandedHeight, kCollapsedHeight}) {
    w.setHeight(height);
    RECT outer;
    ::GetWindowRect(view.window(), &outer);
    RECT client;
    ::GetClientRect(view.window(), &client);
    EXPECT_EQ(outer.bottom - outer.top, height);
    EXPECT_EQ(client.right - client.left, kClientWidth);
  }
}

TEST_F(Win32MainViewTest, TheModelsStateIsShownOnTheControlsAndTheMenu) {
  EXPECT_EQ(textOf(control(w.SW_Rev)), L"v1.04.02");
  EXPECT_TRUE(::IsWindowEnabled(control(w.Begin_Comm)));
  EXPECT_FALSE(::IsWindowEnabled(control(w.Halt_Comm)));
  EXPECT_EQ(::GetWindowLongW(control(w.Gain_Table_Group), GWL_STYLE) & WS_VISIBLE, 0);

  w.Halt_Comm.setEnabled(true);
  w.Gain_Table_Group.setVisible(true);
  w.Fuel_mx.setText("12.5");
  w.map_type_3.setChecked(true);
  w.COM31.setChecked(true);
  EXPECT_TRUE(::IsWindowEnabled(control(w.Halt_Comm)));
  EXPECT_NE(::GetWindowLongW(control(w.Gain_Table_Group), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(textOf(control(w.Fuel_mx)), L"12.5");
  EXPECT_EQ(::SendMessageW(control(w.map_type_3), BM_GETCHECK, 0, 0), BST_CHECKED);
  HMENU portMenu = ::GetSubMenu(::GetMenu(view.window()), 1);
  EXPECT_NE(::GetMenuState(portMenu, 2, MF_BYPOSITION) & MF_CHECKED, 0u) << "COM&3";
  EXPECT_EQ(::GetMenuState(portMenu, 0, MF_BYPOSITION) & MF_CHECKED, 0u) << "COM&1";

  w.map_p_ptr.setTop(200);
  EXPECT_EQ(placeOf(w.map_p_ptr).top, 200);
}

TEST_F(Win32MainViewTest, TypingIntoABoxGoesIntoItsFieldAndMarksIt) {
  Field& cell = *w.GainCells[5];
  ASSERT_FALSE(cell.marked());
  ::SendMessageW(control(cell), WM_CHAR, L'7', 1);
  handleQueued();
  EXPECT_EQ(cell.text(), "7");
  EXPECT_TRUE(cell.marked());

  // The model writing the box is no edit of the user's: only one change.
  int changes = 0;
  Field& fuel = w.Fuel_mx;
  fuel.onChange = [&changes] { ++changes; };
  fuel.setText("3.25");
  handleQueued();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(fuel.text(), "3.25");
}

TEST_F(Win32MainViewTest, AKeyPressHandlerSeesTheCharacterAndACharacterItConsumesIsNotTyped) {
  Field& cell = *w.GainCells[9];
  std::vector<int> seen;
  cell.onKeyPress = [&seen](int& key) {
    seen.push_back(key);
    if (key == kKeyReturn || key == 'x') key = 0;
  };
  for (wchar_t typed : {L'1', L'x', L'\r', L'2'}) ::SendMessageW(control(cell), WM_CHAR, typed, 1);
  handleQueued();
  EXPECT_EQ(seen, (std::vector<int>{'1', 'x', kKeyReturn, '2'}));
  EXPECT_EQ(cell.text(), "12");
}

TEST_F(Win32MainViewTest, ArrowKeysMoveTheFocusThroughTheModelsHandlers) {
  showExpanded();
  w.GainCells[7]->setFocus();
  ASSERT_EQ(::GetFocus(), control(*w.GainCells[7]));
  ::SendMessageW(control(*w.GainCells[7]), WM_KEYDOWN, VK_UP, 1);
  EXPECT_EQ(w.model.focused(), w.GainCells[8].get()) << "the bottom of the next column";
  EXPECT_EQ(::GetFocus(), control(*w.GainCells[8]));
  ::SendMessageW(control(*w.GainCells[8]), WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(w.model.focused(), w.GainCells[16].get());
  EXPECT_EQ(::GetFocus(), control(*w.GainCells[16]));

  // Focus the user moves is noted by the model.
  ::SetFocus(control(w.Rate_Cut));
  EXPECT_EQ(w.model.focused(), &w.Rate_Cut);
}

TEST_F(Win32MainViewTest, TheModelDecidesWhichRadioButtonIsChecked) {
  ::SendMessageW(control(w.map_type_2), BM_CLICK, 0, 0);
  handleQueued();
  EXPECT_TRUE(w.map_type_2.checked());
  EXPECT_TRUE(w.Label18.marked());
  EXPECT_EQ(::SendMessageW(control(w.map_type_2), BM_GETCHECK, 0, 0), BST_CHECKED);

  w.map_type_2.setChecked(false);  // as the full read leaves a group unchecked
  ::SendMessageW(control(w.Pulse_Mode_1), BM_CLICK, 0, 0);
  handleQueued();
  for (Field* radio : {&w.map_type_1, &w.map_type_2, &w.map_type_3, &w.Pulse_Mode_0}) {
    EXPECT_EQ(::SendMessageW(control(*radio), BM_GETCHECK, 0, 0), BST_UNCHECKED) << radio->name();
  }
  EXPECT_EQ(w.Flag_Value.text(), "1");
}

TEST_F(Win32MainViewTest, AMenuCommandRunsItsItemsHandlerAndAButtonItsClick) {
  int gets = 0, uploads = 0;
  w.Exit1.onClick = [&gets] { ++gets; };
  w.BitBtn2.onClick = [&uploads] { ++uploads; };
  HMENU fileMenu = ::GetSubMenu(::GetMenu(view.window()), 0);
  ::SendMessageW(view.window(), WM_COMMAND, MAKEWPARAM(::GetMenuItemID(fileMenu, 0), 0), 0);
  ::SendMessageW(control(w.BitBtn2), BM_CLICK, 0, 0);
  handleQueued();
  EXPECT_EQ(gets, 1);
  EXPECT_EQ(uploads, 1);
}

TEST_F(Win32MainViewTest, WhatTheUserDoesDuringAnOperationWaitsForItsEnd) {
  Field& cell = *w.GainCells[3];
  std::string textDuringTheOperation;
  gate.run([&] {
    ::PostMessageW(control(cell), WM_CHAR, L'4', 1);
    gate.wait(OperationGate::Clock::now() + std::chrono::milliseconds(20));
    textDuringTheOperation = cell.text();
  });
  handleQueued();
  EXPECT_EQ(textDuringTheOperation, "");
  EXPECT_EQ(cell.text(), "4");
}

// Keys as the keyboard types them, into the system's input queue.
void typeKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    }
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

TEST_F(Win32MainViewTest, KeysTypedDuringBackToBackOperationsAreHandledInOrderBetweenThem) {
  showExpanded();
  Field& cell = *w.GainCells[20];
  cell.setFocus();
  ASSERT_EQ(::GetFocus(), control(cell));
  // Each tick asks for the next, as live polling does: ticks follow one
  // another with no gap between them.
  int ticks = 0;
  std::string textDuringTheFirstTick;
  std::function<void()> poll = [&] {
    ++ticks;
    if (ticks == 1) {
      typeKeys({'4', VK_UP, '2'});
      gate.wait(OperationGate::Clock::now() + std::chrono::milliseconds(30));
      textDuringTheFirstTick = cell.text();
    }
    if (ticks < 20) gate.tick(poll);
  };
  gate.tick(poll);
  const auto until = OperationGate::Clock::now() + std::chrono::milliseconds(500);
  while (OperationGate::Clock::now() < until) {
    handleQueued();
    ::Sleep(1);
  }
  EXPECT_EQ(textDuringTheFirstTick, "");
  EXPECT_EQ(ticks, 20);
  EXPECT_EQ(cell.text(), "4") << "the first key went to the cell that had the focus";
  EXPECT_EQ(w.GainCells[21]->text(), "2") << "Up moved the focus before the last key came";
}

TEST_F(Win32MainViewTest, KeysTypedDuringAnOperationReachTheLoopThatRunsNotTheFocusedBox) {
  showExpanded();
  Field& cell = *w.GainCells[20];
  cell.setFocus();
  int ticks = 0;
  std::function<void()> poll = [&] {
    ++ticks;
    if (ticks == 1) {
      typeKeys({'7'});
      gate.wait(OperationGate::Clock::now() + std::chrono::milliseconds(30));
    }
    if (ticks < 10) gate.tick(poll);
  };
  gate.tick(poll);
  // A loop that takes the keys itself and hands out everything else, as an
  // open menu's does; live polling goes on inside it.
  std::vector<WPARAM> keysTaken;
  const auto until = OperationGate::Clock::now() + std::chrono::milliseconds(500);
  while (OperationGate::Clock::now() < until) {
    MSG message;
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      ::Sleep(1);
      continue;
    }
    ::PeekMessageW(&message, nullptr, message.message, message.message, PM_REMOVE);
    if (message.message == WM_KEYDOWN) {
      keysTaken.push_back(message.wParam);
    } else {
      ::DispatchMessageW(&message);
    }
  }
  EXPECT_EQ(keysTaken, std::vector<WPARAM>{'7'});
  EXPECT_EQ(cell.text(), "") << "the key went past the loop that runs";
  EXPECT_EQ(ticks, 10);
}

}  // namespace
}  // namespace korvane::win32
