#include "ui/Forms.h"

#include "ui/Bitmap.h"
#include "ui/QtServices.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>

#include <cstdio>
#include <optional>

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

void RunGuarded(const std::function<void()>& fn) {
  try {
    fn();
  } catch (...) {
    if (Application) {
      Application->HandleException();
    } else {
      try {
        throw;
      } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
      } catch (...) {
        std::fprintf(stderr, "Unknown exception\n");
      }
    }
  }
}

// ---------------------------------------------------------------- TForm

namespace {

// The classic frame and caption of each border style: across, down.
TSize ClassicFrame(TFormBorderStyle style) {
  switch (style) {
    case bsNone: return {0, 0};
    case bsSingle:
    case bsDialog: return {3 + 3, 3 + 19 + 3};
    case bsSizeable: return {4 + 4, 4 + 19 + 4};
    case bsToolWindow: return {3 + 3, 3 + 15 + 3};
    case bsSizeToolWin: return {4 + 4, 4 + 15 + 4};
  }
  return {0, 0};
}

}  // namespace

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  // A form owned by a form is a window of its own that stays in front of its owner.
  auto* ownerForm = dynamic_cast<TForm*>(AOwner);
  Handle()->setParent(ownerForm ? ownerForm->Handle() : nullptr, Qt::Window);
  CreateClientArea();
  SetParentFont(false);
  SetParentColor(false);
  SetColor(clBtnFace);
  ApplyBorderStyle();
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  DestroyComponents();
  if (FModalLoop) FModalLoop->quit();
  if (Application && Application->FMainForm == this) Application->FMainForm = nullptr;
}

void TForm::AfterConstruction() {
  if (FCreated) return;
  FCreated = true;
  if (OnCreate) OnCreate(this);
}

TSize TForm::FrameSize() const {
  // A form docked or placed inside another control is a child without a frame.
  return Parent() ? TSize{0, 0} : ClassicFrame(FBorderStyle);
}

TSize TForm::NonClientSize() const {
  TSize f = FrameSize();
  f.cy += MenuHeight();
  return f;
}

int TForm::MenuHeight() const {
  return FMenuBar ? std::max(FMenuBar->minimumHeight(), FMenuBar->sizeHint().height()) : 0;
}

int TForm::ClientWidth() const { return std::max(0, Width() - NonClientSize().cx); }
int TForm::ClientHeight() const { return std::max(0, Height() - NonClientSize().cy); }

TPoint TForm::ClientOrigin() const { return {0, MenuHeight()}; }

void TForm::PlaceWidgets() {
  const TSize frame = FrameSize();
  QWidget* w = Handle();
  const int qw = std::max(0, Width() - frame.cx), qh = std::max(0, Height() - frame.cy);
  if (w->size() != QSize(qw, qh)) w->resize(qw, qh);
  if (w->pos() != QPoint(Left(), Top())) w->move(Left(), Top());
  const bool sizeable = FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin;
  if (sizeable) {
    const TSizeConstraints& c = Constraints();
    w->setMinimumSize(c.MinWidth > 0 ? std::max(0, c.MinWidth - frame.cx) : 0,
                      c.MinHeight > 0 ? std::max(0, c.MinHeight - frame.cy) : 0);
    w->setMaximumSize(c.MaxWidth > 0 ? std::max(0, c.MaxWidth - frame.cx) : QWIDGETSIZE_MAX,
                      c.MaxHeight > 0 ? std::max(0, c.MaxHeight - frame.cy) : QWIDGETSIZE_MAX);
  } else {
    w->setFixedSize(qw, qh);
  }
  const int menu = MenuHeight();
  if (FMenuBar) FMenuBar->setGeometry(0, 0, qw, menu);
  if (QWidget* client = ClientWidget(); client != w) client->setGeometry(0, menu, qw, std::max(0, qh - menu));
}

void TForm::SetMenuWidget(QWidget* bar) {
  if (bar == FMenuBar) return;
  FMenuBar = bar;
  if (bar) {
    bar->setParent(Handle());
    bar->show();
  }
  PlaceWidgets();
  SizeChanged();
}

void TForm::SetVisible(bool visible) {
  if (Parent()) {
    TWinControl::SetVisible(visible);
    return;
  }
  QWidget* w = Handle();
  if (visible) {
    if (!FPlaced) {
      PlaceOnScreen();
      FPlaced = true;
    }
    const bool changed = !FVisible;
    FVisible = true;
    w->setVisible(true);
    w->raise();
    w->activateWindow();
    if (changed) VisibleChanged();
  } else if (FVisible) {
    FVisible = false;
    w->setVisible(false);
    VisibleChanged();
  }
}

