// The Desktop the real program runs on: Qt message boxes and file dialogs,
// waits that keep the window alive (through the gate every call from Qt into
// the program passes), a steady clock and std::exit.
#pragma once

#include <QString>

#include "base/desktop.h"
#include "serial/serial_backend_posix.h"
#include "ui/operation_gate.h"

namespace korvane {

class QtDesktop : public Desktop {
 public:
  // The gate every event handler, timer tick and wait goes through; create
  // the desktop once the application exists.
  OperationGate& gate() { return gate_; }

  // The serial line's waits, kept alive the same way as sleep().
  LineWait lineWait();

  // The folder the file dialogs begin in; empty (the default) for the
  // working directory at the time each opens.
  void setDialogFolder(const QString& folder) { dialogFolder_ = folder; }

  void messageBox(const std::string& text, const std::string& caption) override;
  void exceptionBox(const std::string& message) override;
  std::optional<std::string> openFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  std::optional<std::string> saveFileDialog(const std::string& initialName,
                                            const std::string& defaultExtension) override;
  Moment now() override;
  void sleepUntil(Moment deadline) override;
  [[noreturn]] void exitProcess(int status) override;

 private:
  OperationGate gate_;
  QString dialogFolder_;
};

// The name a file dialog hands back: `extension` is added (after a dot) when
// the file name itself has none, so "tune" becomes "tune.SET" but
// "tune.set" and "my.dir/tune.set" stay as they are.
QString withDefaultExtension(const QString& path, const QString& extension);

// The dialog's name filter for an initial name that is a pattern such as
// "*.set": both letter cases are listed, because file names on Linux are
// case-sensitive and the default extension is upper case.
QString nameFilterFor(const QString& pattern);

}  // namespace korvane
