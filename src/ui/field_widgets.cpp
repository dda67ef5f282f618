// The widget classes, one per kind of field.
#include "ui/field_widgets.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <utility>
#include <vector>

#include "ui/pictures.h"

namespace korvane {
namespace {

// The window was laid out for a narrower typeface than the platform's usual
// sans-serif; its semi-condensed width keeps every caption clear of the box
// beside it. Fixed-width labels may narrow further to fit their text.
constexpr int kFieldStretch = QFont::SemiCondensed;
constexpr int kNarrowestStretch = 66;
constexpr int kStretchStep = 3;

Qt::Alignment toQAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::Centre:
      return Qt::AlignHCenter | Qt::AlignTop;
    case Alignment::Right:
      return Qt::AlignRight | Qt::AlignTop;
    case Alignment::Left:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

QString qText(const Field& field) { return QString::fromStdString(field.text()); }

// Text colours: labels and radio buttons draw with WindowText, edit boxes
// with Text and buttons with ButtonText. Setting each explicitly also keeps
// a control from inheriting the colour of the group box it sits in.
void setTextColour(QWidget* widget, Colour colour) {
  QPalette palette = widget->palette();
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    palette.setColor(role, toQColor(colour));
  }
  widget->setPalette(palette);
}

class LabelWidget : public QLabel, public FieldWidget {
 public:
  LabelWidget(const Field& field, QWidget* parent) : QLabel(parent), FieldWidget(field) {
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A label paints its background, as the window's labels always have:
    // a cursor bar that passes behind an axis label disappears under it.
    setAutoFillBackground(true);
  }
  QWidget* widget() override { return this; }
  bool windowed() const override { return false; }

 protected:
  void showText() override {
    setText(qText(field_));
    fitText();
  }
  void showColour() override {
    // The window's own colour is whatever the window is painted with.
    const QColor fill =
        field_.colour() == kButtonFace ? QApplication::palette().color(QPalette::Window) : toQColor(field_.colour());
    QPalette p = palette();
    p.setColor(QPalette::Window, fill);
    setPalette(p);
  }
  void showFont() override {
    FieldWidget::showFont();
    setAlignment(toQAlignment(field_.alignment()));
    fitText();
  }
  void showGeometry() override {
    // A label of fixed width is of fixed size, so a new text of its own
    // (the live values change ten times a second) asks for no new layout.
    if (field_.width() != 0) {
      setFixedSize(field_.width(), field_.height());
    } else {
      setMinimumSize(0, 0);
      setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    FieldWidget::showGeometry();
    fitText();
  }

 private:
  // A label without a width of its own is as large as its text. A label of
  // fixed width narrows its font until the text fits, so a long revision or
  // a five-digit speed is never cut off.
  void fitText() {
    if (field_.width() == 0) {
      resize(sizeHint());
      return;
    }
    QFont fitted = toQFont(field_.font());
    fitted.setStretch(fittedStretch(fitted));
    setFont(fitted);
  }

  // The widest stretch, from the window's own down in steps to the
  // narrowest, at which the text fits; the narrowest when none does. Each
  // try measures the text anew, so the search starts at the stretch the
  // label's last text took: its texts change by a digit or two and mostly
  // need the same one, found in two measurements (there, and one step wider).
  int fittedStretch(QFont font) {
    const QString shown = text();
    const auto fits = [&](int stretch) {
      font.setStretch(stretch);
      return QFontMetrics(font).horizontalAdvance(shown) <= width();
    };
    int stretch = lastStretch_;
    if (fits(stretch)) {
      while (stretch < kFieldStretch && fits(stretch + kStretchStep)) stretch += kStretchStep;
    } else {
      while (stretch > kNarrowestStretch) {
        stretch -= kStretchStep;
        if (fits(stretch)) break;
      }
    }
    lastStretch_ = stretch;
    return stretch;
  }

  int lastStretch_ = kFieldStretch;
};

class EditWidget : public QLineEdit, public FieldWidget {
 public:
  EditWidget(const Field& field, QWidget* parent) : QLineEdit(parent), FieldWidget(field) {
    // The box draws its own border (paintEvent); the margins keep the text
    // inside it and a pixel of padding at either side.
    setFrame(false);
    setTextMargins(kBorderWidth + kSidePadding, kBorderWidth, kBorderWidth + kSidePadding, kBorderWidth);
    // The style would fill the box with the palette's base colour over the
    // mark painted beneath it.
    QPalette clear = palette();
    clear.setColor(QPalette::Base, Qt::transparent);
    setPalette(clear);
  }
  QWidget* widget() override { return this; }

