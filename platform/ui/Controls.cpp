#include "ui/Controls.h"

#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPalette>
#include <QPointer>
#include <QPolygon>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace {

constexpr int kScrollBarSize = 16;  // the classic SM_CXVSCROLL

std::optional<TMouseButton> ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton: return mbLeft;
    case Qt::RightButton: return mbRight;
    case Qt::MiddleButton: return mbMiddle;
    default: return std::nullopt;
  }
}

// The control that holds the mouse by SetMouseCapture.
TControl* gCaptureHolder = nullptr;

// Where the last mouse event happened (screen), and whether a button is
// still held: a drag begun during a press starts from there.
TPoint gLastMousePos{0, 0};
bool gMouseHeld = false;

}  // namespace

// ---------------------------------------------------------------- widgets

/** The widget of a control. The outer one is the whole window; a windowed
 *  control with a frame or scroll bars has a client one inside it. Every Qt
 *  event is turned into the control's handlers here. */
class TControlWidget : public QWidget {
public:
  enum TRole { rOuter, rClient };
  TControlWidget(TControl* control, TRole role, QWidget* parent) : QWidget(parent), FControl(control), FRole(role) {
    setMouseTracking(true);  // the class library reports every move, not only while a button is held
  }
  ~TControlWidget() override {
    if (FControl && FRole == rOuter) FControl->FHandle = nullptr;  // gone with a Qt parent: forget it
  }
  TControl* Control() const { return FControl; }
  void Detach() { FControl = nullptr; }
  TRole Role() const { return FRole; }

protected:
  bool event(QEvent* e) override;

private:
  bool Framed() const;
  TControl* FControl;
  TRole FRole;
};

/** Transient marks of a windowed control: inverts its rectangles over
 *  whatever lies beneath, children included. */
class TInvertOverlay : public QWidget {
public:
  TInvertOverlay(TWinControl* control, QWidget* parent) : QWidget(parent), FControl(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  std::vector<std::pair<TRect, bool>> Marks;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const auto& [r, pattern] : Marks) {
      if (!pattern) {
        p.fillRect(ToQRect(r), Qt::white);
        continue;
      }
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left + ((r.Left + y) & 1); x < r.Right; x += 2) p.fillRect(x, y, 1, 1, Qt::white);
    }
  }

private:
  TWinControl* FControl;
};

/** What an attached painter draws over a control. */
class THookOverlay : public QWidget {
public:
  THookOverlay(TControl* control, QWidget* parent) : QWidget(parent), FControl(control) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    if (!FControl->Hook() || width() <= 0 || height() <= 0) return;
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(0u);
    TCanvas canvas(&img);
    RunGuarded([&] { FControl->Hook()->PaintOver(FControl, &canvas); });
    QPainter(this).drawImage(0, 0, img);
  }

private:
  TControl* FControl;
};

/** Hands the events of a hosted Qt widget (and its inner widgets) to the
 *  control first. Keys and mouse presses are delivered to the widget from
 *  here, so what it ignores never travels on to its parents. */
class THostFilter : public QObject {
public:
  explicit THostFilter(TWinControl* control) : QObject(nullptr), FControl(control) {}
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  TWinControl* FControl;
};

bool TControlWidget::Framed() const {
  auto* win = dynamic_cast<TWinControl*>(FControl);
  return win && win->FClient;
}

