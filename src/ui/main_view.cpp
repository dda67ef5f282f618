// The main view: building the window from the model and the routes from Qt
// events into the model.
#include "ui/main_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <algorithm>

#include "app/startup.h"
#include "ui/accessible_names.h"
#include "ui/pictures.h"

namespace korvane {
namespace {

// Qt keys and the virtual-key codes the key-down handlers compare with.
struct VirtualKey {
  int qtKey;
  int code;
};

constexpr VirtualKey kVirtualKeys[] = {
    {Qt::Key_Return, kKeyReturn}, {Qt::Key_Enter, kKeyReturn}, {Qt::Key_Left, kKeyLeft},
    {Qt::Key_Up, kKeyUp},         {Qt::Key_Right, kKeyRight},  {Qt::Key_Down, kKeyDown},
};

int virtualKeyFor(const QKeyEvent& event) {
  for (const VirtualKey& key : kVirtualKeys) {
    if (key.qtKey == event.key()) return key.code;
  }
  return 0;
}

// The character a key types, as the key-press handlers see it: carriage
// return for Enter, otherwise the single character of the key's text.
int characterFor(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return kKeyReturn;
  const QString text = event.text();
  if (text.size() != 1 || text.front().isSurrogate()) return 0;
  return text.front().unicode();
}

}  // namespace

void applyWindowLook() {
  QApplication::setStyle(QStringLiteral("Fusion"));
  QApplication::setPalette(QApplication::style()->standardPalette());
}

MainView::MainView(Program& program, OperationGate* gate)
    : program_(program), gate_(gate), window_(program.Frm_Mapping) {
  build();
  window_.model.setObserver(this);
  if (gate_ != nullptr) gate_->setCatchUp([this] { catchUp(); });
  focusConnection_ =
      connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { noteUserFocus(now); });
}

MainView::~MainView() {
  // The widgets go with the QMainWindow after this body; from here on neither
  // the model nor Qt may call back into this half-destroyed view.
  window_.model.setObserver(nullptr);
  if (gate_ != nullptr) gate_->setCatchUp(nullptr);
  disconnect(focusConnection_);
  for (FieldWidget* fieldWidget : created_) fieldWidget->widget()->removeEventFilter(this);
}

void MainView::build() {
  installAccessibleInterfaces();
  menuBar()->setNativeMenuBar(false);  // the menu bar is part of the window's fixed height
  client_ = new QWidget(this);         // owned by the main window
  client_->setFont(toQFont(window_.form.font()));
  setCentralWidget(client_);
  setWindowIcon(drawWindowIcon());
  for (Field* field : window_.model.fields()) {
    switch (field->kind()) {
      case FieldKind::Form:
        break;
      case FieldKind::Menu:
        addMenu(*field);
        break;
      case FieldKind::MenuItem:
        addMenuItem(*field);
        break;
      default:
        addWidget(*field);
    }
  }
  stackWindowedControlsOnTop();
  syncForm(Property::Text);
  syncForm(Property::Geometry);
  nameForListeners(window_, *this);
}

void MainView::addMenu(Field& menu) { menus_[&menu] = menuBar()->addMenu(QString::fromStdString(menu.text())); }

void MainView::addMenuItem(Field& item) {
  auto menu = menus_.find(item.parent());
  if (menu == menus_.end()) return;
  QAction* action = menu->second->addAction(QString::fromStdString(item.text()));
  actions_[&item] = action;
  connect(action, &QAction::triggered, this, [this, &item] {
    run([&item] { item.click(); });
    syncAction(item);
  });
  syncAction(item);
}

void MainView::addWidget(Field& field) {
  auto parent = widgets_.find(field.parent());
  QWidget* parentWidget = parent == widgets_.end() ? client_ : parent->second->widget();
  FieldWidget* fieldWidget = createFieldWidget(field, parentWidget);
  if (fieldWidget == nullptr) return;
  created_.push_back(fieldWidget);
  widgets_[&field] = fieldWidget;
  fieldsByWidget_[fieldWidget->widget()] = &field;
  fieldWidget->syncAll();
  wireInput(field, fieldWidget->widget());
}

void MainView::wireInput(Field& field, QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    // textEdited, not textChanged: only the user's typing goes to the model,
    // so the model writing the box does not come back as an edit.
    connect(edit, &QLineEdit::textEdited, this,
            [this, &field](const QString& text) { run([&field, text] { field.setText(text.toStdString()); }); });
    edit->installEventFilter(this);
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    connect(radio, &QRadioButton::clicked, this, [this, &field, radio] {
      run([&field] { field.click(); });
      // Qt has toggled the button by itself; the model decides.
      radio->setChecked(field.checked());
    });
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    connect(button, &QPushButton::clicked, this, [this, &field] { run([&field] { field.click(); }); });
  }
}

void MainView::stackWindowedControlsOnTop() {
  for (FieldWidget* fieldWidget : created_) {
    if (fieldWidget->windowed()) fieldWidget->widget()->raise();
  }
}

