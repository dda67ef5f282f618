// The main view: building the window from the model and the routes from the
// window system's messages into the model.
#include "win32/main_view.h"

#include <algorithm>
#include <string>

#include "app/startup.h"
#include "win32/pictures/win32_pictures.h"
#include "win32/text_encoding.h"
#include "win32/window_input.h"

namespace korvane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"KorvaneMainWindow";
// Texts, shapes and pictures are painted by the view itself, in a class of
// its own: the system's STATIC class draws through its parent's clipping
// (CS_PARENTDC), over any sibling that lies above it, so a cursor bar would
// cross the gain cells.
constexpr wchar_t kPaintedClass[] = L"KorvanePaintedField";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr WORD kFirstMenuCommand = 1000;
constexpr WORD kFirstControlId = 100;
constexpr int kButtonImageSize = 48;

// How each kind of field is shown: the control's class and style, and where
// it lies among its siblings. Windowed controls (edit boxes, buttons, group
// boxes) lie above the painted ones (texts, shapes, pictures), whatever
// their order of creation, so a label never hides a button; texts lie above
// shapes, so a cursor bar passing behind an axis label disappears under it.
struct ControlKind {
  FieldKind kind;
  const wchar_t* windowClass;
  DWORD style;
  DWORD exStyle;
  int stacking;
};

constexpr ControlKind kControlKinds[] = {
    {FieldKind::Label, kPaintedClass, 0, 0, 1},
    // A single border; the box's fill is its modified mark.
    {FieldKind::Edit, L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0, 2},
    // Not an automatic radio button: the model decides which is checked.
    {FieldKind::Radio, L"BUTTON", BS_RADIOBUTTON | WS_TABSTOP, 0, 2},
    {FieldKind::GroupBox, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, 2},
    {FieldKind::Rectangle, kPaintedClass, 0, 0, 0},
    {FieldKind::Circle, kPaintedClass, 0, 0, 0},
    {FieldKind::ImageButton, L"BUTTON", BS_OWNERDRAW | WS_TABSTOP, 0, 2},
    {FieldKind::Picture, kPaintedClass, 0, 0, 1},
};

const ControlKind* controlKindFor(FieldKind kind) {
  for (const ControlKind& control : kControlKinds) {
    if (control.kind == kind) return &control;
  }
  return nullptr;
}

UINT textAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::Centre:
      return DT_CENTER;
    case Alignment::Right:
      return DT_RIGHT;
    case Alignment::Left:
      break;
  }
  return DT_LEFT;
}

std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  const int length = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(0, length)));
  return text;
}

SIZE textExtent(HWND hwnd, HFONT font, const std::wstring& text) {
  HDC dc = ::GetDC(hwnd);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size{0, 0};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  size.cy = metrics.tmHeight;
  ::SelectObject(dc, old);
  ::ReleaseDC(hwnd, dc);
  return size;
}

// A picture with its own transparency, laid over what is already drawn;
// `opacity` 255 is the picture as drawn, less fades it.
void drawPicture(HDC dc, HBITMAP picture, int left, int top, BYTE opacity = 255) {
  BITMAP info{};
  if (picture == nullptr || ::GetObjectW(picture, sizeof info, &info) == 0) return;
  HDC source = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(source, picture);
  if (info.bmBitsPixel == 32) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
    ::GdiAlphaBlend(dc, left, top, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight, blend);
  } else {
    ::BitBlt(dc, left, top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  }
  ::SelectObject(source, old);
  ::DeleteDC(source);
}

COLORREF darker(COLORREF colour) {
  // The lamp's rim: the fill at 60 %.
  return RGB(GetRValue(colour) * 3 / 5, GetGValue(colour) * 3 / 5, GetBValue(colour) * 3 / 5);
}

void registerWindowClasses(HICON icon) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = icon;
  windowClass.lpszClassName = kWindowClass;
  ::RegisterClassExW(&windowClass);
  windowClass.hIcon = nullptr;
  windowClass.hbrBackground = nullptr;  // painted whole in WM_PAINT
  windowClass.lpszClassName = kPaintedClass;
  ::RegisterClassExW(&windowClass);
}

}  // namespace