void TForm::SetParent(TWinControl* parent) {
  if (parent == Parent()) return;
  TWinControl::SetParent(parent);
  if (parent) {
    PlaceWidgets();
    return;
  }
  // A window of its own again, in front of the form that owns it.
  auto* ownerForm = dynamic_cast<TForm*>(Owner());
  Handle()->setParent(ownerForm ? ownerForm->Handle() : nullptr, Qt::Window);
  Handle()->setWindowTitle(ToQString(Caption()));
  ApplyBorderStyle();
  Handle()->setVisible(Visible());
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
  ApplyBorderStyle();
  SizeChanged();
}

void TForm::SetFormStyle(TFormStyle style) {
  if (style == FFormStyle) return;
  FFormStyle = style;
  ApplyBorderStyle();
}

void TForm::ApplyBorderStyle() {
  Qt::WindowFlags f = Qt::Window;
  switch (FBorderStyle) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsSingle:
      f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
           Qt::WindowCloseButtonHint;
      break;
    case bsDialog: f = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool; break;
    case bsSizeable: break;
  }
  if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
  // The window manager keeps a dialog, but not a plain window, above the
  // window it belongs to: a modal form is a dialog while it is modal.
  if (FModal && (f & Qt::WindowType_Mask) == Qt::Window) f = (f & ~Qt::WindowType_Mask) | Qt::Dialog;
  QWidget* w = Handle();
  if (Parent()) {  // a child window keeps its flags until it floats again
    PlaceWidgets();
    return;
  }
  const bool wasVisible = w->isVisible();
  w->setWindowFlags(f);
  PlaceWidgets();
  if (wasVisible) w->setVisible(true);
}

void TForm::PlaceOnScreen() {
  auto centreOn = [this](const QRect& area) {
    SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2, Width(), Height());
  };
  const QRect work = Screen ? ToQRect(Screen->WorkAreaRect()) : QRect();
  const TForm* over = nullptr;
  if (FPosition == poMainFormCenter && Application) over = Application->MainForm();
  if (FPosition == poOwnerFormCenter) over = dynamic_cast<const TForm*>(Owner());
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter: centreOn(work); break;
    case poMainFormCenter:
    case poOwnerFormCenter:
      if (over && over != this && over->Showing())
        centreOn(ToQRect(over->BoundsRect()));
      else
        centreOn(work);
      break;
    case poDesigned:
    case poDefault: break;
  }
}

bool TForm::Active() const { return Handle()->isActiveWindow(); }

void TForm::Close() {
  if (FModal) {
    SetModalResult(TModalResult::mrCancel);
    return;
  }
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this) {
    Application->Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    Handle()->showMinimized();
  } else {
    Hide();
    QTimer::singleShot(0, Handle(), [this] { delete this; });
  }
}

