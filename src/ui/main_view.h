// The main window on screen: a QMainWindow built from the window model, kept
// in step with it as the model's one observer, and routing what the user does
// (typing, clicks, keys, focus, closing) into the model's fields and handlers.
#pragma once

#include <QMainWindow>
#include <functional>
#include <unordered_map>

#include "ui/field_widgets.h"
#include "ui/operation_gate.h"
#include "window/program.h"

class QAction;
class QMenu;
class QKeyEvent;

namespace korvane {

// The application-wide look the window is drawn in: the Fusion style with its
// light palette, whatever the desktop's theme, because the window's texts and
// modified marks have fixed colours (black texts, white and yellow boxes).
void applyWindowLook();

class MainView : public QMainWindow, public FieldObserver {
 public:
  // Builds a widget for every field the model holds now (including those
  // created by start-up, such as the gain cells) and observes the model.
  // With a gate, every handler runs through it, one operation at a time.
  explicit MainView(Program& program, OperationGate* gate = nullptr);
  ~MainView() override;

  // Shows the change at once, or, inside an operation between two of its
  // waits, once the gate has the window catch up.
  void fieldChanged(Field& field, Property property) override;
  void repaintNow(Field& field) override;

  // The widget or menu action shown for a field; null when there is none.
  QWidget* widgetFor(const Field& field) const;
  QAction* actionFor(const Field& field) const;

  // The window's client area below the menu bar.
  QWidget* clientArea() const { return client_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build();
  void addMenu(Field& menu);
  void addMenuItem(Field& item);
  void addWidget(Field& field);
  void wireInput(Field& field, QWidget* widget);
  void stackWindowedControlsOnTop();
  void showChange(Field& field, Property property);
  void catchUp();
  void syncForm(Property property);
  void syncAction(const Field& item);
  bool handleKey(Field& field, const QKeyEvent& event);
  void noteUserFocus(QWidget* now);

  // Every call from Qt into the program's handlers goes through here, so an
  // escaping exception is shown in the exception box and the program goes on.
  void run(const std::function<void()>& handler);

  Program& program_;
  OperationGate* gate_;
  TFrm_Mapping& window_;
  QWidget* client_ = nullptr;
  std::vector<FieldWidget*> created_;
  std::unordered_map<const Field*, FieldWidget*> widgets_;
  std::unordered_map<const QObject*, Field*> fieldsByWidget_;
  std::unordered_map<const Field*, QMenu*> menus_;
  std::unordered_map<const Field*, QAction*> actions_;
  // Changes the widgets have yet to show, in the order they were made.
  std::vector<std::pair<Field*, Property>> unshown_;
  QMetaObject::Connection focusConnection_;
  int placedLeft_ = 0, placedTop_ = 0;
  bool placed_ = false;
};

}  // namespace korvane