bool TControlWidget::event(QEvent* e) {
  if (!FControl) return QWidget::event(e);
  TControl* c = FControl;
  auto* win = dynamic_cast<TWinControl*>(c);
  if (FRole == rOuter) {
    bool handled = false;
    RunGuarded([&] { handled = c->WidgetEvent(e); });
    if (handled) return true;
  }
  switch (e->type()) {
    case QEvent::Paint:
      if (FRole == rOuter && Framed())
        RunGuarded([&] { win->PaintNonClient(static_cast<QPaintEvent*>(e)); });
      else
        c->PaintClient(static_cast<QPaintEvent*>(e));
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      // The frame and scroll-bar corner of a framed window take no mouse,
      // unless the window holds it (a pop-up sees the whole screen).
      const bool outside = !rect().contains(me->position().toPoint());
      if (FRole == rOuter && Framed() && !outside && c->FWindowKind != wkPopup) return true;
      c->HandleMouse(me, this);
      return true;
    }
    case QEvent::ContextMenu:
      // The layer raises context menus itself, on the right button's release
      // and on the keys (TControl::ContextMenu).
      return true;
    case QEvent::Enter:
      if (FRole == rOuter) RunGuarded([&] {
          c->Notify(TControlMessage::MouseEnter);
          c->MouseEnter();
        });
      return true;
    case QEvent::Leave:
      if (FRole == rOuter) {
        if (Application) Application->CancelHint();
        RunGuarded([&] {
          c->Notify(TControlMessage::MouseLeave);
          c->MouseLeave();
        });
      }
      return true;
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      const int delta = we->angleDelta().y();
      bool handled = false;
      if (delta != 0)
        RunGuarded([&] {
          const QPoint g = we->globalPosition().toPoint();
          handled = c->DoMouseWheel(ShiftStateOf(we->modifiers(), we->buttons()), delta, TPoint{g.x(), g.y()});
        });
      we->setAccepted(handled);
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      // A pop-up never has the focus: its keys belong to the control that opened it.
      if (c->FWindowKind == wkPopup)
        if (auto* host = dynamic_cast<TWinControl*>(c->FHost)) {
          host->HandleKey(static_cast<QKeyEvent*>(e), e->type() == QEvent::KeyPress);
          return true;
        }
      if (win) {
        auto* ke = static_cast<QKeyEvent*>(e);
        // Tab moves the focus unless the control wants it (Qt does the move).
        const bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
        if (tab && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            !(win->DialogCode() & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
          return QWidget::event(e);
        win->HandleKey(ke, e->type() == QEvent::KeyPress);
        return true;
      }
      break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      if (win) {
        QWidget::event(e);
        win->HandleFocus(static_cast<QFocusEvent*>(e), e->type() == QEvent::FocusIn);
        return true;
      }
      break;
    case QEvent::ToolTip:
      if (Application && !c->Hint().empty() && c->ShowHint())
        Application->ActivateHint(c, static_cast<QHelpEvent*>(e)->globalPos());
      return true;
    case QEvent::Hide:
      // Qt closes pop-ups by itself too (another window was activated).
      if (FRole == rOuter && c->FWindowKind != wkChild && c->FVisible) {
        c->FVisible = false;
        RunGuarded([c] { c->VisibleChanged(); });
      }
      if (c->MouseCapture()) c->HandleCaptureLost();
      break;
    case QEvent::WindowDeactivate:
      if (c->MouseCapture()) c->HandleCaptureLost();
      break;
    default: break;
  }
  return QWidget::event(e);
}

bool THostFilter::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (!w) return false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      // The control's handlers first, then the widget, through the filters
      // it has of its own (a scroll area's viewport works by one); the
      // widgets never hand the mouse on to their parents (HostWidget). A
      // press that starts a drag, and the mouse of a drag, stay with the layer.
      return FControl->HandleMouse(static_cast<QMouseEvent*>(e), w);
    case QEvent::ContextMenu: return true;  // see TControl::ContextMenu
    case QEvent::Wheel: {
      auto* we = static_cast<QWheelEvent*>(e);
      bool handled = false;
      RunGuarded([&] {
        const QPoint g = we->globalPosition().toPoint();
        handled = FControl->DoMouseWheel(ShiftStateOf(we->modifiers(), we->buttons()), we->angleDelta().y(),
                                         TPoint{g.x(), g.y()});
      });
      if (handled) e->accept();
      return handled;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto* ke = static_cast<QKeyEvent*>(e);
      const bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
      if (tab && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
          !(FControl->DialogCode() & (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return false;  // Qt moves the focus
      FControl->HandleKey(ke, e->type() == QEvent::KeyPress);
      return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      if (w == FControl->FHosted) {
        static_cast<QObject*>(w)->event(e);
        FControl->HandleFocus(static_cast<QFocusEvent*>(e), e->type() == QEvent::FocusIn);
        return true;
      }
      return false;
    case QEvent::ToolTip:
      if (Application && !FControl->Hint().empty() && FControl->ShowHint())
        Application->ActivateHint(FControl, static_cast<QHelpEvent*>(e)->globalPos());
      return true;
    default: return false;
  }
}

// ---------------------------------------------------------------- helpers

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

namespace {

struct TKeyPair {
  int Qt;
  WORD Vk;
};
constexpr TKeyPair kKeys[] = {
    {Qt::Key_Backspace, VK_BACK}, {Qt::Key_Tab, VK_TAB},         {Qt::Key_Backtab, VK_TAB},
    {Qt::Key_Return, VK_RETURN},  {Qt::Key_Enter, VK_RETURN},    {Qt::Key_Shift, VK_SHIFT},
    {Qt::Key_Control, VK_CONTROL}, {Qt::Key_Alt, VK_MENU},       {Qt::Key_Escape, VK_ESCAPE},
    {Qt::Key_Space, VK_SPACE},    {Qt::Key_PageUp, VK_PRIOR},    {Qt::Key_PageDown, VK_NEXT},
    {Qt::Key_End, VK_END},        {Qt::Key_Home, VK_HOME},       {Qt::Key_Left, VK_LEFT},
    {Qt::Key_Up, VK_UP},          {Qt::Key_Right, VK_RIGHT},     {Qt::Key_Down, VK_DOWN},
    {Qt::Key_Insert, VK_INSERT},  {Qt::Key_Delete, VK_DELETE},   {Qt::Key_Menu, VK_APPS},
};

}  // namespace

WORD VirtualKeyOf(int k) {
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return static_cast<WORD>(k);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return static_cast<WORD>(VK_F1 + (k - Qt::Key_F1));
  for (const TKeyPair& p : kKeys)
    if (p.Qt == k) return p.Vk;
  return 0;
}

int QtKeyOf(WORD vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
  for (const TKeyPair& p : kKeys)
    if (p.Vk == vk) return p.Qt;
  return 0;
}

TForm* GetParentForm(const TControl* control) {
  // The outermost one: a form docked into another belongs to that one's window.
  const TForm* form = nullptr;
  for (const TControl* c = control; c; c = c->Parent())
    if (auto* f = dynamic_cast<const TForm*>(c)) form = f;
  return const_cast<TForm*>(form);
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
  TControl* c = TControl::FromWidget(QApplication::widgetAt(ToQPoint(screenPos)));
  while (c && !allowDisabled && !c->Enabled()) c = c->Parent();
  return c;
}

TWinControl* FindControlAt(TPoint screenPos) {
  TControl* c = FindDragTarget(screenPos, false);
  while (c && !dynamic_cast<TWinControl*>(c)) c = c->Parent();
  return static_cast<TWinControl*>(c);
}

// ---------------------------------------------------------------- TControlPainter

void TControlPainter::Fit(QWidget* w, TColor newArea) {
  const QSize size = w->size();
  if (FImage.size() == size) return;
  QImage old = FImage;
  FImage = QImage(size, QImage::Format_ARGB32_Premultiplied);
  FImage.fill(newArea == clNone ? 0u : ToQRgb(newArea));
  if (!old.isNull()) {
    QPainter p(&FImage);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, old);
  }
}

void TControlPainter::PaintWidget(QWidget* w, const QRegion& region, TColor newArea,
                                  const std::function<void(const TRect&)>& erase,
                                  const std::function<void()>& paint) {
  if (w->width() <= 0 || w->height() <= 0) return;
  Fit(w, newArea);
  const QRect box = region.boundingRect() & QRect(QPoint(0, 0), w->size());
  if (box.isEmpty()) return;
  const TRect area = FromQRect(box);
  FCanvas.SetTarget(&FImage);
  FCanvas.ResetClipRect();
  FCanvas.SetPaintArea(area);
  RunGuarded([&] {
    if (erase) erase(area);
    paint();
  });
  FCanvas.ResetClipRect();
  FCanvas.ClearPaintArea();
  QPainter p(w);
  p.setClipRegion(region);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.drawImage(box.topLeft(), FImage, box);
}

void TControlPainter::PaintImage(QImage& image, const std::function<void()>& paint) {
  FCanvas.SetTarget(&image);
  FCanvas.ResetClipRect();
  FCanvas.ClearPaintArea();
  try {
    paint();
  } catch (...) {
    FCanvas.SetTarget(&FImage);
    throw;
  }
  FCanvas.ResetClipRect();
  FCanvas.SetTarget(&FImage);
}

void TControlPainter::ClearArea(const TRect& r) {
  if (FImage.isNull()) return;
  QPainter p(&FImage);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(ToQRect(r), Qt::transparent);
}

void TControlPainter::Scroll(int dx, int dy, const TRect& clip) {
  if (FImage.isNull()) return;
  const QRect c = ToQRect(clip) & FImage.rect();
  if (c.isEmpty()) return;
  const QImage src = FImage.copy(c);
  QPainter p(&FImage);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.setClipRect(c);
  p.drawImage(c.topLeft() + QPoint(dx, dy), src);
}

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* AOwner) : TControl(AOwner, false) {}

TControl::TControl(TComponent* AOwner, bool windowed) : TComponent(AOwner) {
  FHandle = new TControlWidget(this, TControlWidget::rOuter, nullptr);
  FHandle->setGeometry(0, 0, 0, 0);
  FHandle->setFocusPolicy(Qt::NoFocus);
  if (!windowed) FHandle->setAttribute(Qt::WA_NoSystemBackground);
  FFont.OnChange = [this] {
    FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  Notify(TControlMessage::Destroying);
  FHook = nullptr;
  DestroyComponents();
  LeaveDragAndDock();
  if (gCaptureHolder == this) gCaptureHolder = nullptr;
  if (Application) Application->ControlGone(this);
  // Every form up the parents: a docked form keeps its own focus record.
  for (TControl* c = FParent; c; c = c->Parent())
    if (auto* form = dynamic_cast<TForm*>(c)) form->ControlGone(this);
  if (FParent) {
    TWinControl* p = FParent;
    FParent = nullptr;
    p->RemoveControl(this);
  }
  if (FHandle) {
    static_cast<TControlWidget*>(FHandle)->Detach();
    // Child widgets of the controls still inside went with them; what is
    // left is the layer's own (client, bars, hosted widget, overlays).
    delete FHandle;
    FHandle = nullptr;
  }
}

TControl* TControl::FromWidget(const QWidget* widget) {
  for (const QWidget* w = widget; w; w = w->parentWidget())
    if (auto* cw = dynamic_cast<const TControlWidget*>(w)) return cw->Control();
  return nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  for (TControl* p = parent; p; p = p->Parent())
    if (p == this) throw EInvalidOperation("A control cannot be placed inside itself");
  TWinControl* old = FParent;
  if (old) old->RemoveControl(this);
  FParent = parent;
  if (FWindowKind == wkChild) {
    FHandle->setParent(parent ? parent->ClientWidget() : nullptr);
    ApplyBounds();
  }
  if (parent) {
    parent->InsertControl(this);
    if (FWindowKind == wkChild) FHandle->setVisible(FVisible);
    ParentColorChanged();
    ParentFontChanged();
    ParentShowHintChanged();
    ParentBiDiModeChanged();
    FAnchorRight = parent->ClientWidth() - (FLeft + FWidth);
    FAnchorBottom = parent->ClientHeight() - (FTop + FHeight);
    RequestAlign();
  }
  if (old) old->Realign();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (FConstraints.MaxWidth > 0) width = std::min(width, FConstraints.MaxWidth);
  if (FConstraints.MaxHeight > 0) height = std::min(height, FConstraints.MaxHeight);
  width = std::max(width, FConstraints.MinWidth);
  height = std::max(height, FConstraints.MinHeight);
  const int oldW = FWidth, oldH = FHeight;
  const bool moved = left != FLeft || top != FTop;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  ApplyBounds();
  if (FParent && !FParent->FAligning) {
    FAnchorRight = FParent->ClientWidth() - (FLeft + FWidth);
    FAnchorBottom = FParent->ClientHeight() - (FTop + FHeight);
  }
  CheckSizeChanged(oldW, oldH);
  if (FAlign != alNone && (moved || oldW != FWidth || oldH != FHeight)) RequestAlign();
}

void TControl::ApplyBounds() {
  if (!FHandle) return;
  switch (FWindowKind) {
    case wkChild:
      // A form places its own window (its bounds include the classic frame).
      if (!FHandle->isWindow()) FHandle->setGeometry(FLeft, FTop, FWidth, FHeight);
      break;
    case wkFlyout: {
      // Screen coordinates, placed on the host's form.
      QWidget* top = FHandle->parentWidget();
      const QPoint at = top ? top->mapFromGlobal(QPoint(FLeft, FTop)) : QPoint(FLeft, FTop);
      FHandle->setGeometry(at.x(), at.y(), FWidth, FHeight);
      break;
    }
    case wkPopup:
    case wkHint: FHandle->setGeometry(FLeft, FTop, FWidth, FHeight); break;
  }
  PlaceWidgets();
}

void TControl::CheckSizeChanged(int oldWidth, int oldHeight) {
  if (oldWidth == FWidth && oldHeight == FHeight) return;
  SizeChanged();
  Resize();
}

void TControl::SetClientSize(int width, int height) {
  SetBounds(FLeft, FTop, width + (FWidth - ClientWidth()), height + (FHeight - ClientHeight()));
}

void TControl::RequestAlign() {
  if (FParent && !FParent->FAligning) FParent->Realign();
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  RequestAlign();
}

void TControl::SetAnchors(TAnchors anchors) {
  FAnchors = anchors;
  if (FParent) {
    FAnchorRight = FParent->ClientWidth() - (FLeft + FWidth);
    FAnchorBottom = FParent->ClientHeight() - (FTop + FHeight);
  }
}

void TControl::SetConstraints(const TSizeConstraints& c) {
  FConstraints = c;
  SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (FParent || FWindowKind != wkChild) FHandle->setVisible(visible);
  if (visible && FWindowKind != wkChild) FHandle->raise();
  if (!visible && MouseCapture()) HandleCaptureLost();
  VisibleChanged();
  if (FAlign != alNone) RequestAlign();
  if (FHostDockSite) FHostDockSite->DockClientChanged(this);
}

bool TControl::Showing() const { return FHandle && FHandle->isVisible(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  FHandle->setEnabled(enabled);
  Notify(TControlMessage::EnabledChanged);
  EnabledChanged();
}

void TControl::EnabledChanged() { Invalidate(); }

void TControl::TextChanged() { Invalidate(); }

void TControl::SetColor(TColor color) {
  if (color == FColor && !FParentColor) return;
  const bool changed = color != FColor;
  FColor = color;
  FParentColor = false;
  if (changed) ColorChanged();
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (FParent) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  Notify(TControlMessage::ParentColorChanged);
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

namespace {

template <class F>
void ForEachChild(TControl* c, F f) {
  if (auto* w = dynamic_cast<TWinControl*>(c))
    for (int i = 0; i < w->ControlCount(); ++i) f(w->Controls(i));
}

}  // namespace

void TControl::SetShowHint(bool value) {
  FParentShowHint = false;
  if (value == FShowHint) return;
  FShowHint = value;
  ForEachChild(this, [](TControl* c) { c->ParentShowHintChanged(); });
}

void TControl::SetParentShowHint(bool value) {
  if (value == FParentShowHint) return;
  FParentShowHint = value;
  ParentShowHintChanged();
}

void TControl::ParentShowHintChanged() {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->ShowHint());
  FParentShowHint = true;
}

void TControl::SetBiDiMode(TBiDiMode value) {
  FParentBiDiMode = false;
  const bool changed = value != FBiDiMode;
  FBiDiMode = value;
  BiDiModeChanged();
  if (changed) ForEachChild(this, [](TControl* c) { c->ParentBiDiModeChanged(); });
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == FParentBiDiMode) return;
  FParentBiDiMode = value;
  ParentBiDiModeChanged();
}

void TControl::ParentBiDiModeChanged() {
  if (!FParentBiDiMode || !FParent) return;
  SetBiDiMode(FParent->BiDiMode());
  FParentBiDiMode = true;
}

void TControl::BiDiModeChanged() {
  // Set on each control, so that Qt's own inheritance never overrules ParentBiDiMode.
  FHandle->setLayoutDirection(UseRightToLeftReading() ? Qt::RightToLeft : Qt::LeftToRight);
  Invalidate();
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* AComponent) {
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

bool TControl::ContextMenu(TPoint screenPos, bool byKey) {
  for (TControl* c = this; c; c = c->Parent()) {
    bool handled = false;
    c->DoContextPopup(byKey ? TPoint{-1, -1} : c->ScreenToClient(screenPos), handled);
    if (handled) return true;
    if (TPopupMenu* menu = c->FPopupMenu) {
      const TPoint at = byKey ? c->ClientToScreen({0, 0}) : screenPos;
      menu->SetPopupComponent(c);
      menu->Popup(at.X, at.Y);
      return true;
    }
    if (c->ShowOwnContextMenu(screenPos, byKey)) return true;
  }
  return false;
}

bool TControl::ShowOwnContextMenu(TPoint screenPos, bool byKey) {
  auto* w = dynamic_cast<TWinControl*>(this);
  QWidget* hosted = w ? w->FHosted : nullptr;
  if (!hosted) return false;
  const QPoint global = ToQPoint(byKey ? ClientToScreen({0, 0}) : screenPos);
  // Straight to the widget, past the filter that keeps Qt's own requests
  // out; as a keyboard request, which a scroll area takes on itself rather
  // than on its viewport. The widget places its menu at the global point.
  QContextMenuEvent request(QContextMenuEvent::Keyboard, hosted->mapFromGlobal(global), global);
  request.setAccepted(true);
  static_cast<QObject*>(hosted)->event(&request);
  return request.isAccepted();
}

void TControl::BeginDrag(bool Immediate, int Threshold) {
  const TPoint from = gMouseHeld ? gLastMousePos : FromQPoint(QCursor::pos());
  BeginDragFrom(from, Immediate, Threshold);
}

void TControl::SetCursor(TCursor cursor) {
  FCursor = cursor;
  UpdateQtCursor();
}

void TControl::UpdateQtCursor() {
  QWidget* w = ClientWidget();
  if (FCursor == crDefault)
    w->unsetCursor();
  else
    w->setCursor(TScreen::CursorFor(FCursor));
  if (auto* win = dynamic_cast<TWinControl*>(this); win && win->FHosted) {
    if (FCursor == crDefault)
      win->FHosted->unsetCursor();
    else
      win->FHosted->setCursor(TScreen::CursorFor(FCursor));
  }
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  Notify(TControlMessage::TextChanged);
  TextChanged();
  if (FHostDockSite) FHostDockSite->DockClientChanged(this);
}

void TControl::Invalidate() {
  ClientWidget()->update();
  InvalidateHook();
}

void TControl::InvalidateRect(const TRect& r) {
  ClientWidget()->update(ToQRect(r));
  InvalidateHook();
}

void TControl::Update() {
  if (!Showing()) return;
  // What is invalid waits in the window's repaint manager; an update
  // request makes it paint now.
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(FHandle->window(), &request);
}

void TControl::Repaint() {
  if (!Showing()) return;
  ClientWidget()->repaint();
  if (FHookOverlay) FHookOverlay->repaint();
}

void TControl::BringToFront() {
  FHandle->raise();
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.push_back(this);
  }
}

void TControl::SendToBack() {
  FHandle->lower();
  if (FParent) {
    auto& list = FParent->FControls;
    list.erase(std::find(list.begin(), list.end(), this));
    list.insert(list.begin(), this);
  }
}

bool TControl::MouseCapture() const { return FCaptured || gCaptureHolder == this; }

void TControl::SetMouseCapture(bool value) {
  if (value) {
    if (gCaptureHolder && gCaptureHolder != this) gCaptureHolder->HandleCaptureLost();
    gCaptureHolder = this;
    ClientWidget()->grabMouse();
  } else if (gCaptureHolder == this) {
    gCaptureHolder = nullptr;
    ClientWidget()->releaseMouse();
  }
  if (!value) FCaptured = false;
}

void TControl::HandleCaptureLost() {
  if (DragControl() == this) {
    // The window lost the mouse (deactivated, hidden): the drag is cancelled.
    RunGuarded([] { DragDone(false); });
    return;
  }
  const bool held = MouseCapture();
  if (gCaptureHolder == this) {
    gCaptureHolder = nullptr;
    ClientWidget()->releaseMouse();
  }
  FCaptured = false;
  FClicked = false;
  if (held) RunGuarded([this] { MouseCaptureLost(); });
}

TPoint TControl::ClientToScreen(TPoint p) const { return FromQPoint(ClientWidget()->mapToGlobal(ToQPoint(p))); }

TPoint TControl::ScreenToClient(TPoint p) const { return FromQPoint(ClientWidget()->mapFromGlobal(ToQPoint(p))); }

void TControl::SetWindowKind(TWindowKind kind, TControl* host) {
  if (FParent) SetParent(nullptr);
  FWindowKind = kind;
  FHost = host;
  const bool wasVisible = FVisible;
  FHandle->hide();
  switch (kind) {
    case wkChild: FHandle->setParent(nullptr); break;
    case wkFlyout: {
      TForm* form = host ? GetParentForm(host) : nullptr;
      FHandle->setParent(form ? form->Handle() : nullptr);
      FHandle->setFocusPolicy(Qt::NoFocus);
      break;
    }
    case wkPopup: {
      QWidget* owner = host ? host->Handle()->window() : nullptr;
      FHandle->setParent(owner, Qt::Popup | Qt::FramelessWindowHint);
      break;
    }
    case wkHint:
      FHandle->setParent(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
      FHandle->setAttribute(Qt::WA_ShowWithoutActivating);
      FHandle->setFocusPolicy(Qt::NoFocus);
      break;
  }
  // A floating window starts hidden; a child control keeps its visibility.
  FVisible = kind == wkChild && wasVisible;
  ApplyBounds();
}

void TControl::SetWindowRegion(const std::vector<std::vector<TPoint>>& polygons, const std::vector<TRect>& ellipses) {
  if (polygons.empty() && ellipses.empty()) {
    FHandle->clearMask();
    return;
  }
  QRegion region;
  for (const auto& poly : polygons) {
    QPolygon q;
    for (TPoint p : poly) q << ToQPoint(p);
    region += QRegion(q, Qt::WindingFill);
  }
  for (const TRect& e : ellipses) region += QRegion(ToQRect(e), QRegion::Ellipse);
  FHandle->setMask(region);
}

void TControl::SetHook(IControlHook* hook) {
  FHook = hook;
  if (!hook) {
    ReleaseHookOverlay();
    Invalidate();
    return;
  }
  if (!FHookOverlay) {
    FHookOverlay = new THookOverlay(this, FHandle);
    FHookOverlay->setGeometry(0, 0, FWidth, FHeight);
    FHookOverlay->show();
  }
  FHookOverlay->raise();
  InvalidateHook();
}

void TControl::ReleaseHookOverlay() {
  delete FHookOverlay;
  FHookOverlay = nullptr;
}

void TControl::InvalidateHook() {
  if (FHookOverlay) FHookOverlay->update();
}

void TControl::Notify(TControlMessage message, int param) {
  if (FHook) {
    IControlHook* hook = FHook;
    RunGuarded([&] { hook->ControlMessage(this, message, param); });
  }
}

bool TControl::IsAccel(TKeyChar key, const std::string& caption) {
  auto lower = [](char32_t c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const QString text = ToQString(caption);
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return lower(text[i + 1].toLower().unicode()) == lower(key);
  }
  return false;
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
  if (!handled && WheelDelta != 0)
    handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  return handled;
}
bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}
bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::HandleMouse(QMouseEvent* e, QWidget* from) {
  if (Application && e->type() != QEvent::MouseMove) Application->CancelHint();
  const QPoint global = from->mapToGlobal(e->position().toPoint());
  gLastMousePos = FromQPoint(global);
  gMouseHeld = e->buttons() != Qt::NoButton;
  // While a control is dragged the mouse belongs to the drag.
  if (DragControl()) {
    RunGuarded([&] {
      if (e->type() == QEvent::MouseMove)
        DragTo(gLastMousePos);
      else if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton) {
        DragTo(gLastMousePos);  // the drop is where the button comes up
        DragDone(true);
      }
    });
    return true;
  }
  const TPoint p = FromQPoint(ClientWidget()->mapFromGlobal(global));
  const TShiftState shift = ShiftStateOf(e->modifiers(), e->buttons());
  bool taken = false;
  RunGuarded([&] {
    if (e->type() == QEvent::MouseMove) {
      MouseMove(shift, p.X, p.Y);
      return;
    }
    const auto button = ButtonOf(e->button());
    if (!button) return;
    // An automatic drag starts with the left press, which does nothing else.
    if (*button == mbLeft && FDragMode == dmAutomatic && e->type() != QEvent::MouseButtonRelease) {
      taken = true;
      BeginDrag(false);
      return;
    }
    switch (e->type()) {
      case QEvent::MouseButtonDblClick:
        if (FControlStyle.Contains(csDoubleClicks)) {
          if (*button == mbLeft) {
            Notify(TControlMessage::LButtonDblClk);
            DblClick();
          }
          MouseDown(*button, shift + TShiftState{ssDouble}, p.X, p.Y);
          return;
        }
        [[fallthrough]];  // without double clicks it is another press
      case QEvent::MouseButtonPress:
        if (FControlStyle.Contains(csCaptureMouse)) FCaptured = true;
        if (*button == mbLeft) {
          if (FControlStyle.Contains(csClickEvents)) FClicked = true;
          Notify(TControlMessage::LButtonDown);
        }
        MouseDown(*button, shift, p.X, p.Y);
        return;
      case QEvent::MouseButtonRelease:
        if (e->buttons() == Qt::NoButton) FCaptured = false;
        if (*button == mbLeft && FClicked) {
          FClicked = false;
          if (ClientRect().Contains(p)) Click();
        }
        if (*button == mbLeft) Notify(TControlMessage::LButtonUp);
        MouseUp(*button, shift, p.X, p.Y);
        // The context menu comes with the right button's release.
        if (*button == mbRight && ClientRect().Contains(p)) taken = ContextMenu(gLastMousePos, false);
        return;
      default: return;
    }
  });
  return taken;
}

// ---------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner, true) {
  FControlStyle << csAcceptsControls;
  FHandle->setAutoFillBackground(true);
  UpdateBackground();
}