void MainView::syncForm(Property property) {
  const Field& form = window_.form;
  if (property == Property::Text) {
    setWindowTitle(QString::fromStdString(form.text()));
  } else if (property == Property::Geometry) {
    // The model's height is the outer height, with title bar, menu bar and
    // borders; what lies below the menu bar is that less the frame.
    const int clientHeight = std::max(0, form.height() - kWindowFrameHeight);
    client_->setFixedSize(kClientWidth, clientHeight);
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + clientHeight);
    // Lay out now rather than on the next event: the program may go on to
    // block on the serial line, and the window should already have its size.
    layout()->activate();
    // A new height must not pull back a window the user has moved.
    if (!placed_ || form.left() != placedLeft_ || form.top() != placedTop_) {
      placed_ = true;
      placedLeft_ = form.left();
      placedTop_ = form.top();
      move(placedLeft_, placedTop_);
    }
  }
}

void MainView::syncAction(const Field& item) {
  QAction* action = actionFor(item);
  if (action == nullptr) return;
  action->setText(QString::fromStdString(item.text()));
  action->setEnabled(item.enabled());
  action->setVisible(item.visible());
  // Only a checked item shows a mark, so only a checked item is checkable.
  action->setCheckable(item.checked());
  action->setChecked(item.checked());
}

void MainView::fieldChanged(Field& field, Property property) {
  // Each change is shown as the model then has it, in the order made: only
  // when it is shown moves, never what the window ends up showing.
  if (gate_ != nullptr && gate_->inOperation() && !gate_->waiting()) {
    unshown_.emplace_back(&field, property);
    return;
  }
  showChange(field, property);
}

void MainView::catchUp() {
  // A change shown here may bring the focus to a widget, and Qt's focus
  // signal back into the model; a change made meanwhile waits its turn.
  for (std::size_t i = 0; i < unshown_.size(); ++i) showChange(*unshown_[i].first, unshown_[i].second);
  unshown_.clear();
}

void MainView::showChange(Field& field, Property property) {
  if (&field == &window_.form) return syncForm(property);
  if (actions_.contains(&field)) return syncAction(field);
  if (auto menu = menus_.find(&field); menu != menus_.end()) {
    menu->second->setTitle(QString::fromStdString(field.text()));
    menu->second->menuAction()->setVisible(field.visible());
    menu->second->menuAction()->setEnabled(field.enabled());
    return;
  }
  if (auto widget = widgets_.find(&field); widget != widgets_.end()) widget->second->sync(property);
  if (property == Property::Text) followAxisLabel(window_, *this, field);
}

void MainView::repaintNow(Field& field) {
  QWidget* widget = &field == &window_.form ? this : widgetFor(field);
  if (widget == nullptr) return;
  // Behind a gate every wait for the controller runs the event loop, which
  // paints what is due as soon as the wait begins: the cell or the lamp is
  // on the screen while the next frame waits, and all that changed between
  // two waits is painted in one pass, not each piece on its own between the
  // read and the next frame. Without a gate nothing paints during a wait, so
  // the widget is painted now.
  if (gate_ != nullptr) {
    widget->update();
  } else {
    widget->repaint();
  }
}

QWidget* MainView::widgetFor(const Field& field) const {
  auto found = widgets_.find(&field);
  return found == widgets_.end() ? nullptr : found->second->widget();
}

QAction* MainView::actionFor(const Field& field) const {
  auto found = actions_.find(&field);
  return found == actions_.end() ? nullptr : found->second;
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto found = fieldsByWidget_.find(watched);
    if (found != fieldsByWidget_.end()) return handleKey(*found->second, static_cast<const QKeyEvent&>(*event));
  }
  return QMainWindow::eventFilter(watched, event);
}

// A key reaches the field's key-down handler first and then, when it types a
// character, its key-press handler, the order in which the window system
// reports them. Returns whether the edit box must not see the key.
bool MainView::handleKey(Field& field, const QKeyEvent& event) {
  // Keys are held while an operation waits for the controller; one that
  // still comes in meanwhile (a message box of the operation is open) has no
  // handler to go to.
  if (gate_ != nullptr && gate_->inOperation()) return true;
  const int virtualKey = virtualKeyFor(event);
  if (virtualKey != 0 && field.onKeyDown) {
    Field* before = window_.model.focused();
    const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
    run([&] { field.onKeyDown(virtualKey, shift); });
    // When the handler moved the focus away, the key was navigation; the box
    // it left must not also move its cursor or selection.
    Field* after = window_.model.focused();
    if (after != before && after != &field) return true;
  }
  const int character = characterFor(event);
  if (character != 0 && field.onKeyPress) {
    int key = character;
    run([&] { field.onKeyPress(key); });
    if (key == 0) return true;  // the handler consumed it: nothing typed, no beep
  }
  return false;
}

void MainView::noteUserFocus(QWidget* now) {
  auto found = fieldsByWidget_.find(now);
  if (found == fieldsByWidget_.end()) return;
  if (window_.model.focused() != found->second) window_.model.noteFocus(found->second);
}

void MainView::closeEvent(QCloseEvent* event) {
  if (gate_ != nullptr && gate_->inOperation()) {
    // The window stays until the operation has ended; the close then ends
    // the program as it would have at once.
    event->ignore();
    run([this] { FormOnClose(program_); });
    return;
  }
  run([this] { FormOnClose(program_); });
  event->accept();
}

void MainView::run(const std::function<void()>& handler) {
  if (gate_ == nullptr) return guarded(program_, handler);
  gate_->run([this, handler] { guarded(program_, handler); });
}

}  // namespace korvane
