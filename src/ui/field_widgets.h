// One Qt widget per field of the window model, and how each kind of widget
// shows a property of its field. The widgets only display; what the user
// does with them is routed into the model by the main view.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "window/main_window.h"
#include "window/window_model.h"

namespace korvane {

QColor toQColor(Colour colour);

// The platform's sans-serif at the field's pixel size and weight.
QFont toQFont(const Font& font);

// The part every field widget shares: it knows its field and brings one
// property of the field onto the widget.
class FieldWidget {
 public:
  explicit FieldWidget(const Field& field) : field_(field) {}
  virtual ~FieldWidget() = default;
  FieldWidget(const FieldWidget&) = delete;
  FieldWidget& operator=(const FieldWidget&) = delete;

  virtual QWidget* widget() = 0;
  const Field& field() const { return field_; }

  // Shows the field's current value of `property`.
  void sync(Property property);

  // Shows every property but the focus; used once the widget is created.
  void syncAll();

  // Windowed controls (edit boxes, buttons, group boxes) lie above the
  // painted ones (labels, shapes, pictures) of the same parent, whatever
  // their order of creation, so a label never hides a button.
  virtual bool windowed() const { return true; }

 protected:
  virtual void showText() {}
  virtual void showColour() {}
  virtual void showFont();
  virtual void showChecked() {}
  virtual void showGeometry();
  virtual void showFocus();

  const Field& field_;
};

// The widget for a field, created under `parent`; null for the kinds that are
// no widget (the window itself, menus and menu items).
FieldWidget* createFieldWidget(const Field& field, QWidget* parent);

}  // namespace korvane