TWinControl::~TWinControl() {
  FAligning = true;  // nothing to lay out any more
  SetDockSite(false);
  for (TControl* c : FDockClients) c->FHostDockSite = nullptr;
  FDockClients.clear();
  // The children go with their parent, as the class library has it.
  while (!FControls.empty()) delete FControls.back();
  // The widgets below go with the window; nothing of theirs may call back.
  delete FHostFilter;
  FHostFilter = nullptr;
  if (FClient) static_cast<TControlWidget*>(FClient)->Detach();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) return nullptr;
  return FControls[static_cast<size_t>(index)];
}

void TWinControl::InsertControl(TControl* c) { FControls.push_back(c); }

void TWinControl::RemoveControl(TControl* c) {
  auto it = std::find(FControls.begin(), FControls.end(), c);
  if (it != FControls.end()) FControls.erase(it);
  if (!FAligning) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

int TWinControl::ClientWidth() const {
  if (!FClient) return FWidth;
  return std::max(0, FWidth - 2 * FFrameWidth - (FBarShown[sbVertical] ? kScrollBarSize : 0));
}

int TWinControl::ClientHeight() const {
  if (!FClient) return FHeight;
  return std::max(0, FHeight - 2 * FFrameWidth - (FBarShown[sbHorizontal] ? kScrollBarSize : 0));
}

TPoint TWinControl::ClientOrigin() const { return FClient ? TPoint{FFrameWidth, FFrameWidth} : TPoint{0, 0}; }

QWidget* TWinControl::ClientWidget() const { return FClient ? FClient : FHandle; }

void TWinControl::CreateClientArea() {
  if (FClient) return;
  FClient = new TControlWidget(this, TControlWidget::rClient, FHandle);
  FClient->setFocusPolicy(FHandle->focusPolicy());
  FClient->setAutoFillBackground(FHandle->autoFillBackground());
  FClient->setAttribute(Qt::WA_OpaquePaintEvent, FHandle->testAttribute(Qt::WA_OpaquePaintEvent));
  FClient->setPalette(FHandle->palette());
  FHandle->setFocusPolicy(Qt::NoFocus);
  FHandle->setFocusProxy(FClient);
  FHandle->setAttribute(Qt::WA_OpaquePaintEvent, false);
  FHandle->setAutoFillBackground(true);
  for (TControl* c : FControls) c->FHandle->setParent(FClient);
  for (TControl* c : FControls) c->FHandle->setVisible(c->FVisible);
  FClient->show();
  PlaceWidgets();
  UpdateQtCursor();
}

void TWinControl::PlaceWidgets() {
  const int f = FFrameWidth;
  QRect r(f, f, std::max(0, FWidth - 2 * f), std::max(0, FHeight - 2 * f));
  if (FClient) {
    const bool v = FBarShown[sbVertical], h = FBarShown[sbHorizontal];
    if (v && FBars[sbVertical]) {
      FBars[sbVertical]->setGeometry(r.right() + 1 - kScrollBarSize, r.top(), kScrollBarSize,
                                     std::max(0, r.height() - (h ? kScrollBarSize : 0)));
      r.setWidth(std::max(0, r.width() - kScrollBarSize));
    }
    if (h && FBars[sbHorizontal]) {
      FBars[sbHorizontal]->setGeometry(r.left(), r.bottom() + 1 - kScrollBarSize, r.width(), kScrollBarSize);
      r.setHeight(std::max(0, r.height() - kScrollBarSize));
    }
    FClient->setGeometry(r);
  } else {
    r = QRect(0, 0, FWidth, FHeight);
  }
  if (FHosted) FHosted->setGeometry(0, 0, r.width(), r.height());
  if (FInvertOverlay) FInvertOverlay->setGeometry(0, 0, r.width(), r.height());
  if (FHookOverlay) FHookOverlay->setGeometry(0, 0, FWidth, FHeight);
}

void TWinControl::SetFrameWidth(int width) {
  width = std::max(0, width);
  if (width == FFrameWidth) return;
  CreateClientArea();
  FFrameWidth = width;
  PlaceWidgets();
  SizeChanged();
  FHandle->update();
}

void TWinControl::InvalidateFrame() {
  if (!FClient) return;
  QRegion ring(0, 0, FWidth, FHeight);
  ring -= FClient->geometry();
  FHandle->update(ring);
  InvalidateHook();
}

void TWinControl::PaintFrame(TCanvas* canvas, const TRect& rect) {
  TRect r = rect;
  if (FFrameWidth >= 2)
    canvas->DrawEdge(r, EDGE_SUNKEN, BF_RECT);
  else if (FFrameWidth == 1) {
    canvas->Brush.Color = clWindowFrame;
    canvas->FrameRect(r);
  }
}

void TWinControl::PaintNonClient(QPaintEvent* e) {
  if (FWidth <= 0 || FHeight <= 0) return;
  QImage img(FWidth, FHeight, QImage::Format_ARGB32_Premultiplied);
  img.fill(ToQRgb(clBtnFace));
  TCanvas canvas(&img);
  canvas.Font = Font();
  PaintFrame(&canvas, TRect{0, 0, FWidth, FHeight});
  QPainter p(FHandle);
  QRegion ring = e->region();
  ring -= FClient->geometry();
  for (QScrollBar* bar : FBars)
    if (bar && bar->isVisible()) ring -= bar->geometry();
  p.setClipRegion(ring);
  p.drawImage(0, 0, img);
}

// Scroll bars -----------------------------------------------------------------

QScrollBar* TWinControl::ScrollBarWidget(TScrollBarKind kind) const { return FBars[kind]; }

namespace {

int ScrollMaxPos(const TScrollInfo& s) { return std::max(s.Min, s.Max - std::max(s.Page - 1, 0)); }

}  // namespace

void TWinControl::SetScrollInfo(TScrollBarKind kind, const TScrollInfo& info) {
  CreateClientArea();
  TScrollInfo s = info;
  s.Page = std::max(0, s.Page);
  s.Pos = std::clamp(s.Pos, s.Min, ScrollMaxPos(s));
  FScroll[kind] = s;
  QScrollBar*& bar = FBars[kind];
  if (!bar) {
    bar = new QScrollBar(kind == sbVertical ? Qt::Vertical : Qt::Horizontal, FHandle);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setLayoutDirection(Qt::LeftToRight);  // the window keeps its bars as they are, whatever its BiDiMode
    bar->setVisible(FBarShown[kind]);
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [this, kind](int action) {
      ScrollBarAction(kind, action);
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [this, kind] {
      RunGuarded([&] {
        ScrollMessage(kind, SB_THUMBPOSITION, FBars[kind]->sliderPosition());
        ScrollMessage(kind, SB_ENDSCROLL, FScroll[kind].Pos);
      });
      const QSignalBlocker block(FBars[kind]);
      FBars[kind]->setValue(FScroll[kind].Pos);
    });
  }
  const QSignalBlocker block(bar);
  bar->setRange(s.Min, ScrollMaxPos(s));
  bar->setPageStep(s.Page);
  bar->setSingleStep(1);
  if (!bar->isSliderDown()) bar->setValue(s.Pos);
}

TScrollInfo TWinControl::GetScrollInfo(TScrollBarKind kind) const { return FScroll[kind]; }

int TWinControl::GetScrollTrackPos(TScrollBarKind kind) const {
  const QScrollBar* bar = FBars[kind];
  return bar && bar->isSliderDown() ? bar->sliderPosition() : FScroll[kind].Pos;
}

void TWinControl::ShowScrollBar(TScrollBarKind kind, bool show) {
  CreateClientArea();
  if (!FBars[kind]) SetScrollInfo(kind, FScroll[kind]);
  if (FBarShown[kind] == show) return;
  FBarShown[kind] = show;
  FBars[kind]->setVisible(show);
  PlaceWidgets();
  SizeChanged();
}

bool TWinControl::ScrollBarShown(TScrollBarKind kind) const { return FBarShown[kind]; }

void TWinControl::EnableScrollBar(TScrollBarKind kind, bool enable) {
  if (!FBars[kind]) SetScrollInfo(kind, FScroll[kind]);
  FBars[kind]->setEnabled(enable);
}

bool TWinControl::ScrollBarEnabled(TScrollBarKind kind) const { return !FBars[kind] || FBars[kind]->isEnabled(); }

void TWinControl::ScrollBarAction(TScrollBarKind kind, int action) {
  int code = -1;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: return;
  }
  QScrollBar* bar = FBars[kind];
  const int track = bar->sliderPosition();
  RunGuarded([&] { ScrollMessage(kind, code, track); });
  // The bar shows what the window made of it, except while the thumb is dragged.
  if (FBars[kind] && !FBars[kind]->isSliderDown()) FBars[kind]->setSliderPosition(FScroll[kind].Pos);
}

