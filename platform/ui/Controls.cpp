#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWheelEvent>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

std::optional<TMouseButton> ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
  }
}

TPoint PosOf(const QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s;
  if (modifiers & Qt::ShiftModifier) s << ssShift;
  if (modifiers & Qt::ControlModifier) s << ssCtrl;
  if (modifiers & Qt::AltModifier) s << ssAlt;
  if (buttons & Qt::LeftButton) s << ssLeft;
  if (buttons & Qt::RightButton) s << ssRight;
  if (buttons & Qt::MiddleButton) s << ssMiddle;
  return s;
}

WORD VirtualKeyOf(int k) {
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return static_cast<WORD>(k);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return static_cast<WORD>(VK_F1 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    default: return 0;
  }
}

TForm* GetParentForm(const TControl* control) {
  if (!control) return nullptr;
  return dynamic_cast<TForm*>(const_cast<QWidget*>(control->window()));
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : QWidget(nullptr), TComponent(AOwner) {
  setMouseTracking(true);  // the class library reports every move, not only while a button is held
  setGeometry(0, 0, 0, 0);
  FLastSize = QSize(0, 0);
  FFont.OnChange = [this] {
    FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  DestroyComponents();
  if (TForm* form = GetParentForm(this)) form->ControlGone(this);
  if (FParent) {
    TWinControl* p = FParent;
    FParent = nullptr;
    QWidget::setParent(nullptr);
    p->Realign();
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  TWinControl* old = FParent;
  FParent = parent;
  const QRect geometry = this->geometry();
  QWidget::setParent(parent);
  setGeometry(geometry);
  if (parent) QWidget::setVisible(FVisible);
  if (old) old->Realign();
  if (parent) {
    ParentColorChanged();
    ParentFontChanged();
    RequestAlign();
  }
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (IsWindowControl()) {
    move(left, top);
    resize(width, height);
  } else {
    setGeometry(left, top, width, height);
  }
  CheckSizeChanged();
  if (FAlign != alNone) RequestAlign();
}

void TControl::CheckSizeChanged() {
  if (size() == FLastSize) return;
  FLastSize = size();
  SizeChanged();
  Resize();
}

void TControl::RequestAlign() {
  if (FParent && !FParent->FAligning) FParent->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  RequestAlign();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (FParent) QWidget::setVisible(visible);
  VisibleChanged();
  if (FAlign != alNone) RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  QWidget::setEnabled(enabled);
  EnabledChanged();
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  FParentColor = false;
  ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (FParent) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (FParentColor && FParent) {
    SetColor(FParent->Color());
    FParentColor = true;
  }
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (FParent) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (FParentFont && FParent) {
    FFont.Assign(FParent->Font());
    FParentFont = true;
  }
}

void TControl::ColorChanged() { Invalidate(); }
void TControl::FontChanged() { Invalidate(); }

void TControl::SetCursor(TCursor cursor) {
  FCursor = cursor;
  if (cursor == crDefault)
    unsetCursor();
  else
    QWidget::setCursor(TScreen::CursorFor(cursor));
}

void TControl::SetHint(const std::string& hint) {
  FHint = hint;
  setToolTip(FShowHint ? ToQString(FHint) : QString());
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  SetHint(FHint);
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  TextChanged();
}

void TControl::Repaint() {
  if (isVisible()) repaint();
}

bool TControl::MouseCapture() const { return QWidget::mouseGrabber() == this; }

void TControl::SetMouseCapture(bool value) {
  if (value)
    grabMouse();
  else if (MouseCapture())
    releaseMouse();
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const QPoint q = mapToGlobal(QPoint(p.X, p.Y));
  return {q.x(), q.y()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const QPoint q = mapFromGlobal(QPoint(p.X, p.Y));
  return {q.x(), q.y()};
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  return handled;
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::mousePressEvent(QMouseEvent* e) {
  const auto button = ButtonOf(e->button());
  if (!button) return e->ignore();
  RunGuarded([&] {
    if (*button == mbLeft) FClicked = true;
    const TPoint p = PosOf(e);
    MouseDown(*button, ShiftStateOf(e->modifiers(), e->buttons()), p.X, p.Y);
  });
}

void TControl::mouseReleaseEvent(QMouseEvent* e) {
  const auto button = ButtonOf(e->button());
  if (!button) return e->ignore();
  RunGuarded([&] {
    const TPoint p = PosOf(e);
    if (*button == mbLeft && FClicked) {
      FClicked = false;
      if (ClientRect().Contains(p)) Click();
    }
    MouseUp(*button, ShiftStateOf(e->modifiers(), e->buttons()), p.X, p.Y);
  });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* e) {
  const auto button = ButtonOf(e->button());
  if (!button) return e->ignore();
  RunGuarded([&] {
    if (*button == mbLeft) DblClick();
    const TPoint p = PosOf(e);
    MouseDown(*button, ShiftStateOf(e->modifiers(), e->buttons()) << ssDouble, p.X, p.Y);
  });
}

void TControl::mouseMoveEvent(QMouseEvent* e) {
  RunGuarded([&] {
    const TPoint p = PosOf(e);
    MouseMove(ShiftStateOf(e->modifiers(), e->buttons()), p.X, p.Y);
  });
}

void TControl::enterEvent(QEnterEvent*) {
  RunGuarded([&] { MouseEnter(); });
}

void TControl::leaveEvent(QEvent*) {
  RunGuarded([&] { MouseLeave(); });
}

void TControl::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) return e->ignore();
  bool handled = false;
  RunGuarded([&] {
    const QPoint g = e->globalPosition().toPoint();
    handled = DoMouseWheel(ShiftStateOf(e->modifiers(), e->buttons()), delta, TPoint{g.x(), g.y()});
  });
  e->setAccepted(handled);
}

void TControl::resizeEvent(QResizeEvent*) {
  RunGuarded([&] { CheckSizeChanged(); });
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  setFocusPolicy(Qt::NoFocus);
  setAutoFillBackground(true);
  UpdateBackground();
}

TWinControl::~TWinControl() {
  DestroyComponents();
  FAligning = true;  // nothing to lay out any more
  for (QObject* o : children())
    if (auto* c = dynamic_cast<TControl*>(o))
      if (c->FParent == this) c->FParent = nullptr;
}

int TWinControl::ControlCount() const {
  int n = 0;
  for (QObject* o : children())
    if (auto* c = dynamic_cast<TControl*>(o); c && c->FParent == this) ++n;
  return n;
}

TControl* TWinControl::Controls(int index) const {
  int n = 0;
  for (QObject* o : children())
    if (auto* c = dynamic_cast<TControl*>(o); c && c->FParent == this)
      if (n++ == index) return c;
  return nullptr;
}

void TWinControl::SetTabStop(bool value) {
  FTabStop = value;
  setFocusPolicy(value ? Qt::TabFocus : Qt::NoFocus);
}

bool TWinControl::CanFocus() const { return isVisible() && isEnabled(); }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  setFocus(Qt::OtherFocusReason);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyPress(TKeyChar& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

TWinControl::TKeyOutcome TWinControl::TranslateKey(QKeyEvent* e) {
  TKeyOutcome out;
  WORD key = VirtualKeyOf(e->key());
  if (key) KeyDown(key, ShiftStateOf(e->modifiers()));
  out.Key = key;
  for (char32_t ch : e->text().toUcs4()) {
    TKeyChar k = ch;
    KeyPress(k);
    if (k) out.Typed.append(QString::fromUcs4(&k, 1));
  }
  return out;
}

void TWinControl::keyPressEvent(QKeyEvent* e) {
  RunGuarded([&] {
    const TKeyOutcome outcome = TranslateKey(e);
    for (char32_t ch : outcome.Typed.toUcs4()) KeyTyped(ch);
  });
  e->accept();
}

void TWinControl::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  RunGuarded([&] {
    // The form remembers its active control: coming back from another window
    // refocuses it without Enter, and Exit fires only for a move inside the form.
    if (TForm* form = GetParentForm(this))
      form->FocusEntered(this);
    else
      DoEnter();
  });
}

void TWinControl::UpdateBackground() {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(Color()));
  setPalette(pal);
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  UpdateBackground();
  for (int i = 0, n = ControlCount(); i < n; ++i) Controls(i)->ParentColorChanged();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (int i = 0, n = ControlCount(); i < n; ++i) Controls(i)->ParentFontChanged();
}

void TWinControl::Realign() {
  if (FAligning) return;
  FAligning = true;
  try {
    TRect r = ClientRect();
    AlignControls(r);
  } catch (...) {
    FAligning = false;
    throw;
  }
  FAligning = false;
}

void TWinControl::AlignControls(TRect& rect) {
  std::vector<TControl*> all;
  for (int i = 0, n = ControlCount(); i < n; ++i) all.push_back(Controls(i));
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : all)
      if (c->Align() == a && c->Visible()) list.push_back(c);
    // Those nearer their side come first, as they were placed.
    std::stable_sort(list.begin(), list.end(), [a](TControl* x, TControl* y) {
      switch (a) {
        case alTop: return x->Top() < y->Top();
        case alBottom: return x->Top() + x->Height() > y->Top() + y->Height();
        case alLeft: return x->Left() < y->Left();
        case alRight: return x->Left() + x->Width() > y->Left() + y->Width();
        default: return false;
      }
    });
    for (TControl* c : list) {
      const int w = c->Width(), h = c->Height();
      switch (a) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
          rect.Top += h;
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
          rect.Bottom -= h;
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, w, rect.Height());
          rect.Left += w;
          break;
        case alRight:
          c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
          rect.Right -= w;
          break;
        default: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
      }
    }
  }
}

