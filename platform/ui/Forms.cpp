#include "ui/Forms.h"

#include "ui/Bitmap.h"
#include "ui/Dialogs.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QShowEvent>

#include <cstdio>

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

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  // A form owned by a form is a window of its own that stays in front of its owner.
  QWidget::setParent(dynamic_cast<TForm*>(AOwner), Qt::Window);
  SetParentFont(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  ApplyBorderStyle();
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

void TForm::SetVisible(bool visible) {
  if (visible) {
    if (!FPlaced) {
      PlaceOnScreen();
      FPlaced = true;
    }
    const bool changed = !FVisible;
    FVisible = true;
    QWidget::setVisible(true);
    raise();
    activateWindow();
    if (changed) VisibleChanged();
  } else if (FVisible) {
    FVisible = false;
    QWidget::setVisible(false);
    VisibleChanged();
  }
}

void TForm::SetBounds(int left, int top, int width, int height) {
  const bool fixed = FBorderStyle != bsSizeable && FBorderStyle != bsSizeToolWin;
  if (fixed) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  TWinControl::SetBounds(left, top, width, height);
  if (fixed) setFixedSize(size());
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == FBorderStyle) return;
  FBorderStyle = style;
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
  const bool wasVisible = isVisible();
  setWindowFlags(f);
  if (FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin) {
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  } else {
    setFixedSize(size());
  }
  if (wasVisible) QWidget::setVisible(true);
}

void TForm::PlaceOnScreen() {
  auto centreOn = [this](const QRect& area) {
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
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
      if (over && over != this && over->isVisible())
        centreOn(over->frameGeometry());
      else
        centreOn(work);
      break;
    case poDesigned:
    case poDefault: break;
  }
}

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
    showMinimized();
  } else {
    Hide();
    deleteLater();
  }
}

TModalResult TForm::ShowModal() {
  if (FModal || isVisible()) throw EInvalidOperation("Cannot make a visible window modal");
  FModal = true;
  FModalResult = TModalResult::mrNone;
  setWindowModality(Qt::ApplicationModal);
  TCloseAction action = caHide;
  auto finish = [&] {
    FModal = false;
    FModalLoop = nullptr;
    SetVisible(false);
    setWindowModality(Qt::NonModal);
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
  if (action == caFree) deleteLater();
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

void TForm::TextChanged() { setWindowTitle(ToQString(Caption())); }

void TForm::showEvent(QShowEvent* e) {
  TWinControl::showEvent(e);
  if (!e->spontaneous()) RunGuarded([this] { DoShow(); });
}

void TForm::closeEvent(QCloseEvent* e) {
  // The window manager's close button: the form decides through Close.
  e->ignore();
  RunGuarded([this] { Close(); });
}

void TForm::changeEvent(QEvent* e) {
  TWinControl::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) RunGuarded([this] { Activate(); });
}

void TForm::FocusEntered(TWinControl* control) {
  if (FActiveControl == control) return;
  TWinControl* old = FActiveControl;
  FActiveControl = control;
  if (old) old->DoExit();
  if (FActiveControl == control) control->DoEnter();
}

void TForm::ControlGone(TControl* control) {
  if (FActiveControl == control) FActiveControl = nullptr;
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
}

TApplication::~TApplication() {
  // The forms go while Qt is still there.
  DestroyComponents();
  Application = nullptr;
  Screen = nullptr;
  FScreen.reset();
}

void TApplication::SetTitle(const std::string& title) { FTitle = title; }

void TApplication::Run() {
  if (FMainForm && !FTerminated) FMainForm->Show();
  if (!FTerminated) QApplication::exec();
}

void TApplication::Terminate() {
  FTerminated = true;
  QCoreApplication::quit();
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