void TWinControl::ScrollWindow(int dx, int dy, const TRect& clip) {
  if (auto* self = dynamic_cast<TCustomControl*>(this)) self->FPainter.Scroll(dx, dy, clip);
  ClientWidget()->scroll(dx, dy, ToQRect(clip));
}

// Inverted marks ---------------------------------------------------------------

void TWinControl::InvertRect(const TRect& r, bool pattern) {
  if (r.IsEmpty()) return;
  auto it = std::find_if(FInverted.begin(), FInverted.end(),
                         [&](const TInverted& m) { return m.R == r && m.Pattern == pattern; });
  if (it != FInverted.end())
    FInverted.erase(it);
  else
    FInverted.push_back({r, pattern});
  UpdateInvertOverlay(r);
}

void TWinControl::ClearInverted() {
  FInverted.clear();
  UpdateInvertOverlay(ClientRect());
}

void TWinControl::UpdateInvertOverlay(const TRect& r) {
  if (!FInvertOverlay) {
    if (FInverted.empty()) return;
    FInvertOverlay = new TInvertOverlay(this, ClientWidget());
    FInvertOverlay->setGeometry(0, 0, ClientWidth(), ClientHeight());
  }
  auto* overlay = static_cast<TInvertOverlay*>(FInvertOverlay);
  overlay->Marks.clear();
  for (const TInverted& m : FInverted) overlay->Marks.push_back({m.R, m.Pattern});
  if (FInverted.empty()) {
    overlay->hide();
    ClientWidget()->update(ToQRect(r));
    return;
  }
  overlay->raise();
  overlay->show();
  overlay->update(ToQRect(r));
}

