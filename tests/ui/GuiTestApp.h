#pragma once
/** Shared by the window tests: the application object for the whole run (an
 *  unexpected message box fails the test instead of waiting), a scoped
 *  message recorder, pixel and mouse helpers. */

#include "ui/Colors.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"
#include "ui/Types.h"

#include <QEvent>
#include <QImage>
#include <QWidget>

#include <functional>

namespace qftest {

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
/** Lets the event loop run until done() or ms milliseconds have passed. */
bool ProcessEventsUntil(const std::function<bool()>& done, int ms = 1000);
/** A mouse event at `at`; a press or double click holds `button`, a release
 *  holds nothing, a move holds `button` without pressing one. */
void SendMouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers mods = Qt::NoModifier);

/** A key press (or release) carrying text, sent to w. */
void Key(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier,
         QEvent::Type type = QEvent::KeyPress);

/** A form that is shown and active, so that the focus can move. */
struct TShownForm : TForm {
  TShownForm();
};

/** A new T owned by parent and placed on it at (x, y, w, h). */
template <class T> T* Place(TWinControl* parent, int x, int y, int w, int h) {
  auto* c = new T(parent);
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

}  // namespace qftest
