// What the Win32 binding makes of the window system's messages and sizes.
#include "win32/window_input.h"

#include <gtest/gtest.h>

#include "win32/operation_gate.h"
#include "win32/win32_desktop.h"
#include "window/main_window.h"

namespace korvane::win32 {
namespace {

struct HeldCase {
  UINT message;
  WPARAM wParam;
  bool held;
};

TEST(Win32WindowInput, WhatIsPostedInTheUsersNameIsHeldWhileWaitingAndTheSystemsMessagesAreNot) {
  const HeldCase cases[] = {
      {WM_KEYDOWN, VK_RETURN, true},
      {WM_KEYUP, VK_RETURN, true},
      {WM_CHAR, 'a', true},
      {WM_SYSKEYDOWN, VK_F4, true},
      {WM_SYSCHAR, 'f', true},
      {WM_LBUTTONDOWN, 0, true},
      {WM_LBUTTONUP, 0, true},
      {WM_LBUTTONDBLCLK, 0, true},
      {WM_RBUTTONDOWN, 0, true},
      {WM_MOUSEWHEEL, 0, true},
      {WM_NCLBUTTONDOWN, HTMENU, true},
      {WM_NCLBUTTONDOWN, HTCLOSE, true},
      {WM_COMMAND, 1000, true},
      {WM_SYSCOMMAND, SC_CLOSE, true},
      {WM_CLOSE, 0, true},
      {WM_MOUSEMOVE, 0, false},
      {WM_PAINT, 0, false},
      {WM_TIMER, 1, false},
      {WM_NCMOUSEMOVE, 0, false},
      {WM_SETCURSOR, 0, false},
      {WM_USER + 1, 0, false},
      {WM_APP + 1, 0, false},
  };
  for (const HeldCase& c : cases) {
    EXPECT_EQ(isHeldWhileWaiting(MSG{nullptr, c.message, c.wParam, 0, 0, {}}), c.held)
        << "message 0x" << std::hex << c.message << " wParam " << c.wParam;
  }
}

TEST(Win32WindowInput, OnlyEnterAndTheArrowKeysReachTheKeyDownHandlers) {
  const struct {
    WPARAM virtualKey;
    int modelKey;
  } cases[] = {
      {VK_RETURN, kKeyReturn},
      {VK_LEFT, kKeyLeft},
      {VK_UP, kKeyUp},
      {VK_RIGHT, kKeyRight},
      {VK_DOWN, kKeyDown},
      {VK_TAB, 0},
      {VK_SHIFT, 0},
      {VK_PRIOR, 0},
      {VK_HOME, 0},
      {'A', 0},
      {VK_NUMPAD8, 0},
      {VK_F1, 0},
      {VK_ESCAPE, 0},
      {VK_DELETE, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(modelKeyFor(c.virtualKey), c.modelKey) << "virtual key " << c.virtualKey;
}

TEST(Win32WindowInput, TypedCharactersReachTheKeyPressHandlersAsTheyAre) {
  EXPECT_EQ(modelCharacterFor(L'\r'), kKeyReturn);
  EXPECT_EQ(modelCharacterFor(L'5'), '5');
  EXPECT_EQ(modelCharacterFor(L'.'), '.');
  EXPECT_EQ(modelCharacterFor(0x00E9), 0x00E9);
  EXPECT_EQ(modelCharacterFor(0xD83D), 0) << "half of a surrogate pair";
  EXPECT_EQ(modelCharacterFor(0xDE00), 0);
}

TEST(Win32WindowInput, TheOuterHeightIsTheModelsAndTheClientAreaIsTheWindowsWidth) {
  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  for (int height : {kCollapsedHeight, kExpandedHeight}) {
    const SIZE outer = outerSizeFor(height, style, 0);
    EXPECT_EQ(outer.cy, height);
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, style, TRUE, 0);
    EXPECT_EQ(outer.cx, kClientWidth + (frame.right - frame.left));
    EXPECT_GT(outer.cx, kClientWidth) << "the borders lie outside the client area";
  }
}

TEST(Win32FileDialogs, APatternAsInitialNameListsItsFilesFirstThenAllFiles) {
  const std::wstring filter = nameFilterFor(L"*.set");
  EXPECT_EQ(filter, std::wstring(L"*.set\0*.set\0All files (*.*)\0*.*\0", 32));
  EXPECT_EQ(filter.back(), L'\0') << "with the zero that ends the last pair, the dialog's string ends in two";
  EXPECT_EQ(nameFilterFor(L"tune.set"), L"") << "a plain name has no list of its own";
}

}  // namespace
}  // namespace korvane::win32