MainView::MainView(Program& program, OperationGate& gate) : program_(program), gate_(gate), frm_(program.Frm_Mapping) {
  for (int size : {32, 16}) icons_.push_back(loadWindowIcon(size));
  registerWindowClasses(icons_.front());
  window_ = ::CreateWindowExW(0, kWindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainView::windowProc));
  if (icons_[0] != nullptr) ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icons_[0]));
  if (icons_[1] != nullptr) ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icons_[1]));
  build();
  frm_.model.setObserver(this);
}

MainView::~MainView() {
  frm_.model.setObserver(nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  for (auto& control : controls_) ::SetWindowLongPtrW(control->hwnd, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
  for (auto& control : controls_) {
    if (control->picture != nullptr) ::DeleteObject(control->picture);
    if (control->disabledPicture != nullptr) ::DeleteObject(control->disabledPicture);
  }
  for (HICON icon : icons_) {
    if (icon != nullptr) ::DestroyIcon(icon);
  }
}

HWND MainView::controlFor(const Field& field) const {
  auto found = byField_.find(&field);
  return found == byField_.end() ? nullptr : found->second->hwnd;
}

void MainView::show(int showCommand) {
  ::ShowWindow(window_, showCommand);
  ::UpdateWindow(window_);
}

void MainView::build() {
  menuBar_ = ::CreateMenu();
  for (Field* field : frm_.model.fields()) {
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
        addControl(*field);
    }
  }
  ::SetMenu(window_, menuBar_);
  stackControls();
  syncForm(Property::Text);
  syncForm(Property::Geometry);
}

void MainView::addMenu(Field& menu) {
  HMENU popup = ::CreatePopupMenu();
  menus_[&menu] = popup;
  // The "&" of the caption marks its access key, as in the model's texts.
  ::AppendMenuW(menuBar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), wideFromUtf8(menu.text()).c_str());
}

void MainView::addMenuItem(Field& item) {
  auto menu = menus_.find(item.parent());
  if (menu == menus_.end()) return;
  const auto command = static_cast<UINT_PTR>(kFirstMenuCommand + menuItems_.size());
  menuItems_.push_back(&item);
  ::AppendMenuW(menu->second, MF_STRING, command, wideFromUtf8(item.text()).c_str());
  syncMenu(item);
}

void MainView::addControl(Field& field) {
  const ControlKind* kind = controlKindFor(field.kind());
  if (kind == nullptr) return;
  auto parent = byField_.find(field.parent());
  HWND parentWindow = parent == byField_.end() ? window_ : parent->second->hwnd;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind->style;
  if (field.visible()) style |= WS_VISIBLE;
  if (!field.enabled()) style |= WS_DISABLED;
  const auto id = static_cast<UINT_PTR>(kFirstControlId + controls_.size());
  auto control = std::make_unique<Control>(Control{this, &field});
  control->stacking = kind->stacking;
  control->hwnd = ::CreateWindowExW(kind->exStyle, kind->windowClass, L"", style, field.left(), field.top(),
                                    field.width(), field.height(), parentWindow, reinterpret_cast<HMENU>(id),
                                    ::GetModuleHandleW(nullptr), nullptr);
  if (control->hwnd == nullptr) return;
  if (field.kind() == FieldKind::ImageButton) {
    control->picture = loadFieldPicture(field.name(), kButtonImageSize, kButtonImageSize);
    control->disabledPicture = loadDisabledFieldPicture(field.name(), kButtonImageSize, kButtonImageSize);
  } else if (field.kind() == FieldKind::Picture) {
    control->picture = loadFieldPicture(field.name(), field.width(), field.height());
  }
  ::SetWindowLongPtrW(control->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
  control->original = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(control->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainView::controlProc)));
  Control& added = *control;
  byField_[&field] = control.get();
  controls_.push_back(std::move(control));
  for (Property property : {Property::Font, Property::Text, Property::Checked, Property::Geometry}) {
    sync(added, property);
  }
}