// Hosting ----------------------------------------------------------------------

void TWinControl::HostWidget(QWidget* inner) {
  FHosted = inner;
  inner->setParent(ClientWidget());
  auto* filter = new THostFilter(this);
  filter->setParent(inner);
  FHostFilter = filter;
  QList<QWidget*> widgets = inner->findChildren<QWidget*>();
  widgets << inner;
  for (QWidget* w : widgets) {
    w->installEventFilter(filter);
    w->setAttribute(Qt::WA_NoMousePropagation);
  }
  inner->setFocusPolicy(FTabStop ? Qt::StrongFocus : Qt::ClickFocus);
  ClientWidget()->setFocusProxy(inner);
  inner->setMouseTracking(true);
  inner->show();
  PlaceWidgets();
  UpdateQtCursor();
}

// Focus and keys ----------------------------------------------------------------

void TWinControl::SetTabStop(bool value) {
  FTabStop = value;
  QWidget* w = FHosted ? FHosted : ClientWidget();
  w->setFocusPolicy(value ? Qt::StrongFocus : (FHosted ? Qt::ClickFocus : Qt::NoFocus));
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  int n = 0;
  for (TControl* c : FParent->FControls) {
    if (c == this) return n;
    if (dynamic_cast<TWinControl*>(c)) ++n;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  int n = 0;
  auto it = list.begin();
  for (; it != list.end() && n < order; ++it)
    if (dynamic_cast<TWinControl*>(*it)) ++n;
  list.insert(it, this);
  // Qt's chain follows the list.
  QWidget* prev = nullptr;
  for (TControl* c : list)
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      QWidget* q = w->FHosted ? w->FHosted : w->ClientWidget();
      if (prev) QWidget::setTabOrder(prev, q);
      prev = q;
    }
}

