#pragma once
/** Shared by the window tests: the application object for the whole run (an
 *  unexpected message box fails the test instead of waiting), a scoped
 *  message recorder, and pixel helpers. */

#include "ui/Colors.h"
#include "ui/ShellServices.h"
#include "ui/Types.h"

#include <QImage>

#include <functional>

namespace qftest {

/** Installs a recorder as the application's message boxes for its lifetime. */
class ScopedMessageRecorder {
public:
  ScopedMessageRecorder();
  ~ScopedMessageRecorder();
  TMessageRecorder Recorder;
};

/** An image of w x h filled with fill. */
QImage FilledImage(int w, int h, TColor fill);
/** The plain colour of a pixel. */
TColor PixelAt(const QImage& image, int x, int y);
/** Every pixel of r has colour c. */
bool AllPixels(const QImage& image, const TRect& r, TColor c);
/** How many pixels of r have colour c. */
int CountPixels(const QImage& image, const TRect& r, TColor c);
/** Lets the event loop run until done() or ms milliseconds have passed. */
bool ProcessEventsUntil(const std::function<bool()>& done, int ms = 1000);

}  // namespace qftest