void MainView::stackControls() {
  // Among its siblings a control's place is its stacking, then its order of
  // creation, which is also the order the focus takes with Tab.
  std::vector<Control*> order;
  for (auto& control : controls_) order.push_back(control.get());
  std::stable_sort(order.begin(), order.end(),
                   [](const Control* a, const Control* b) { return a->stacking > b->stacking; });
  std::unordered_map<HWND, HWND> lastOfParent;
  for (Control* control : order) {
    HWND parent = ::GetParent(control->hwnd);
    auto last = lastOfParent.find(parent);
    HWND after = last == lastOfParent.end() ? HWND_TOP : last->second;
    ::SetWindowPos(control->hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    lastOfParent[parent] = control->hwnd;
  }
}

void MainView::syncForm(Property property) {
  const Field& form = frm_.form;
  if (property == Property::Text) {
    ::SetWindowTextW(window_, wideFromUtf8(form.text()).c_str());
  } else if (property == Property::Geometry) {
    // The model's height is the outer height, with title bar, menu bar and
    // borders; the client area is kClientWidth wide.
    const SIZE outer = outerSizeFor(form.height(), kWindowStyle, 0);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    // A new height must not pull back a window the user has moved.
    if (placed_ && form.left() == placedLeft_ && form.top() == placedTop_) flags |= SWP_NOMOVE;
    placed_ = true;
    placedLeft_ = form.left();
    placedTop_ = form.top();
    ::SetWindowPos(window_, nullptr, form.left(), form.top(), outer.cx, outer.cy, flags);
  }
}

void MainView::syncMenu(const Field& field) {
  if (auto menu = menus_.find(&field); menu != menus_.end()) {
    for (int i = 0, n = ::GetMenuItemCount(menuBar_); i < n; ++i) {
      if (::GetSubMenu(menuBar_, i) != menu->second) continue;
      ::ModifyMenuW(menuBar_, static_cast<UINT>(i), MF_BYPOSITION | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(menu->second), wideFromUtf8(field.text()).c_str());
      ::EnableMenuItem(menuBar_, static_cast<UINT>(i), MF_BYPOSITION | (field.enabled() ? MF_ENABLED : MF_GRAYED));
    }
    ::DrawMenuBar(window_);
    return;
  }
  auto item = std::find(menuItems_.begin(), menuItems_.end(), &field);
  auto menu = menus_.find(field.parent());
  if (item == menuItems_.end() || menu == menus_.end()) return;
  const auto command = static_cast<UINT>(kFirstMenuCommand + (item - menuItems_.begin()));
  UINT flags = MF_BYCOMMAND | MF_STRING;
  if (field.checked()) flags |= MF_CHECKED;
  if (!field.enabled()) flags |= MF_GRAYED;
  ::ModifyMenuW(menu->second, command, flags, command, wideFromUtf8(field.text()).c_str());
}

void MainView::fieldChanged(Field& field, Property property) {
  if (&field == &frm_.form) return syncForm(property);
  if (field.kind() == FieldKind::Menu || field.kind() == FieldKind::MenuItem) return syncMenu(field);
  if (auto control = byField_.find(&field); control != byField_.end()) sync(*control->second, property);
}

void MainView::repaintNow(Field& field) {
  // The program is busy on the serial line; paint now, not at the next wait.
  HWND hwnd = &field == &frm_.form ? window_ : controlFor(field);
  if (hwnd != nullptr)
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void MainView::sync(Control& control, Property property) {
  const Field& field = *control.field;
  switch (property) {
    case Property::Text:
      return showText(control);
    case Property::Colour:
      ::InvalidateRect(control.hwnd, nullptr, TRUE);
      return;
    case Property::Font:
      return showFont(control);
    case Property::Visible:
      ::ShowWindow(control.hwnd, field.visible() ? SW_SHOWNA : SW_HIDE);
      return;
    case Property::Enabled:
      ::EnableWindow(control.hwnd, field.enabled() ? TRUE : FALSE);
      return;
    case Property::Checked:
      if (field.kind() == FieldKind::Radio) {
        ::SendMessageW(control.hwnd, BM_SETCHECK, field.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      return;
    case Property::Geometry:
      return showGeometry(control);
    case Property::Focus:
      return showFocus(control);
  }
}

void MainView::showText(Control& control) {
  const std::wstring text = wideFromUtf8(control.field->text());
  // Only a different text is written: rewriting the same one would move the
  // cursor under the user's fingers while typing.
  if (windowText(control.hwnd) != text) {
    writing_ = true;
    ::SetWindowTextW(control.hwnd, text.c_str());
    writing_ = false;
  }
  if (control.field->kind() == FieldKind::Label) showGeometry(control);
}

void MainView::showFont(Control& control) {
  control.font = gdi_.font(control.field->font());
  ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), TRUE);
  if (control.field->kind() == FieldKind::Edit) {
    // A pixel of padding at either side, as narrow as the cells need.
    ::SendMessageW(control.hwnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(1, 1));
  }
  if (control.field->kind() == FieldKind::Label) showGeometry(control);
}

void MainView::showGeometry(Control& control) {
  const Field& field = *control.field;
  int width = field.width();
  int height = field.height();
  if (field.kind() == FieldKind::Label) {
    const std::wstring text = wideFromUtf8(field.text());
    HFONT font = gdi_.font(field.font());
    SIZE extent = textExtent(control.hwnd, font, text);
    if (width == 0) {
      // A label without a width of its own is as large as its text.
      width = extent.cx;
      height = extent.cy;
    } else if (extent.cx > width) {
      // A label of fixed width narrows its font until the text fits, so a
      // long revision or a five-digit speed is never cut off.
      int percent = 100;
      while (percent > 60 && extent.cx > width) {
        percent -= 5;
        font = gdi_.font(field.font(), percent);
        extent = textExtent(control.hwnd, font, text);
      }
    }
    control.font = font;
    ::InvalidateRect(control.hwnd, nullptr, FALSE);
  }
  ::SetWindowPos(control.hwnd, nullptr, field.left(), field.top(), width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainView::showFocus(Control& control) {
  // A control hidden in its window cannot take the focus; the model keeps it.
  if (!::IsWindowVisible(control.hwnd) || !::IsWindowEnabled(control.hwnd)) return;
  ::SetFocus(control.hwnd);
  if (control.field->kind() == FieldKind::Edit) ::SendMessageW(control.hwnd, EM_SETSEL, 0, -1);
}

LRESULT CALLBACK MainView::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = reinterpret_cast<MainView*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (view == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return view->onMessage(message, wParam, lParam);
}

LRESULT MainView::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(wParam, lParam);
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return onColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CLOSE:
      onClose();
      return 0;
    case WM_SETFOCUS:
      // Back to the window: the focus returns to the field that had it.
      if (Field* focused = frm_.model.focused()) {
        if (HWND hwnd = controlFor(*focused); hwnd != nullptr && ::IsWindowVisible(hwnd)) ::SetFocus(hwnd);
      }
      return 0;
    case WM_ENDSESSION:
      // Windows is ending the session: the process ends without a close.
      if (wParam) beforeProgramEnds(program_);
      return 0;
    default:
      return ::DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainView::onClose() {
  if (gate_.inOperation()) {
    // The window stays until the operation has ended; the close then ends
    // the program as it would have at once.
    MSG close{};
    close.hwnd = window_;
    close.message = WM_CLOSE;
    gate_.hold(close);
    return;
  }
  run([this] { FormOnClose(program_); });
}

void MainView::onCommand(WPARAM wParam, LPARAM lParam) {
  const WORD id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  if (lParam == 0) {
    // A menu command (an accelerator has none here).
    const std::size_t index = id - kFirstMenuCommand;
    if (id < kFirstMenuCommand || index >= menuItems_.size()) return;
    Field* item = menuItems_[index];
    run([item] { item->click(); });
    return;
  }
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWLP_USERDATA));
  if (control == nullptr || control->view != this) return;
  Field& field = *control->field;
  if (field.kind() == FieldKind::Edit && code == EN_CHANGE) {
    // Only the user's typing goes to the model, so the model writing the
    // box does not come back as an edit.
    if (writing_) return;
    const std::string text = utf8FromWide(windowText(control->hwnd));
    run([&field, text] { field.setText(text); });
  } else if ((field.kind() == FieldKind::Radio || field.kind() == FieldKind::ImageButton) &&
             (code == BN_CLICKED || code == BN_DOUBLECLICKED)) {
    run([&field] { field.click(); });
  }
}

LRESULT MainView::onColour(HDC dc, HWND hwnd) {
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (control == nullptr || control->view != this) return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  const Field& field = *control->field;
  // Edit boxes are filled with their modified mark; the other controls with
  // the window's colour.
  const COLORREF fill = field.kind() == FieldKind::Edit ? shownColour(field.colour()) : ::GetSysColor(COLOR_BTNFACE);
  ::SetTextColor(dc, shownColour(field.font().colour));
  ::SetBkColor(dc, fill);
  ::SetBkMode(dc, OPAQUE);
  return reinterpret_cast<LRESULT>(gdi_.brush(fill));
}

void MainView::onDrawItem(const DRAWITEMSTRUCT& item) {
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(item.hwndItem, GWLP_USERDATA));
  if (control == nullptr || control->view != this) return;
  const Field& field = *control->field;
  HDC dc = item.hDC;
  RECT area = item.rcItem;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (field.kind() == FieldKind::ImageButton) {
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    // A disabled button shows its greyed image; one without a greyed image
    // fades its own.
    HBITMAP image = disabled && control->disabledPicture != nullptr ? control->disabledPicture : control->picture;
    const BYTE opacity = disabled && control->disabledPicture == nullptr ? 80 : 255;
    BITMAP info{};
    if (image != nullptr && ::GetObjectW(image, sizeof info, &info) != 0) {
      const int shift = pushed ? 1 : 0;
      drawPicture(dc, image, (width - info.bmWidth) / 2 + shift, (height - info.bmHeight) / 2 + shift, opacity);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
      RECT focus = area;
      ::InflateRect(&focus, -4, -4);
      ::DrawFocusRect(dc, &focus);
    }
    return;
  }
}

void MainView::paint(Control& control) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(control.hwnd, &paint);
  const Field& field = *control.field;
  RECT area;
  ::GetClientRect(control.hwnd, &area);
  switch (field.kind()) {
    case FieldKind::Label: {
      // A label paints its background, as the window's labels always have.
      ::FillRect(dc, &area, gdi_.brush(shownColour(field.colour())));
      const std::wstring text = wideFromUtf8(field.text());
      HGDIOBJ old = ::SelectObject(dc, control.font);
      ::SetTextColor(dc, shownColour(field.font().colour));
      ::SetBkMode(dc, TRANSPARENT);
      ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_SINGLELINE | DT_NOPREFIX | DT_TOP | textAlignment(field.alignment()));
      ::SelectObject(dc, old);
      break;
    }
    case FieldKind::Rectangle:
      ::FillRect(dc, &area, gdi_.brush(shownColour(field.colour())));
      break;
    case FieldKind::Circle: {
      ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
      const COLORREF fill = shownColour(field.colour());
      HPEN pen = ::CreatePen(PS_SOLID, 1, darker(fill));
      HGDIOBJ oldPen = ::SelectObject(dc, pen);
      HGDIOBJ oldBrush = ::SelectObject(dc, gdi_.brush(fill));
      ::Ellipse(dc, area.left, area.top, area.right, area.bottom);
      ::SelectObject(dc, oldBrush);
      ::SelectObject(dc, oldPen);
      ::DeleteObject(pen);
      break;
    }
    default:
      ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
      drawPicture(dc, control.picture, 0, 0);
      break;
  }
  ::EndPaint(control.hwnd, &paint);
}