TModalResult TForm::ShowModal() {
  QWidget* w = Handle();
  if (FModal || w->isVisible()) throw EInvalidOperation("Cannot make a visible window modal");
  FModal = true;
  FModalResult = TModalResult::mrNone;
  const bool plainWindow = w->windowType() == Qt::Window;
  if (plainWindow) ApplyBorderStyle();
  w->setWindowModality(Qt::ApplicationModal);
  // While it is modal the form opens above the window on top, which need not
  // be its owner (nor may own it: it could be freed while the form is open).
  std::optional<TModalPlacement> placement(std::in_place, w);
  TCloseAction action = caHide;
  auto finish = [&] {
    FModal = false;
    FModalLoop = nullptr;
    SetVisible(false);
    w->setWindowModality(Qt::NonModal);
    placement.reset();
    if (plainWindow) ApplyBorderStyle();
  };
  try {
    SetVisible(true);
    for (;;) {
      if (FModalResult == TModalResult::mrNone) {
        if (Application && Application->Terminated()) {
          FModalResult = TModalResult::mrCancel;
        } else {
          QEventLoop loop;
          FModalLoop = &loop;
          loop.exec(QEventLoop::DialogExec);
          FModalLoop = nullptr;
          // Left without a result: the application is ending.
          if (FModalResult == TModalResult::mrNone) FModalResult = TModalResult::mrCancel;
        }
      }
      action = caHide;
      RunGuarded([&] { DoClose(action); });
      if (action != caNone) break;
      FModalResult = TModalResult::mrNone;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (action == caFree) QTimer::singleShot(0, w, [this] { delete this; });
  return FModalResult;
}

void TForm::SetModalResult(TModalResult result) {
  FModalResult = result;
  if (FModal && result != TModalResult::mrNone && FModalLoop) FModalLoop->quit();
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TForm::TextChanged() { Handle()->setWindowTitle(ToQString(Caption())); }

bool TForm::WidgetEvent(QEvent* e) {
  QWidget* w = Handle();
  switch (e->type()) {
    case QEvent::Close:
      // The window manager's close button: the form decides through Close.
      e->ignore();
      RunGuarded([this] { Close(); });
      return true;
    case QEvent::Show:
      if (!e->spontaneous()) RunGuarded([this] { DoShow(); });
      return false;
    case QEvent::ActivationChange:
      RunGuarded([this, w] {
        if (w->isActiveWindow())
          Activate();
        else
          Deactivate();
      });
      return false;
    case QEvent::Resize: {
      // The user resized the window: the outer size follows.
      const TSize frame = FrameSize();
      const int width = w->width() + frame.cx, height = w->height() + frame.cy;
      if (width != Width() || height != Height()) {
        const int oldW = FWidth, oldH = FHeight;
        FWidth = width;
        FHeight = height;
        PlaceWidgets();
        CheckSizeChanged(oldW, oldH);
      }
      return false;
    }
    case QEvent::Move:
      if (w->isVisible()) {
        FLeft = w->pos().x();
        FTop = w->pos().y();
      }
      return false;
    default: return false;
  }
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control && control->CanFocus() && Active())
    control->SetFocus();
  else
    SetFocusedControl(control);
}

void TForm::SetFocusedControl(TWinControl* control) {
  if (control == FActiveControl) return;
  TWinControl* old = FActiveControl;
  FActiveControl = control;
  std::vector<TWinControl*> exits, enters;
  TWinControl* common = nullptr;
  for (TWinControl* w = old; w && w != this; w = w->Parent()) {
    if (control && w->ContainsControl(control)) {
      common = w;
      break;
    }
    exits.push_back(w);
  }
  for (TWinControl* w = control; w && w != this && w != common; w = w->Parent()) enters.push_back(w);
  for (TWinControl* w : exits) {
    w->Notify(TControlMessage::Exit);
    w->DoExit();
    if (FActiveControl != control) return;  // a handler moved the focus on
  }
  for (auto it = enters.rbegin(); it != enters.rend(); ++it) {
    (*it)->DoEnter();
    if (FActiveControl != control) return;
  }
}

bool TForm::TakeWidgetFocus(TWinControl* control) {
  if (FWidgetFocus == control) return false;
  TWinControl* old = FWidgetFocus;
  FWidgetFocus = control;
  if (old) {
    old->Notify(TControlMessage::FocusOut);
    old->FocusLost();
  }
  return true;
}

void TForm::DropWidgetFocus(TWinControl* control) {
  if (FWidgetFocus == control) FWidgetFocus = nullptr;
}

void TForm::ControlGone(TControl* control) {
  if (FActiveControl && static_cast<TControl*>(FActiveControl) == control) FActiveControl = nullptr;
  if (FWidgetFocus && static_cast<TControl*>(FWidgetFocus) == control) FWidgetFocus = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    if (FActiveControl && w->ContainsControl(FActiveControl)) FActiveControl = nullptr;
    if (FWidgetFocus && w->ContainsControl(FWidgetFocus)) FWidgetFocus = nullptr;
  }
}

bool TForm::DialogKey(WORD Key, TShiftState Shift) {
  if (TWinControl::DialogKey(Key, Shift)) return true;
  if (Key >= VK_LEFT && Key <= VK_DOWN && Shift.Empty()) {
    SelectNext(Key == VK_RIGHT || Key == VK_DOWN);
    return true;
  }
  return false;
}

void TForm::SelectNext(bool forward) {
  QWidget* start = QApplication::focusWidget();
  if (!start || start->window() != Handle()) start = Handle();
  FocusNextFrom(start, forward);
}

void TForm::SelectFirst() { FocusNextFrom(Handle(), true); }

void TForm::FocusNextFrom(QWidget* start, bool forward) {
  QWidget* w = start;
  for (int guard = 0; guard < 10000; ++guard) {
    w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (!w || w == start) return;
    if (w->window() == Handle() && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
        !w->focusProxy()) {
      w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  }
}

namespace {

/** Where a window stands among the program's windows: whether it stays on
 *  top or belongs (through its transient parents) to one that does, and how
 *  many windows it belongs to, one above the other. */
struct TWindowLayer {
  bool OnTop = false;
  int Depth = 0;
};

TWindowLayer LayerOf(const QWidget* w) {
  TWindowLayer layer;
  for (const QWindow* h = w->windowHandle(); h && layer.Depth < 64; h = h->transientParent(), ++layer.Depth)
    if (h->flags() & Qt::WindowStaysOnTopHint) layer.OnTop = true;
  return layer;
}

// Windows a dialog may belong to: shown on the screen, and not pop-ups,
// hints or floating images.
bool CanOwn(const QWidget* w) {
  const Qt::WindowType type = w->windowType();
  return w->isVisible() && !w->isMinimized() && w->windowHandle() &&
         (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool);
}

}  // namespace

QWidget* ModalOwner() {
  QWidget* owner = nullptr;
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
    owner = modal;
  else if (QWidget* active = QApplication::activeWindow(); active && active->isVisible())
    owner = active;
  else if (const TForm* main = Application ? Application->MainForm() : nullptr; main && main->Handle()->isVisible())
    owner = main->Handle();
  if (owner && LayerOf(owner).OnTop) return owner;
  // A window that stays on top covers the owner: the new window would open
  // behind it. The one that belongs to the most windows lies highest.
  QWidget* top = nullptr;
  int depth = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == owner || !CanOwn(w)) continue;
    const TWindowLayer layer = LayerOf(w);
    if (layer.OnTop && layer.Depth > depth) {
      top = w;
      depth = layer.Depth;
    }
  }
  return top ? top : owner;
}

