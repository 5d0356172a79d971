#include "GuiTestApp.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>

namespace qftest {

namespace {

/** The message boxes while no test expects one: each box is a failure. */
class TUnexpectedMessages : public IMessageBoxService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons) override {
    ADD_FAILURE() << "unexpected message box: " << text;
    return TModalResult::mrNone;
  }
  TModalResult MessageBox(const std::string& text, const std::string&, TMsgDlgType, TMsgDlgButtons) override {
    ADD_FAILURE() << "unexpected message box: " << text;
    return TModalResult::mrNone;
  }
};

TUnexpectedMessages gUnexpected;

class GuiEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    FApp = new TApplication(argc, argv);
    Application->SetTitle("Quarrowfield");
    Application->SetMessageService(&gUnexpected);
  }
  void TearDown() override {
    delete FApp;
    FApp = nullptr;
  }

private:
  TApplication* FApp = nullptr;
};

[[maybe_unused]] ::testing::Environment* const gEnv = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace

ScopedMessageRecorder::ScopedMessageRecorder() { Application->SetMessageService(&Recorder); }
ScopedMessageRecorder::~ScopedMessageRecorder() { Application->SetMessageService(&gUnexpected); }

QImage FilledImage(int w, int h, TColor fill) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(ToQRgb(fill));
  return img;
}

TColor PixelAt(const QImage& image, int x, int y) { return FromQRgb(image.pixel(x, y)); }

int CountPixels(const QImage& image, const TRect& r, TColor c) {
  const TColor want = ColorToRGB(c);
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += PixelAt(image, x, y) == want;
  return n;
}

int CountPixels(const QImage& image, TColor c) { return CountPixels(image, {0, 0, image.width(), image.height()}, c); }

bool AllPixels(const QImage& image, const TRect& r, TColor c) {
  return CountPixels(image, r, c) == r.Width() * r.Height();
}

bool Ring(const QImage& img, const TRect& r, TColor c) {
  return AllPixels(img, {r.Left, r.Top, r.Right, r.Top + 1}, c) &&
         AllPixels(img, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, c) &&
         AllPixels(img, {r.Left, r.Top, r.Left + 1, r.Bottom}, c) &&
         AllPixels(img, {r.Right - 1, r.Top, r.Right, r.Bottom}, c);
}

TSpot At(int x, int y, TColor c) { return {{x, y, x + 1, y + 1}, c}; }

std::string Missing(const QImage& image, const std::vector<TSpot>& spots) {
  auto hex = [](TColor c) { return QString::number(c, 16).rightJustified(6, '0').toStdString(); };
  std::string out;
  for (const TSpot& s : spots) {
    const TRect& r = s.Area;
    const int n = CountPixels(image, r, s.Colour), want = s.Count >= 0 ? s.Count : r.Width() * r.Height();
    if (n == want) continue;
    out += Str("(", r.Left, ",", r.Top, ")");
    if (s.Count < 0 && want == 1)
      out += Str(" is ", hex(PixelAt(image, r.Left, r.Top)), " not ", hex(ColorToRGB(s.Colour)));
    else
      out += Str("-(", r.Right, ",", r.Bottom, ") has ", n, " of ", hex(ColorToRGB(s.Colour)), " not ", want);
    out += "; ";
  }
  return out;
}

bool ProcessEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

struct TModalAnswer::TState {
  std::function<void(QWidget*)> Act;
  int Ms = 0;
  QPointer<QWidget> Before;
  QPointer<QWidget> Answered;
  std::unique_ptr<QTimer> Timer;
  QElapsedTimer Clock;  // since the watch began, then since the answer
  bool Opened = false;
  bool Reported = false;
  bool Acting = false;
};