 protected:
  void showText() override {
    // Only a different text is written: rewriting the same one would move
    // the cursor under the user's fingers while typing.
    const QString text = qText(field_);
    if (this->text() != text) setText(text);
  }
  // The field's colour is the modified mark, so it fills the whole box. The
  // box paints it itself: a new palette would make Qt work out again which
  // of the window's controls hide the ones behind them, all 128 cells and
  // twice per cell in a full read.
  void showColour() override {
    fill_ = toQColor(field_.colour());
    update();
  }
  void showFocus() override {
    FieldWidget::showFocus();
    selectAll();
  }
  // The fill and the border go first: the text, the cursor and the
  // selection stay inside the margins and never cover the border.
  void paintEvent(QPaintEvent* event) override {
    {
      QPainter painter(this);
      painter.fillRect(rect(), fill_);
      painter.setPen(hasFocus() ? kFocusBorder : kBorder);
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    QLineEdit::paintEvent(event);
  }

 private:
  static constexpr int kBorderWidth = 1;
  static constexpr int kSidePadding = 1;
  static constexpr QColor kBorder{0x7f, 0x84, 0x8c};
  static constexpr QColor kFocusBorder{0x2f, 0x6f, 0xd6};

  QColor fill_;
};

class RadioWidget : public QRadioButton, public FieldWidget {
 public:
  RadioWidget(const Field& field, QWidget* parent) : QRadioButton(parent), FieldWidget(field) {
    // The model unchecks the siblings itself; Qt must not do it as well,
    // or the program could not leave a whole group unchecked.
    setAutoExclusive(false);
  }
  QWidget* widget() override { return this; }

 protected:
  void showText() override { setText(qText(field_)); }
  void showChecked() override { setChecked(field_.checked()); }
};

class GroupWidget : public QGroupBox, public FieldWidget {
 public:
  GroupWidget(const Field& field, QWidget* parent) : QGroupBox(parent), FieldWidget(field) {}
  QWidget* widget() override { return this; }

 protected:
  void showText() override { setTitle(qText(field_)); }

  // An etched frame with the caption set into its top edge and nothing
  // filled inside, so the labels in the group match its background.
  void paintEvent(QPaintEvent* event) override {
    const QFontMetrics metrics = fontMetrics();
    // The controls inside (a gain cell, the lamp, a cursor bar) repaint on
    // their own many times a second; where only they changed, the frame
    // and its caption have nothing to draw.
    const QRect inside = rect().adjusted(kFrameWidth, metrics.height(), -kFrameWidth, -kFrameWidth);
    if (inside.contains(event->rect())) return;
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    if (title().isEmpty()) return;
    const QRect caption(kCaptionIndent, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(toQColor(field_.font().colour));
    painter.drawText(caption, Qt::AlignCenter, title());
  }

 private:
  static constexpr int kCaptionIndent = 6;
  static constexpr int kFrameWidth = 2;  // the two etched lines
};

class ShapeWidget : public QWidget, public FieldWidget {
 public:
  ShapeWidget(const Field& field, QWidget* parent) : QWidget(parent), FieldWidget(field) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  QWidget* widget() override { return this; }
  bool windowed() const override { return false; }

 protected:
  void showColour() override { update(); }
  void showGeometry() override {
    FieldWidget::showGeometry();
    lamps_.clear();
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QColor fill = toQColor(field_.colour());
    if (field_.kind() == FieldKind::Rectangle) {
      painter.fillRect(rect(), fill);
      return;
    }
    painter.drawPixmap(0, 0, lampIn(fill));
  }

