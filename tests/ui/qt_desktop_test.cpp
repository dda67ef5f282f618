// The real desktop: its boxes and its file dialogs.
#include "ui/qt_desktop.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <fstream>

#include "qt_app.h"
#include "support/headless_program.h"

namespace korvane {
namespace {

using testing::ensureQtApplication;
using testing::processEventsUntil;

struct ExtensionCase {
  const char* typed;
  const char* expected;
};

class DefaultExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(DefaultExtensionTest, IsAddedOnlyToANameWithoutOne) {
  EXPECT_EQ(withDefaultExtension(GetParam().typed, "SET").toStdString(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultExtensionTest,
                         ::testing::Values(ExtensionCase{"/home/t/tune", "/home/t/tune.SET"},
                                           ExtensionCase{"/home/t/tune.set", "/home/t/tune.set"},
                                           ExtensionCase{"/home/t/tune.txt", "/home/t/tune.txt"},
                                           ExtensionCase{"/home/t/v1.2/tune", "/home/t/v1.2/tune.SET"},
                                           ExtensionCase{"/home/t/tune.", "/home/t/tune.SET"}, ExtensionCase{"", ""}));

// What a modal box showed, read while it is open, after which it is closed
// with its OK button.
struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Runs `show`, reading the box it opens and closing it with its OK button.
SeenBox whatTheBoxShowed(const std::function<void()>& show) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(QMessageBox::Ok)->click();
  });
  show();
  return seen;
}

// The message box shows its text under its caption with no icon; the
// exception box has the application's empty title and an error icon. Both
// offer only OK.
struct BoxCase {
  bool exception;
  const char* text;
  const char* title;
  QMessageBox::Icon icon;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << (c.exception ? "exception box" : "message box"); }

class BoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxTest, ShowsTextTitleIconAndOnlyOk) {
  ensureQtApplication();
  QtDesktop desktop;
  const BoxCase& c = GetParam();
  const SeenBox seen =
      whatTheBoxShowed([&] { c.exception ? desktop.exceptionBox(c.text) : desktop.messageBox(c.text, "ERROR"); });
  EXPECT_EQ(seen.title, c.title);
  EXPECT_EQ(seen.text, c.text);
  EXPECT_EQ(seen.icon, c.icon);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BoxTest,
    ::testing::Values(BoxCase{false, "No response from the controller unit", "ERROR", QMessageBox::NoIcon},
                      BoxCase{true, "'' is not a valid floating point value.", "", QMessageBox::Critical}));

TEST(QtDesktopTest, TimersKeepTickingWhileABoxIsOpen) {
  ensureQtApplication();
  QtDesktop desktop;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
  timer.start(10);
  QTimer::singleShot(0, [&ticks] {
    processEventsUntil([&ticks] { return ticks >= 3; });
    QApplication::activeModalWidget()->close();
  });
  desktop.messageBox("Loading", "ERROR!");
  EXPECT_GE(ticks, 3);
}

// Answers the next file dialog by typing `name` into it.
void answerNextDialog(const QString& name, QString* defaultSuffix, QStringList* filters) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    *defaultSuffix = dialog->defaultSuffix();
    *filters = dialog->nameFilters();
    dialog->selectFile(name);
    static_cast<QDialog*>(dialog)->accept();
  });
}

TEST(QtDesktopTest, SaveDialogAddsTheDefaultExtensionToATypedName) {
  ensureQtApplication();
  testing::TempDir dir;
  QtDesktop desktop;
  QString suffix;
  QStringList filters;
  answerNextDialog(QString::fromStdString((dir.path() / "tune").string()), &suffix, &filters);
  const auto chosen = desktop.saveFileDialog("*.set", "SET");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (dir.path() / "tune.SET").string());
  EXPECT_EQ(suffix, "SET");
  EXPECT_TRUE(filters.contains("*.set *.SET")) << filters.join("|").toStdString();
}

TEST(QtDesktopTest, SaveDialogOpensInTheFolderOfTheInitialName) {
  ensureQtApplication();
  testing::TempDir dir;
  const auto proposed = dir.path() / "korvane-20240301-090502.msl";
  QtDesktop desktop;
  QString folder, name;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    folder = dialog->directory().absolutePath();
    name = dialog->selectedFiles().value(0);
    static_cast<QDialog*>(dialog)->accept();
  });
  EXPECT_EQ(desktop.saveFileDialog(proposed.string(), "msl"), proposed.string());
  EXPECT_EQ(folder.toStdString(), dir.path().string());
  EXPECT_EQ(name.toStdString(), proposed.string());
}

TEST(QtDesktopTest, OpenDialogReturnsTheChosenFileAndNothingOnCancel) {
  ensureQtApplication();
  testing::TempDir dir;
  const auto file = dir.path() / "engine.set";
  std::ofstream(file) << "FUEL_MX =1\n";
  QtDesktop desktop;
  QString suffix;
  QStringList filters;
  answerNextDialog(QString::fromStdString(file.string()), &suffix, &filters);
  EXPECT_EQ(desktop.openFileDialog("*.set", "SET"), file.string());

  QTimer::singleShot(0, [] { qobject_cast<QFileDialog*>(QApplication::activeModalWidget())->reject(); });
  EXPECT_EQ(desktop.openFileDialog("*.set", "SET"), std::nullopt);
}

TEST(QtDesktopTest, DialogsBeginInTheirFolderOrElseInTheWorkingDirectory) {
  ensureQtApplication();
  testing::TempDir dir;
  QtDesktop desktop;
  QString seen;
  auto cancelNextDialog = [&seen] {
    QTimer::singleShot(0, [&seen] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      seen = dialog->directory().absolutePath();
      dialog->reject();
    });
  };
  cancelNextDialog();
  desktop.openFileDialog("*.set", "SET");
  EXPECT_EQ(seen, QDir::current().absolutePath());

  const QString folder = QString::fromStdString(dir.path().string());
  desktop.setDialogFolder(folder);
  cancelNextDialog();
  desktop.saveFileDialog("*.set", "SET");
  EXPECT_EQ(seen, folder);
  cancelNextDialog();
  desktop.openFileDialog("*.set", "SET");
  EXPECT_EQ(seen, folder);
}

}  // namespace
}  // namespace korvane
