#include "GuiTestApp.h"

#include "ui/Forms.h"
#include "ui/QtConvert.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

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

bool ProcessEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers mods) {
  const bool move = type == QEvent::MouseMove, release = type == QEvent::MouseButtonRelease;
  QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), move ? Qt::NoButton : button,
                release ? Qt::MouseButtons() : Qt::MouseButtons(button), mods);
  QCoreApplication::sendEvent(w, &e);
}

void Key(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods, QEvent::Type type) {
  QKeyEvent e(type, key, mods, text);
  QCoreApplication::sendEvent(w, &e);
}

TShownForm::TShownForm() : TForm(nullptr) {
  SetBounds(50, 50, 400, 300);
  Show();
  Handle()->activateWindow();
  EXPECT_TRUE(ProcessEventsUntil([this] { return Active(); }));
}

}  // namespace qftest
