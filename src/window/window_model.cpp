// The field model and its four rules.
#include "window/window_model.h"

#include <algorithm>
#include <utility>

namespace korvane {

Field::Field(WindowModel& model, FieldSpec description)
    : model_(model),
      name_(std::move(description.name)),
      kind_(description.kind),
      parent_(description.parent),
      left_(description.left),
      top_(description.top),
      width_(description.width),
      height_(description.height),
      text_(std::move(description.text)),
      colour_(description.colour),
      font_(description.font),
      alignment_(description.alignment),
      visible_(description.visible),
      enabled_(description.enabled) {
  model_.fields_.push_back(this);
}

Field::~Field() {
  auto& fields = model_.fields_;
  fields.erase(std::remove(fields.begin(), fields.end(), this), fields.end());
  if (model_.focused_ == this) model_.focused_ = nullptr;
}

void Field::notify(Property property) {
  if (model_.observer_ != nullptr) model_.observer_->fieldChanged(*this, property);
}

void Field::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  notify(Property::Text);
  if (onChange) onChange();
}

void Field::setChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  notify(Property::Checked);
  if (kind_ != FieldKind::Radio || !checked) return;
  for (Field* sibling : model_.fields_) {
    if (sibling != this && sibling->kind_ == FieldKind::Radio && sibling->parent_ == parent_ && sibling->checked_) {
      sibling->checked_ = false;
      sibling->notify(Property::Checked);
    }
  }
  if (onClick) onClick();
}

void Field::click() {
  if (kind_ == FieldKind::Radio) {
    setChecked(true);
  } else if (onClick) {
    onClick();
  }
}

void Field::setColour(Colour colour) {
  if (colour == colour_) return;
  colour_ = colour;
  notify(Property::Colour);
}

void Field::setFont(const Font& font) {
  font_ = font;
  notify(Property::Font);
}

void Field::setVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  notify(Property::Visible);
}

void Field::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  notify(Property::Enabled);
}

void Field::setLeft(int left) {
  if (left == left_) return;
  left_ = left;
  notify(Property::Geometry);
}

void Field::setTop(int top) {
  if (top == top_) return;
  top_ = top;
  notify(Property::Geometry);
}

void Field::setWidth(int width) {
  if (width == width_) return;
  width_ = width;
  notify(Property::Geometry);
}

void Field::setHeight(int height) {
  if (height == height_) return;
  height_ = height;
  notify(Property::Geometry);
}

void Field::setFocus() {
  model_.focused_ = this;
  notify(Property::Focus);
}

void Field::repaint() {
  if (model_.observer_ != nullptr) model_.observer_->repaintNow(*this);
}

}  // namespace korvane