TModalPlacement::TModalPlacement(QWidget* window) {
  QWidget* owner = ModalOwner();
  if (!window || !owner || owner->window() == window->window()) return;
  window->createWinId();
  owner->window()->createWinId();
  QWindow* handle = window->windowHandle();
  QWindow* ownerHandle = owner->window()->windowHandle();
  if (!handle || !ownerHandle) return;
  // Never in a ring: an owner that belongs to the window itself stays out.
  for (const QWindow* h = ownerHandle; h; h = h->transientParent())
    if (h == handle) return;
  FWindow = handle;
  FOwnParent = handle->transientParent();
  handle->setTransientParent(ownerHandle);
}

TModalPlacement::~TModalPlacement() {
  if (FWindow) FWindow->setTransientParent(FOwnParent);
}

// ---------------------------------------------------------------- TFrame

TFrame::TFrame(TComponent* AOwner) : TWinControl(AOwner) {
  // No tab stop of its own: Tab goes through the frame's fields, as a frame
  // that took the focus itself would show it nowhere.
  SetBounds(0, 0, 320, 240);
}

// ---------------------------------------------------------------- TApplication

namespace {

TQtMessageService& QtMessages() {
  static TQtMessageService service;
  return service;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : TComponent(nullptr) {
  if (!QApplication::instance()) FOwnApp = std::make_unique<QApplication>(argc, argv);
  // The main form ends the program, not the last window closed.
  QApplication::setQuitOnLastWindowClosed(false);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  QApplication::setFont(font);
  FTitle = FromQString(QCoreApplication::applicationName());
  FScreen = std::make_unique<TScreen>();
  Screen = FScreen.get();
  Application = this;
  FHintTimer = new QTimer(qApp);
  FHintTimer->setSingleShot(true);
  QObject::connect(FHintTimer, &QTimer::timeout, qApp, [this] { CancelHint(); });
  QObject::connect(qApp, &QGuiApplication::applicationStateChanged, qApp, [this](Qt::ApplicationState state) {
    const bool active = state == Qt::ApplicationActive;
    if (active == FWasActive) return;
    FWasActive = active;
    RunGuarded([&] {
      if (active && OnActivate) OnActivate(this);
      if (!active) {
        CancelHint();
        if (OnDeactivate) OnDeactivate(this);
      }
    });
  });
}

bool TApplication::Active() const { return QApplication::activeWindow() != nullptr; }

void TApplication::SetShowHint(bool value) {
  FShowHint = value;
  if (!value) CancelHint();
}

THintWindow* TApplication::HintWindow() {
  if (!FHintWindow) FHintWindow = new THintWindow(nullptr);
  return FHintWindow;
}

void TApplication::ActivateHint(const TControl* control, QPoint screenPos) {
  if (!FShowHint || !control || control->Hint().empty()) return;
  THintWindow* hint = HintWindow();
  TRect r = hint->CalcHintRect(Screen ? std::max(1, Screen->Width()) : 400, control->Hint());
  // Below the mouse pointer, as the classic hint is.
  OffsetRect(r, screenPos.x(), screenPos.y() + 20);
  hint->ActivateHint(r, control->Hint());
  FHintControl = control;
  FHintTimer->start(2500);
}

void TApplication::CancelHint() {
  FHintTimer->stop();
  FHintControl = nullptr;
  if (FHintWindow && FHintWindow->Visible()) FHintWindow->ReleaseHandle();
}

void TApplication::ControlGone(TControl* control) {
  if (control == FHintControl) CancelHint();
  if (control == FHintWindow) FHintWindow = nullptr;
}

TApplication::~TApplication() {
  // The forms go while Qt is still there.
  delete FHintWindow;
  FHintWindow = nullptr;
  DestroyComponents();
  Application = nullptr;
  Screen = nullptr;
  FScreen.reset();
}

void TApplication::SetTitle(const std::string& title) { FTitle = title; }

void TApplication::Run() {
  if (FMainForm && !FTerminated) FMainForm->Show();
  if (FTerminated) return;
  FRunning = true;
  QApplication::exec();
  FRunning = false;
}

void TApplication::Terminate() {
  FTerminated = true;
  // The loops end without a word to the windows: Qt's quit would first close
  // each one, and the main form, closing already, would ask its questions
  // again. Outside Run there is no loop of the application's to end.
  if (FRunning) QCoreApplication::exit(0);
}

void TApplication::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

IMessageBoxService* TApplication::MessageService() const { return FMessages ? FMessages : &QtMessages(); }

void TApplication::HandleException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown exception");
  }
}