LRESULT CALLBACK MainView::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<Control*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (control == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  return control->view->onControlMessage(*control, message, wParam, lParam);
}

LRESULT MainView::onControlMessage(Control& control, UINT message, WPARAM wParam, LPARAM lParam) {
  const FieldKind kind = control.field->kind();
  const bool painted = control.original == ::DefWindowProcW;
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      // A group box hands what its controls tell their parent on to the
      // window, which knows every field.
      if (kind == FieldKind::GroupBox) return ::SendMessageW(window_, message, wParam, lParam);
      break;
    case WM_ERASEBKGND:
      if (painted) return TRUE;  // painted whole in WM_PAINT
      if (kind == FieldKind::GroupBox) {
        // A group box leaves its inside to its parent; what a control moving
        // inside it uncovers must be painted over here.
        RECT inside;
        ::GetClientRect(control.hwnd, &inside);
        ::FillRect(reinterpret_cast<HDC>(wParam), &inside, ::GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
      }
      break;
    case WM_SETFOCUS: {
      const LRESULT result = ::CallWindowProcW(control.original, control.hwnd, message, wParam, lParam);
      // The model hears of focus the user moved; nothing is echoed back.
      if (frm_.model.focused() != control.field) frm_.model.noteFocus(control.field);
      // A box that gets the focus has its whole text selected, so typing
      // replaces the value; a click then puts the cursor where it was made.
      if (kind == FieldKind::Edit) ::SendMessageW(control.hwnd, EM_SETSEL, 0, -1);
      return result;
    }
    case WM_PAINT:
      if (painted) {
        paint(control);
        return 0;
      }
      break;
    case WM_NCHITTEST:
      // Texts, shapes and pictures take no clicks; what lies beneath does.
      if (painted) return HTTRANSPARENT;
      break;
    case WM_KEYDOWN:
      if (onKeyDown(control, wParam)) return 0;
      break;
    case WM_CHAR:
      if (onCharacter(control, wParam)) return 0;
      break;
    default:
      break;
  }
  return ::CallWindowProcW(control.original, control.hwnd, message, wParam, lParam);
}

