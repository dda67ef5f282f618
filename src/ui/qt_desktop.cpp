// QtDesktop: the program's message boxes, file dialogs, waits and exit.
#include "ui/qt_desktop.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <chrono>
#include <cstdlib>

namespace korvane {
namespace {

void showBox(QMessageBox::Icon icon, const QString& caption, const QString& text) {
  // Parented to the active window so the box stays above it; before the
  // main window is shown (start-up) there is none and the box stands alone.
  QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

bool isPattern(const QString& name) { return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')); }

std::optional<std::string> runFileDialog(QFileDialog::AcceptMode mode, const std::string& initialName,
                                         const std::string& defaultExtension, const QString& folder) {
  const QString initial = QString::fromStdString(initialName);
  const QString extension = QString::fromStdString(defaultExtension);
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDirectory(folder.isEmpty() ? QDir::current() : QDir(folder));
  dialog.setDefaultSuffix(extension);
  if (isPattern(initial)) {
    dialog.setNameFilters({nameFilterFor(initial), QStringLiteral("All files (*)")});
  } else if (!initial.isEmpty()) {
    dialog.selectFile(initial);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  // Some platform dialogs ignore the default suffix; add it here as well.
  return withDefaultExtension(dialog.selectedFiles().first(), extension).toStdString();
}

}  // namespace

QString withDefaultExtension(const QString& path, const QString& extension) {
  if (extension.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
  if (path.endsWith(QLatin1Char('.'))) return path + extension;
  return path + QLatin1Char('.') + extension;
}

QString nameFilterFor(const QString& pattern) {
  const QString lower = pattern.toLower();
  const QString upper = pattern.toUpper();
  if (lower == upper) return pattern;
  return QStringLiteral("%1 %2").arg(lower, upper);
}

void QtDesktop::messageBox(const std::string& text, const std::string& caption) {
  gate_.catchUp();  // the box's own event loop shows the window as the program has it
  showBox(QMessageBox::NoIcon, QString::fromStdString(caption), QString::fromStdString(text));
}

void QtDesktop::exceptionBox(const std::string& message) {
  gate_.catchUp();
  // The caption is the application's title, which start-up sets empty.
  showBox(QMessageBox::Critical, QApplication::applicationDisplayName(), QString::fromStdString(message));
}

std::optional<std::string> QtDesktop::openFileDialog(const std::string& initialName,
                                                     const std::string& defaultExtension) {
  gate_.catchUp();
  return runFileDialog(QFileDialog::AcceptOpen, initialName, defaultExtension, dialogFolder_);
}

std::optional<std::string> QtDesktop::saveFileDialog(const std::string& initialName,
                                                     const std::string& defaultExtension) {
  gate_.catchUp();
  return runFileDialog(QFileDialog::AcceptSave, initialName, defaultExtension, dialogFolder_);
}

Desktop::Moment QtDesktop::now() { return std::chrono::steady_clock::now(); }

void QtDesktop::sleepUntil(Moment deadline) {
  // The operation waits here for the controller; the gate lets no input in
  // meanwhile, but keeps the window painted and answering.
  gate_.wait(deadline);
}

LineWait QtDesktop::lineWait() {
  return [this](int fd, short events, OperationGate::Clock::time_point deadline) { gate_.wait(deadline, fd, events); };
}

void QtDesktop::exitProcess(int status) { std::exit(status); }

}  // namespace korvane