bool TWinControl::Focused() const {
  const QWidget* focus = QApplication::focusWidget();
  if (!focus) return false;
  return focus == ClientWidget() || focus == FHandle || (FHosted && (focus == FHosted || FHosted->isAncestorOf(focus)));
}

bool TWinControl::CanFocus() const {
  if (!FHandle->isVisible()) return false;
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Enabled() || !c->Visible()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  QWidget* window = FHandle->window();
  if (!window->isActiveWindow()) {
    window->raise();
    window->activateWindow();
  }
  QWidget* target = FHosted ? FHosted : ClientWidget();
  target->setFocus(Qt::OtherFocusReason);
  // A window that is not active yet takes it as its focus later; the form
  // knows its active control already.
  if (!Focused())
    if (TForm* form = GetParentForm(this)) form->SetFocusedControl(this);
}

void TWinControl::HandleFocus(QFocusEvent* e, bool in) {
  RunGuarded([&] {
    TForm* form = GetParentForm(this);
    const Qt::FocusReason reason = e->reason();
    if (in) {
      if (form) form->SetFocusedControl(this);
      if (reason == Qt::PopupFocusReason) return;
      if (form && !form->TakeWidgetFocus(this)) return;
      Notify(TControlMessage::FocusIn);
      FocusGained();
    } else {
      if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
      if (form) form->DropWidgetFocus(this);
      Notify(TControlMessage::FocusOut);
      FocusLost();
    }
  });
}

