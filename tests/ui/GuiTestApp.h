#pragma once
/** Shared by the window tests: the application object for the whole run (an
 *  unexpected message box fails the test instead of waiting), a scoped
 *  message recorder, pixel, mouse and key helpers, and the few forms and
 *  controls that several tests stand on. */

#include "TestSupport.h"
#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"
#include "ui/Types.h"

#include <QEvent>
#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qftest {

using Log = std::vector<std::string>;

/** The button face inverted, as a focus rectangle or a splitter's band leaves it. */
constexpr TColor kInvertedFace = RGB(255 - 212, 255 - 208, 255 - 200);

/** Installs a recorder as the application's message boxes for its lifetime. */
class ScopedMessageRecorder {
public:
  ScopedMessageRecorder();
  ~ScopedMessageRecorder();
  TMessageRecorder Recorder;
};

QImage FilledImage(int w, int h, TColor fill);
TColor PixelAt(const QImage& image, int x, int y);
/** How many pixels of r (or of the whole image) have colour c. */
int CountPixels(const QImage& image, const TRect& r, TColor c);
int CountPixels(const QImage& image, TColor c);
bool AllPixels(const QImage& image, const TRect& r, TColor c);
/** Every pixel of the outermost ring of r has colour c. */
bool Ring(const QImage& image, const TRect& r, TColor c);
/** What a picture must show: every pixel of Area in Colour, or, with a Count,
 *  exactly that many of them. */
struct TSpot {
  TRect Area;
  TColor Colour;
  int Count = -1;
};
/** One pixel at (x, y). */
TSpot At(int x, int y, TColor c);
/** The spots the image does not show, described ("" when it shows them all). */
std::string Missing(const QImage& image, const std::vector<TSpot>& spots);

/** How long a test waits for something it expects to come: a ceiling that
 *  even a busy machine does not reach. Every wait ends as soon as its event
 *  comes, so this costs nothing while the tests pass. */
constexpr int kPatienceMs = 10000;

/** Lets the event loop run until done() or ms milliseconds have passed. */
bool ProcessEventsUntil(const std::function<bool()>& done, int ms = kPatienceMs);

/** The answer to the next modal window, while it lives (see OnNextModal). */
class TModalAnswer {
public:
  TModalAnswer(const std::function<void(QWidget* modal)>& act, int ms);
  /** Stops watching: the test fails when no modal window opened, and a
   *  window it answered that is still open is closed. */
  ~TModalAnswer();
  TModalAnswer(const TModalAnswer&) = delete;
  TModalAnswer& operator=(const TModalAnswer&) = delete;

  struct TState;

private:
  std::shared_ptr<TState> FState;
};

/** Runs act on the next modal window to open above the one on top now, as a
 *  person would answer it, from a timer that the modal loop runs. Keep the
 *  answer until the statement that opens the window has returned: so long,
 *  a window that opens late is still answered, and one that is still open
 *  ms milliseconds after act (or opens after the test has failed) is closed,
 *  so that no test waits for ever. When none opens within ms milliseconds,
 *  or none has opened by the end, the test fails. */
[[nodiscard]] TModalAnswer OnNextModal(const std::function<void(QWidget* modal)>& act, int ms = kPatienceMs);

/** Presses key where the focus is once modal is the active window (or, when
 *  it does not become active, on modal itself). */
void PressIn(QWidget* modal, Qt::Key key);

/** A mouse event at `at`; a press or double click holds `button`, a release
 *  holds nothing, a move holds `button` without pressing one. */
void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers mods = Qt::NoModifier);

/** A left click at `at`; `twice`: followed by a double click and its release. */
void Click(QWidget* w, QPoint at, bool twice = false);

/** The mouse comes over w (in) or leaves it. */
void Hover(QWidget* w, bool in);

/** A key press (or release) carrying text, sent to w. */
void Key(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier,
         QEvent::Type type = QEvent::KeyPress);

/** Types ASCII text into w, one key press a character ('\b' is Backspace). */
void Type(QWidget* w, const std::string& text);
/** The widget that has the keyboard focus. */
QWidget* Focus();

/** The client area as the control paints it now, on fuchsia. */
QImage Painted(TCustomControl* c);
/** The control's client area as the screen shows it, once pending paints have run. */
QImage Grabbed(TControl* c);

/** A form that is shown and active, so that the focus and short cuts work. */
struct TShownForm : TForm {
  explicit TShownForm(int w = 400, int h = 300);
};

/** A windowed control whose face is a QLineEdit. */
struct THostedEdit : TWinControl {
  explicit THostedEdit(TComponent* owner);
  QLineEdit* Edit;
};

/** Records the messages a painter's hook hears. */
struct THookRecorder : IControlHook {
  std::vector<TControlMessage> Heard;
  void ControlMessage(TControl*, TControlMessage m, int) override { Heard.push_back(m); }
  void PaintOver(TControl*, TCanvas*) override {}
  int Count(TControlMessage m) const { return static_cast<int>(std::count(Heard.begin(), Heard.end(), m)); }
};

/** A new T owned by parent and placed on it at (x, y, w, h). */
template <class T> T* Place(TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

}  // namespace qftest