namespace {

void CloseModal(QWidget* modal) {
  if (auto* dialog = qobject_cast<QDialog*>(modal))
    dialog->reject();
  else
    modal->close();
}

void Watch(TModalAnswer::TState& s) {
  if (s.Acting) return;  // act runs a loop of its own
  if (!s.Opened) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != s.Before && modal->isVisible()) {
      s.Opened = true;
      s.Answered = modal;
      s.Acting = true;
      s.Act(modal);
      s.Acting = false;
      s.Clock.restart();
    } else if (!s.Reported && s.Clock.elapsed() > s.Ms) {
      // Still watched: a window that opens later is answered all the same.
      s.Reported = true;
      ADD_FAILURE() << "no modal window opened within " << s.Ms << " ms";
    }
    return;
  }
  if (!s.Answered || !s.Answered->isVisible()) {
    s.Timer->stop();
  } else if (s.Clock.elapsed() > s.Ms) {
    s.Timer->stop();
    ADD_FAILURE() << "the modal window was still open " << s.Ms << " ms after its answer";
    CloseModal(s.Answered);
  }
}

}  // namespace

TModalAnswer::TModalAnswer(const std::function<void(QWidget* modal)>& act, int ms)
    : FState(std::make_shared<TState>()) {
  TState& s = *FState;
  s.Act = act;
  s.Ms = ms;
  s.Before = QApplication::activeModalWidget();
  s.Timer = std::make_unique<QTimer>();
  s.Clock.start();
  QObject::connect(s.Timer.get(), &QTimer::timeout, qApp, [state = std::weak_ptr<TState>(FState)] {
    if (const std::shared_ptr<TState> s = state.lock()) Watch(*s);
  });
  s.Timer->start(20);
}

TModalAnswer::~TModalAnswer() {
  TState& s = *FState;
  s.Timer->stop();
  if (!s.Opened && !s.Reported) ADD_FAILURE() << "no modal window opened";
  if (s.Answered && s.Answered->isVisible()) CloseModal(s.Answered);
}

TModalAnswer OnNextModal(const std::function<void(QWidget* modal)>& act, int ms) { return TModalAnswer(act, ms); }

void PressIn(QWidget* modal, Qt::Key key) {
  ProcessEventsUntil([modal] { return modal->isActiveWindow(); });
  QWidget* focus = QApplication::focusWidget();
  QTest::keyClick(focus && focus->window() == modal->window() ? focus : modal, key);
}

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers mods) {
  const bool move = type == QEvent::MouseMove, release = type == QEvent::MouseButtonRelease;
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), move ? Qt::NoButton : button,
                release ? Qt::MouseButtons() : Qt::MouseButtons(button), mods);
  QCoreApplication::sendEvent(w, &e);
}

void Click(QWidget* w, QPoint at, bool twice) {
  SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, at);
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, at);
  if (!twice) return;
  SendMouse(w, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
  SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

void Hover(QWidget* w, bool in) {
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(w->mapToGlobal(QPoint(2, 2))));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(w, in ? static_cast<QEvent*>(&enter) : &leave);
}

void Key(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods, QEvent::Type type) {
  QKeyEvent e(type, key, mods, text);
  QCoreApplication::sendEvent(w, &e);
}

void Type(QWidget* w, const std::string& text) {
  for (char c : text) {
    const int key = c == '\b' ? Qt::Key_Backspace : std::toupper(static_cast<unsigned char>(c));
    Key(w, key, QString(QChar(c)));
  }
}

QWidget* Focus() { return QApplication::focusWidget(); }

QImage Painted(TCustomControl* c) {
  QImage img = FilledImage(c->ClientWidth(), c->ClientHeight(), clFuchsia);
  c->PaintTo(img);
  return img;
}

QImage Grabbed(TControl* c) {
  ProcessEventsUntil([] { return false; }, 20);
  return c->ClientWidget()->grab().toImage();
}

TShownForm::TShownForm(int w, int h) : TForm(nullptr) {
  SetBounds(50, 50, w, h);
  Show();
  Handle()->activateWindow();
  EXPECT_TRUE(ProcessEventsUntil([this] { return Active(); }));
}

THostedEdit::THostedEdit(TComponent* owner) : TWinControl(owner), Edit(new QLineEdit) {
  HostWidget(Edit);
  SetTabStop(true);
}

}  // namespace qftest