void TWinControl::HandleKey(QKeyEvent* e, bool press) {
  if (Application) Application->CancelHint();
  const TShiftState shift = ShiftStateOf(e->modifiers());
  WORD key = VirtualKeyOf(e->key());
  bool keyKept = true;
  QString typed;
  RunGuarded([&] {
    if (!press) {
      if (key) {
        Notify(TControlMessage::KeyUp, key);
        KeyUp(key, shift);
      }
      keyKept = key != 0;
      return;
    }
    TForm* form = GetParentForm(this);
    if (key) {
      Notify(TControlMessage::KeyDown, key);
      // Keys a dialog takes: arrows, Enter and Escape go to the form first
      // when the control does not want them.
      unsigned mask = 0;
      if (key >= VK_LEFT && key <= VK_DOWN) mask = DLGC_WANTARROWS;
      if (key == VK_RETURN || key == VK_ESCAPE) mask = DLGC_WANTALLKEYS;
      if (mask && !(DialogCode() & mask) && form && static_cast<TWinControl*>(form)->DialogKey(key, shift)) {
        keyKept = false;
        return;
      }
      KeyDown(key, shift);
      keyKept = key != 0;
      // The context-menu key and Shift+F10 ask for the menu at the control.
      if (key == VK_APPS || (key == VK_F10 && shift == TShiftState{ssShift})) {
        if (ContextMenu(TPoint{0, 0}, true)) keyKept = false;
        return;
      }
      // F10 alone opens the window's menu bar at its first menu, as Alt does.
      if (key == VK_F10 && shift == TShiftState{} && form) {
        auto* bar = qobject_cast<QMenuBar*>(form->MenuWidget());
        if (bar && !bar->actions().isEmpty()) {
          bar->setActiveAction(bar->actions().first());
          keyKept = false;
          return;
        }
      }
    }
    for (char32_t ch : e->text().toUcs4()) {
      TKeyChar k = ch;
      const bool accel = shift.Contains(ssAlt) || !(DialogCode() & DLGC_WANTCHARS);
      if (accel && form && form->BroadcastDialogChar(k, shift)) continue;
      if (shift.Contains(ssAlt)) continue;  // an Alt key nobody took is not typed
      KeyPress(k);
      if (k)
        typed.append(QString::fromUcs4(&k, 1));
      else if (ch == U'\b')
        keyKept = false;  // the hosted widget erases on the key, not on the character
    }
  });
  e->accept();
  if (!FHosted || !FHandle) return;
  // The hosted widget gets what the handlers left of the key.
  if (keyKept && typed == e->text()) {
    static_cast<QObject*>(FHosted)->event(e);
  } else if (keyKept || !typed.isEmpty()) {
    QKeyEvent rest(e->type(), keyKept ? e->key() : Qt::Key_unknown, e->modifiers(), typed, e->isAutoRepeat(),
                   static_cast<quint16>(e->count()));
    static_cast<QObject*>(FHosted)->event(&rest);
  }
  e->accept();
}