// A key reaches the field's key-down handler first and then, when it types a
// character, its key-press handler, the order in which the window system
// reports them. Each returns whether the control must not see the key.
bool MainView::onKeyDown(Control& control, WPARAM key) {
  // The window is not a dialog: Tab and Shift+Tab are taken here.
  if (key == VK_TAB) {
    moveFocusOn(control.hwnd, ::GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  Field& field = *control.field;
  // A key that still comes in while an operation runs (a message box of
  // the operation is open) has no handler to go to.
  if (gate_.inOperation()) return field.kind() == FieldKind::Edit;
  const int modelKey = modelKeyFor(key);
  if (modelKey == 0 || !field.onKeyDown) return false;
  Field* before = frm_.model.focused();
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  run([&field, modelKey, shift] { field.onKeyDown(modelKey, shift); });
  // When the handler moved the focus away, the key was navigation; the box
  // it left must not also move its cursor or selection.
  Field* after = frm_.model.focused();
  return after != before && after != &field;
}

bool MainView::onCharacter(Control& control, WPARAM& character) {
  if (character == L'\t') return true;  // Tab moved the focus at its key-down
  Field& field = *control.field;
  if (gate_.inOperation()) return field.kind() == FieldKind::Edit;
  const int typed = modelCharacterFor(character);
  if (typed == 0 || !field.onKeyPress) return false;
  int key = typed;
  run([&field, &key] { field.onKeyPress(key); });
  if (key == 0) return true;  // the handler consumed it: nothing typed, no beep
  character = static_cast<WPARAM>(key);
  return false;
}

void MainView::moveFocusOn(HWND from, bool backwards) {
  HWND next = ::GetNextDlgTabItem(window_, from, backwards ? TRUE : FALSE);
  if (next != nullptr && next != from) ::SetFocus(next);
}

void MainView::run(const std::function<void()>& handler) {
  gate_.run([this, handler] { guarded(program_, handler); });
}

}  // namespace korvane::win32