// ---------------------------------------------------------------- painting

void TControlPainter::PaintWidget(QWidget* w, QRgb fill, const std::function<void()>& paint) {
  const QSize size = w->size();
  if (size.isEmpty()) return;
  if (FImage.size() != size) FImage = QImage(size, QImage::Format_ARGB32_Premultiplied);
  FImage.fill(fill);
  FCanvas.SetTarget(&FImage);
  FCanvas.ResetClipRect();
  RunGuarded(paint);
  QPainter p(w);
  p.drawImage(0, 0, FImage);
}

void TControlPainter::PaintImage(QImage& image, const std::function<void()>& paint) {
  FCanvas.SetTarget(&image);
  FCanvas.ResetClipRect();
  try {
    paint();
  } catch (...) {
    FCanvas.SetTarget(&FImage);
    throw;
  }
  FCanvas.SetTarget(&FImage);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { setFocusPolicy(Qt::NoFocus); }

void TGraphicControl::PaintTo(QImage& image) {
  FPainter.PaintImage(image, [this] { Paint(); });
}

void TGraphicControl::paintEvent(QPaintEvent*) {
  FPainter.PaintWidget(this, 0u, [this] { Paint(); });
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomControl::PaintTo(QImage& image) {
  FPainter.PaintImage(image, [this] { Paint(); });
}

void TCustomControl::paintEvent(QPaintEvent*) {
  FPainter.PaintWidget(this, ToQRgb(Color()), [this] { Paint(); });
}
