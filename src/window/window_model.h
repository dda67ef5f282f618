// The window as a model of named fields. The model enforces its own rules:
//  1. a different text runs the field's change handler (the same text does
//     nothing);
//  2. a radio button that becomes checked unchecks the radio buttons of its
//     group box, then runs its click handler;
//  3. colour, visibility, enabled state, position and focus run no handler;
//  4. a field can be told to repaint at once, which only asks the view.
// One observer (the view) hears of every change; headless runs have none.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/colours.h"

namespace korvane {

enum class FieldKind { Form, Label, Edit, Radio, GroupBox, Rectangle, Circle, ImageButton, Picture, Menu, MenuItem };
enum class Alignment { Left, Centre, Right };
enum class Property { Text, Colour, Font, Visible, Enabled, Checked, Geometry, Focus };

struct Font {
  int pixelSize = 11;
  bool bold = false;
  Colour colour = kBlack;
};

class Field;

class FieldObserver {
 public:
  virtual ~FieldObserver() = default;
  virtual void fieldChanged(Field& field, Property property) = 0;
  virtual void repaintNow(Field& field) = 0;
};

// Everything the fields of one window share: the observer, the list of
// fields (for radio groups and for the view) and the keyboard focus.
class WindowModel {
 public:
  WindowModel() = default;
  WindowModel(const WindowModel&) = delete;
  WindowModel& operator=(const WindowModel&) = delete;

  void setObserver(FieldObserver* observer) { observer_ = observer; }
  FieldObserver* observer() const { return observer_; }
  const std::vector<Field*>& fields() const { return fields_; }
  Field* focused() const { return focused_; }

  // The view reports focus the user moved; no handler runs and nothing is
  // echoed back to the view.
  void noteFocus(Field* field) { focused_ = field; }

 private:
  friend class Field;
  FieldObserver* observer_ = nullptr;
  std::vector<Field*> fields_;
  Field* focused_ = nullptr;
};

struct FieldSpec {
  std::string name;
  FieldKind kind = FieldKind::Label;
  Field* parent = nullptr;
  int left = 0, top = 0, width = 0, height = 0;  // width 0: sized to the text
  std::string text;
  Colour colour = kWhite;
  Font font;
  Alignment alignment = Alignment::Left;
  bool visible = true;
  bool enabled = true;
};

class Field {
 public:
  Field(WindowModel& model, FieldSpec description);
  ~Field();
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  const std::string& name() const { return name_; }
  FieldKind kind() const { return kind_; }
  Field* parent() const { return parent_; }
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  const std::string& text() const { return text_; }
  Colour colour() const { return colour_; }
  const Font& font() const { return font_; }
  Alignment alignment() const { return alignment_; }
  bool visible() const { return visible_; }
  bool enabled() const { return enabled_; }
  bool checked() const { return checked_; }
  int tag() const { return tag_; }
  bool focused() const { return model_.focused_ == this; }
  bool marked() const { return colour_ == kYellow; }

  void setText(const std::string& text);  // rule 1
  void setChecked(bool checked);          // rule 2 for radio buttons; menu items just check
  void setColour(Colour colour);
  void setFont(const Font& font);
  void setVisible(bool visible);
  void setEnabled(bool enabled);
  void setLeft(int left);
  void setTop(int top);
  void setWidth(int width);
  void setHeight(int height);
  void setTag(int tag) { tag_ = tag; }
  void setFocus();
  void repaint();  // rule 4

  // A click as the user makes it: a radio button becomes checked, anything
  // else runs its click handler.
  void click();

  // Handlers. onChange runs on a text change, onClick on a click (for a radio
  // button: when it becomes checked). onKeyPress may set the key to 0 to
  // consume it; onKeyDown sees virtual-key codes and the Shift state.
  std::function<void()> onChange;
  std::function<void()> onClick;
  std::function<void(int& key)> onKeyPress;
  std::function<void(int key, bool shift)> onKeyDown;

 private:
  void notify(Property property);

  WindowModel& model_;
  std::string name_;
  FieldKind kind_;
  Field* parent_;
  int left_, top_, width_, height_;
  std::string text_;
  Colour colour_;
  Font font_;
  Alignment alignment_;
  bool visible_;
  bool enabled_;
  bool checked_ = false;
  int tag_ = 0;
};

// Virtual-key codes the key handlers compare with.
constexpr int kKeyReturn = 13;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;

}  // namespace korvane
