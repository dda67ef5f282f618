// The window as a tuner sees it while the controller is being monitored:
// connected through the emulator, fully read, live data flowing, one edit.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>

#include "comm/comm_control.h"
#include "qt_app.h"
#include "support/memory_line.h"
#include "ui/main_view.h"

namespace korvane {
namespace {

TEST(LiveRenderTest, ShowsAFullyReadControllerWithLiveDataAndAnEdit) {
  testing::ensureQtApplication();
  testing::ProgramOnLine p;
  Program& program = *p.program;
  TFrm_Mapping& w = program.Frm_Mapping;
  MainView view(program);

  Begin_CommClick(program);
  for (int tick = 0; tick < 40; ++tick) {
    get_data_timerTimer(program);
    p.line.clock().advance(100 + 1700 * (tick % 3));  // the engine moves between polls
  }
  ASSERT_EQ(program.CommState, CommState::Monitoring);
  ASSERT_TRUE(p.program.desktop.messages.empty());

  auto* cellWidget = qobject_cast<QLineEdit*>(view.widgetFor(*w.GainCells[42]));
  ASSERT_NE(cellWidget, nullptr);
  EXPECT_EQ(cellWidget->text().toStdString(), w.GainCells[42]->text());
  EXPECT_FALSE(w.GainCells[42]->text().empty());
  auto* rpmWidget = qobject_cast<QLabel*>(view.widgetFor(w.rpm_dpy));
  ASSERT_NE(rpmWidget, nullptr);
  EXPECT_NE(rpmWidget->text(), QStringLiteral("? RPM"));
  EXPECT_EQ(view.widgetFor(w.map_r_ptr)->x(), w.map_r_ptr.left());

  cellWidget->setText(QStringLiteral("1.25"));
  emit cellWidget->textEdited(cellWidget->text());
  EXPECT_TRUE(w.GainCells[42]->marked());

  EXPECT_TRUE(view.grab().toImage().save(testing::renderPath(QStringLiteral("korvane-live.png"))));
}

}  // namespace
}  // namespace korvane