bool TWinControl::BroadcastDialogChar(TKeyChar key, TShiftState shift) {
  if (!Enabled() || !Visible()) return false;
  bool used = false;
  RunGuarded([&] { used = DialogChar(key, shift); });
  if (used) return true;
  for (size_t i = 0; i < FControls.size(); ++i) {
    TControl* c = FControls[i];
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      if (w->BroadcastDialogChar(key, shift)) return true;
    } else if (c->Enabled() && c->Visible()) {
      RunGuarded([&] { used = c->DialogChar(key, shift); });
      if (used) return true;
    }
  }
  return false;
}

bool TWinControl::DialogKey(WORD Key, TShiftState Shift) {
  for (size_t i = 0; i < FControls.size(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(FControls[i]); w && w->Visible() && w->Enabled()) {
      bool used = false;
      RunGuarded([&] { used = w->DialogKey(Key, Shift); });
      if (used) return true;
    }
  return false;
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyPress(TKeyChar& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

bool TWinControl::WidgetEvent(QEvent*) { return false; }

// Colours, fonts and layout -----------------------------------------------------

void TWinControl::UpdateBackground() {
  for (QWidget* w : {static_cast<QWidget*>(FHandle), FClient}) {
    if (!w) continue;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    w->setPalette(pal);
  }
}

void TWinControl::ColorChanged() {
  TControl::ColorChanged();
  UpdateBackground();
  for (TControl* c : std::vector<TControl*>(FControls)) c->ParentColorChanged();
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* c : std::vector<TControl*>(FControls)) c->ParentFontChanged();
}

void TWinControl::EnabledChanged() {
  TControl::EnabledChanged();
  InvalidateFrame();
}

void TWinControl::SizeChanged() { Realign(); }

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
  const std::vector<TControl*> all = FControls;
  // Anchored controls keep their distances to the right and bottom edges of
  // the client area, whatever part of it the aligned ones get.
  const int right = ClientWidth(), bottom = ClientHeight();
  for (TControl* c : all) {
    if (c->Align() != alNone || (c->FAnchorRight < 0 && c->FAnchorBottom < 0)) continue;
    const TAnchors a = c->Anchors();
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (a.Contains(akRight)) {
      if (a.Contains(akLeft))
        w = std::max(0, right - c->FAnchorRight - l);
      else
        l = right - c->FAnchorRight - w;
    }
    if (a.Contains(akBottom)) {
      if (a.Contains(akTop))
        h = std::max(0, bottom - c->FAnchorBottom - t);
      else
        t = bottom - c->FAnchorBottom - h;
    }
    if (l != c->Left() || t != c->Top() || w != c->Width() || h != c->Height()) c->SetBounds(l, t, w, h);
  }
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
          rect.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
          rect.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, w, rect.Height());
          rect.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
          rect.Right -= c->Width();
          break;
        default: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
      }
    }
  }
}

// ---------------------------------------------------------------- painting controls

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner, false) {}

void TGraphicControl::PaintTo(QImage& image) {
  FPainter.PaintImage(image, [this] { Paint(); });
}

void TGraphicControl::PaintClient(QPaintEvent*) {
  // Small and see-through: each paint starts from a clear picture.
  QWidget* w = Handle();
  FPainter.PaintWidget(
      w, QRegion(w->rect()), clNone,
      [this](const TRect& r) { FPainter.ClearArea(r); },
      [this] { Paint(); });
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  Handle()->setAutoFillBackground(false);
  Handle()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCustomControl::PaintTo(QImage& image) {
  FPainter.PaintImage(image, [this, &image] {
    EraseBackground(TRect{0, 0, image.width(), image.height()});
    Paint();
  });
}

void TCustomControl::EraseBackground(const TRect& r) {
  if (ControlStyle().Contains(csOpaque)) return;
  TCanvas* c = Canvas();
  const TBrush saved = c->Brush;
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(r);
  c->Brush = saved;
}

void TCustomControl::PaintClient(QPaintEvent* e) {
  FPainter.PaintWidget(
      ClientWidget(), e->region(), Color(), [this](const TRect& r) { EraseBackground(r); }, [this] { Paint(); });
}

void TCustomControl::DrawParentImage(TCanvas* canvas) {
  TWinControl* parent = Parent();
  if (!parent || parent->ClientWidth() <= 0 || parent->ClientHeight() <= 0) return;
  QImage img(parent->ClientWidth(), parent->ClientHeight(), QImage::Format_ARGB32_Premultiplied);
  img.fill(ToQRgb(parent->Color()));
  if (auto* cc = dynamic_cast<TCustomControl*>(parent)) {
    cc->FPainter.PaintImage(img, [&] {
      cc->Canvas()->SetPaintArea(BoundsRect());
      cc->EraseBackground(BoundsRect());
      cc->Paint();
      cc->Canvas()->ClearPaintArea();
    });
  }
  // The parent's windowless controls are part of its picture: they lie
  // under every window on it, this one too.
  QPainter under(&img);
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* g = dynamic_cast<TGraphicControl*>(parent->Controls(i));
    TRect overlap;
    if (!g || !g->Visible() || !IntersectRect(overlap, g->BoundsRect(), BoundsRect())) continue;
    QImage picture(std::max(1, g->Width()), std::max(1, g->Height()), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    g->PaintTo(picture);
    under.drawImage(g->Left(), g->Top(), picture);
  }
  under.end();
  TCanvas source(&img);
  canvas->CopyRect(ClientRect(), source, BoundsRect());
}

// ---------------------------------------------------------------- THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  Font().SetColor(clInfoText);
  SetParentFont(false);
  SetWindowKind(wkHint, nullptr);
}

TRect THintWindow::CalcHintRect(int maxWidth, const std::string& hint) {
  TCanvas* c = Canvas();
  c->Font = Font();
  TRect r{0, 0, maxWidth, 0};
  c->DrawText(hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& rect, const std::string& hint) {
  SetCaption(hint);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  Show();
  Handle()->raise();
  Invalidate();
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush = TBrush{Color(), bsSolid};
  c->FillRect(r);
  c->Brush.Color = clWindowFrame;
  c->FrameRect(r);
  c->Font = Font();
  c->Brush.Style = bsClear;
  TRect text{r.Left + 2, r.Top + 1, r.Right - 2, r.Bottom};
  c->DrawText(Caption(), text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void ReleaseMouseCaptureHolder() { gCaptureHolder = nullptr; }
