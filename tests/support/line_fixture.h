// A started-up program whose Com1 reaches the emulator over the memory line,
// driven the way the window drives it: button clicks, timer ticks that come
// one after another (every exchange lasts longer than the 100 ms interval),
// and edits typed into the fields.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "comm/comm_control.h"
#include "support/line_bytes.h"
#include "support/memory_line.h"

namespace korvane::testing {

class LineFixture : public ::testing::Test {
 public:
  Program& program() { return *on.program; }
  TFrm_Mapping& w() { return on.program.window(); }
  RecordingDesktop& desktop() { return on.program.desktop; }
  MemoryLine& line() { return on.line; }
  sim::Controller& controller() { return on.line.controller(); }
  long long now() { return desktop().clock.now(); }

  void tick(int count = 1) {
    for (int i = 0; i < count; ++i) get_data_timerTimer(program());
  }

  // Begin_Comm, the answered identify poll and the full read: the program
  // then monitors a controller whose every value is in the window.
  void connectAndReadAll() {
    Begin_CommClick(program());
    tick(2);
    ASSERT_EQ(program().CommState, CommState::Monitoring);
    ASSERT_TRUE(desktop().messages.empty()) << desktop().messages.front().text;
  }

  // The user clears the field and types `text`; its change handler marks it.
  static void edit(Field& field, const std::string& text) {
    field.setText("");
    field.setText(text);
  }

  ProgramOnLine on;
};

}  // namespace korvane::testing