void TApplication::ShowException(const std::string& message) {
  std::string text = message;
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  if (FShowingException) {
    // One box at a time: a handler failing again while the box is up (a paint,
    // say) would otherwise stack boxes without end.
    std::fprintf(stderr, "%s\n", text.c_str());
    return;
  }
  FShowingException = true;
  try {
    MessageService()->MessageBox(text, FTitle, TMsgDlgType::mtError, mbOK);
  } catch (...) {
    FShowingException = false;
    throw;
  }
  FShowingException = false;
}

// ---------------------------------------------------------------- TScreen

void TScreen::ClearRegisteredCursors() { Registered().clear(); }

std::map<TCursor, QCursor>& TScreen::Registered() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}

QCursor TScreen::CursorFor(TCursor cursor) {
  auto it = Registered().find(cursor);
  if (it != Registered().end()) return it->second;
  switch (cursor) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass:
    case crSQLWait: return QCursor(Qt::WaitCursor);
    case crDrag:
    case crMultiDrag: return QCursor(Qt::DragCopyCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    case crAppStart: return QCursor(Qt::BusyCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}

void TScreen::RegisterCursor(TCursor id, const TBitmap& image, TPoint hotSpot) {
  QImage img = image.Image().convertToFormat(QImage::Format_ARGB32);
  const QRgb key = ToQRgb(image.EffectiveTransparentColor()) & 0xFFFFFFu;
  for (int y = 0; y < img.height(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < img.width(); ++x)
      if ((line[x] & 0xFFFFFFu) == key) line[x] = 0;
  }
  Registered()[id] = QCursor(QPixmap::fromImage(img), hotSpot.X, hotSpot.Y);
}

TScreen::~TScreen() {
  if (FCursor != crDefault) QApplication::restoreOverrideCursor();
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  if (FCursor != crDefault) QApplication::restoreOverrideCursor();
  FCursor = cursor;
  if (cursor != crDefault) QApplication::setOverrideCursor(CursorFor(cursor));
}

TPoint TScreen::CursorPos() const {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

void TScreen::SetCursorPos(TPoint p) { QCursor::setPos(p.X, p.Y); }

TRect TScreen::WorkAreaRect() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? FromQRect(s->availableGeometry()) : TRect{};
}

int TScreen::Width() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
  const QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 0;
}

void ReleaseMouseCaptureHolder();

void ResetUiGlobals() {
  if (Application) Application->FTerminated = false;
  if (Screen) Screen->SetCursor(crDefault);
  if (Application) Application->CancelHint();
  TScreen::ClearRegisteredCursors();
  ReleaseMouseCaptureHolder();
}
