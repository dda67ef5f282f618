// Accessible interfaces and names for the main window.
//
// The model owns the exclusivity of the radio buttons, so their own
// auto-exclusivity is off, and Qt's interface for such a button calls it a
// check box. The interface here says radio button whatever the widget's own
// setting, and its action clicks the button, so a screen reader's choice goes
// through the model like a mouse click.
#include "ui/accessible_names.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QRadioButton>

#include "gain/gain_cell_place.h"
#include "ui/main_view.h"

namespace korvane {
namespace {

// A caption's "&x" marks an access key and is not shown; "&&" shows "&".
QString withoutMnemonic(QString text) {
  for (qsizetype at = text.indexOf(u'&'); at >= 0; at = text.indexOf(u'&', at + 1)) text.remove(at, 1);
  return text;
}

class RadioButtonAccessible : public QAccessibleWidget {
 public:
  explicit RadioButtonAccessible(QRadioButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}

  // The button's own caption; the group's caption, which Qt would otherwise
  // take, is told through the parent and the labelled-by relation.
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return withoutMnemonic(button()->text());
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = button()->isChecked();
    state.pressed = button()->isDown();
    return state;
  }
  QStringList actionNames() const override {
    QStringList names;
    if (widget()->isEnabled()) names << toggleAction();
    return names << QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != toggleAction() && action != pressAction()) return QAccessibleWidget::doAction(action);
    if (widget()->isEnabled()) button()->click();
  }

 private:
  QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

// A label with a name of its own, such as "Engine speed", tells its text as
// its value, and as read-only text, which is how the value reaches a screen
// reader on the Linux desktop.
class LiveValueAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit LiveValueAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
  }
  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }

  QString text(int startOffset, int endOffset) const override {
    return shown().mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(shown().size()); }
  QString attributes(int, int* startOffset, int* endOffset) const override {
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
  }
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}

 private:
  QString shown() const { return static_cast<QLabel*>(widget())->text(); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
  // Qt keeps the interface made here and deletes it with its widget.
  if (className == u"QRadioButton") {
    if (auto* button = qobject_cast<QRadioButton*>(object)) return new RadioButtonAccessible(button);
  } else if (className == u"QLabel") {
    auto* label = qobject_cast<QLabel*>(object);
    if (label != nullptr && !label->accessibleName().isEmpty()) return new LiveValueAccessible(label);
  }
  return nullptr;
}

// Gives `label` a name of its own; its text is then told as its value.
void nameLiveValue(QLabel& label, const QString& name) {
  label.setAccessibleName(name);
  // Qt may have built the label's interface already, while the label had no
  // name (showing a text can do it), and would keep using that one; dropped,
  // the next question builds the one that also tells the value.
  QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&label);
  if (made != nullptr && dynamic_cast<LiveValueAccessible*>(made) == nullptr) {
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
  }
}

// Controls whose caption on screen is no text of their own: the live values
// beside or without a caption label, and the buttons that show only a picture.
struct SpokenName {
  Field TFrm_Mapping::*field;
  const char* name;
};

constexpr SpokenName kLiveValues[] = {
    {&TFrm_Mapping::rpm_dpy, "Engine speed"},     {&TFrm_Mapping::map_dpy, "MAP [kPa]"},
    {&TFrm_Mapping::inj_dpy, "Pulse width [ms]"}, {&TFrm_Mapping::FW_Rev, "Controller revision"},
    {&TFrm_Mapping::SW_Rev, "Software revision"},
};

constexpr SpokenName kPictureButtons[] = {
    {&TFrm_Mapping::Begin_Comm, "Begin communication"},
    {&TFrm_Mapping::Halt_Comm, "Halt communication"},
    {&TFrm_Mapping::BitBtn2, "Send changes to controller"},
};

void nameGainCells(TFrm_Mapping& w, const MainView& view) {
  for (std::size_t i = 0; i < w.GainCells.size(); ++i) {
    QWidget* cell = view.widgetFor(*w.GainCells[i]);
    if (cell == nullptr) continue;
    const QString name = QString::fromStdString(gainCellPlace(w, static_cast<int>(i)));
    // Only a changed name is set: each one set is an event to the screen reader.
    if (cell->accessibleName() != name) cell->setAccessibleName(name);
  }
}

}  // namespace

void installAccessibleInterfaces() { QAccessible::installFactory(accessibleFor); }

void nameForListeners(TFrm_Mapping& w, const MainView& view) {
  // A caption label whose buddy is the box names the box with its own text
  // and tells the screen reader which label that is.
  for (const CaptionedField& parameter : w.parameterCaptions()) {
    if (auto* caption = qobject_cast<QLabel*>(view.widgetFor(*parameter.caption))) {
      caption->setBuddy(view.widgetFor(*parameter.field));
    }
  }
  for (const SpokenName& value : kLiveValues) {
    if (auto* label = qobject_cast<QLabel*>(view.widgetFor(w.*value.field))) nameLiveValue(*label, value.name);
  }
  for (const SpokenName& button : kPictureButtons) {
    if (QWidget* widget = view.widgetFor(w.*button.field)) widget->setAccessibleName(button.name);
  }
  for (std::size_t i = 0; i < w.GainCells.size(); ++i) {
    if (QWidget* cell = view.widgetFor(*w.GainCells[i])) {
      cell->setAccessibleDescription(QString::fromStdString(gainCellPosition(static_cast<int>(i))));
    }
  }
  nameGainCells(w, view);
}

void followAxisLabel(TFrm_Mapping& w, const MainView& view, const Field& field) {
  if (field.kind() == FieldKind::Label && isAxisLabel(w, field)) nameGainCells(w, view);
}

}  // namespace korvane