 private:
  // The activity lamp: a filled disc with a darker rim. It changes colour
  // with every reply, in turn between two, and an antialiased disc costs
  // many times a copy, so each colour is drawn once and kept.
  const QPixmap& lampIn(const QColor& fill) {
    const qreal ratio = devicePixelRatioF();
    for (const auto& [colour, picture] : lamps_) {
      if (colour == fill && picture.devicePixelRatio() == ratio) return picture;
    }
    QPixmap picture(size() * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(fill.darker(170), 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.end();
    lamps_.emplace_back(fill, picture);
    return lamps_.back().second;
  }

  std::vector<std::pair<QColor, QPixmap>> lamps_;
};

class ImageButtonWidget : public QPushButton, public FieldWidget {
 public:
  ImageButtonWidget(const Field& field, QWidget* parent) : QPushButton(parent), FieldWidget(field) {
    setIcon(imageForField(QString::fromStdString(field.name()), QSize(kButtonImageSize, kButtonImageSize)));
    setIconSize(QSize(kButtonImageSize, kButtonImageSize));
    setAutoDefault(false);
  }
  QWidget* widget() override { return this; }

 protected:
  void showText() override { setText(qText(field_)); }
};

class PictureWidget : public QWidget, public FieldWidget {
 public:
  PictureWidget(const Field& field, QWidget* parent) : QWidget(parent), FieldWidget(field) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  QWidget* widget() override { return this; }
  bool windowed() const override { return false; }

 protected:
  void showGeometry() override {
    FieldWidget::showGeometry();
    picture_ = imageForField(QString::fromStdString(field_.name()), size()).pixmap(size());
  }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
  }

 private:
  QPixmap picture_;
};

template <class W>
FieldWidget* make(const Field& field, QWidget* parent) {
  // The parent widget owns the new widget, as everywhere in Qt.
  return new W(field, parent);
}

struct WidgetMaker {
  FieldKind kind;
  FieldWidget* (*make)(const Field&, QWidget*);
};

constexpr WidgetMaker kMakers[] = {
    {FieldKind::Label, make<LabelWidget>},
    {FieldKind::Edit, make<EditWidget>},
    {FieldKind::Radio, make<RadioWidget>},
    {FieldKind::GroupBox, make<GroupWidget>},
    {FieldKind::Rectangle, make<ShapeWidget>},
    {FieldKind::Circle, make<ShapeWidget>},
    {FieldKind::ImageButton, make<ImageButtonWidget>},
    {FieldKind::Picture, make<PictureWidget>},
};

}  // namespace

QColor toQColor(Colour colour) { return QColor(redOf(colour), greenOf(colour), blueOf(colour)); }

QFont toQFont(const Font& font) {
  QFont qfont(QStringLiteral("Sans Serif"));
  qfont.setStyleHint(QFont::SansSerif);
  qfont.setPixelSize(font.pixelSize);
  qfont.setBold(font.bold);
  qfont.setStretch(kFieldStretch);
  return qfont;
}

void FieldWidget::sync(Property property) {
  switch (property) {
    case Property::Text:
      return showText();
    case Property::Colour:
      return showColour();
    case Property::Font:
      return showFont();
    case Property::Visible:
      return widget()->setVisible(field_.visible());
    case Property::Enabled:
      return widget()->setEnabled(field_.enabled());
    case Property::Checked:
      return showChecked();
    case Property::Geometry:
      return showGeometry();
    case Property::Focus:
      return showFocus();
  }
}

void FieldWidget::syncAll() {
  for (Property property : {Property::Font, Property::Geometry, Property::Text, Property::Colour, Property::Checked,
                            Property::Enabled, Property::Visible}) {
    sync(property);
  }
}

void FieldWidget::showFont() {
  widget()->setFont(toQFont(field_.font()));
  setTextColour(widget(), field_.font().colour);
}

void FieldWidget::showGeometry() {
  widget()->setGeometry(field_.left(), field_.top(), field_.width(), field_.height());
}

void FieldWidget::showFocus() {
  // A control hidden in its window cannot take the focus; the model keeps it.
  QWidget* w = widget();
  if (w->isVisibleTo(w->window()) && w->isEnabled()) w->setFocus(Qt::OtherFocusReason);
}

FieldWidget* createFieldWidget(const Field& field, QWidget* parent) {
  for (const WidgetMaker& maker : kMakers) {
    if (maker.kind == field.kind()) return maker.make(field, parent);
  }
  return nullptr;
}

}  // namespace korvane
