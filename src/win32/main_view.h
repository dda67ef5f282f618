// The main window on screen: a top-level window with a native control for
// every field of the window model, kept in step with it as the model's one
// observer, and routing what the user does (typing, clicks, keys, focus,
// menu commands, closing) into the model's fields and handlers through the
// operation gate.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "win32/gdi_cache.h"
#include "win32/operation_gate.h"
#include "window/program.h"

namespace korvane::win32 {

class MainView : public FieldObserver {
 public:
  // Creates the window, hidden, with a control for every field the model
  // holds now (including those start-up created, such as the gain cells),
  // and observes the model.
  MainView(Program& program, OperationGate& gate);
  ~MainView() override;
  MainView(const MainView&) = delete;
  MainView& operator=(const MainView&) = delete;

  HWND window() const { return window_; }

  // The control shown for a field; null for the window, menus and menu items.
  HWND controlFor(const Field& field) const;

  void show(int showCommand);

  void fieldChanged(Field& field, Property property) override;
  void repaintNow(Field& field) override;

 private:
  struct Control {
    MainView* view;
    Field* field;
    HWND hwnd = nullptr;
    WNDPROC original = nullptr;
    HBITMAP picture = nullptr;
    HBITMAP disabledPicture = nullptr;  // an image button's image while it is disabled
    HFONT font = nullptr;               // the font a text is painted in, narrowed to fit when it must
    int stacking = 0;                   // 0 shapes, 1 painted texts and pictures, 2 windowed controls
  };

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT onControlMessage(Control& control, UINT message, WPARAM wParam, LPARAM lParam);

  void build();
  void addMenu(Field& menu);
  void addMenuItem(Field& item);
  void addControl(Field& field);
  void stackControls();
  void syncForm(Property property);
  void syncMenu(const Field& field);
  void sync(Control& control, Property property);
  void showText(Control& control);
  void showFont(Control& control);
  void showGeometry(Control& control);
  void showFocus(Control& control);

  void onCommand(WPARAM wParam, LPARAM lParam);
  LRESULT onColour(HDC dc, HWND hwnd);
  void onDrawItem(const DRAWITEMSTRUCT& item);
  void paint(Control& control);
  bool onKeyDown(Control& control, WPARAM key);
  bool onCharacter(Control& control, WPARAM& character);
  void moveFocusOn(HWND from, bool backwards);
  void onClose();

  // Every call into the program's handlers goes through here: through the
  // gate, one operation at a time, guarded so that an escaping exception is
  // shown in the exception box and the program goes on.
  void run(const std::function<void()>& handler);

  Program& program_;
  OperationGate& gate_;
  TFrm_Mapping& frm_;
  HWND window_ = nullptr;
  HMENU menuBar_ = nullptr;
  GdiCache gdi_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::unordered_map<const Field*, Control*> byField_;
  std::unordered_map<const Field*, HMENU> menus_;
  std::vector<Field*> menuItems_;  // command id kFirstMenuCommand + index
  std::vector<HICON> icons_;
  bool writing_ = false;  // the model is writing a control; its notifications are not the user's
  int placedLeft_ = 0, placedTop_ = 0;
  bool placed_ = false;
};

}  // namespace korvane::win32
