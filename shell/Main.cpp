// quarrowfield: the program body. It starts the application, creates the
// main window and runs the message loop until the main window closes.
//
// With QF_RUN_SCREENSHOT=FILE in the environment the program saves a picture
// of the main window to FILE once it has started, and ends (scripts/run).

#include "model/General.h"
#include "shell/MainFormUnit.h"
#include "ui/QtConvert.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Once the window has started and painted: its picture as the screen shows
// it (the widget's own rendering where the platform has no screen to grab).
void ScreenshotWhenStarted(const std::string& file) {
  QTimer::singleShot(1500, qApp, [file] {
    QWidget* window = MainForm ? MainForm->Handle() : nullptr;
    QPixmap picture;
    if (window) {
      if (QScreen* screen = window->screen()) picture = screen->grabWindow(window->winId());
      if (picture.isNull()) picture = window->grab();
    }
    if (picture.isNull() || !picture.save(ToQString(file), "PNG"))
      std::fprintf(stderr, "quarrowfield: could not save the screenshot to %s\n", file.c_str());
    else
      std::fprintf(stderr, "quarrowfield: screenshot saved to %s\n", file.c_str());
    // A message box still open at start-up has a loop of its own: end them all.
    Application->Terminate();
    QCoreApplication::exit(0);
  });
}

}  // namespace

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  Application->SetTitle("Quarrowfield");
  Application->SetHelpFile(GetAppFolder() + "help/index.html");
  Application->CreateForm(MainForm);
  for (int i = 1; i < argc; ++i) MainForm->Arguments.emplace_back(argv[i]);
  if (const char* file = std::getenv("QF_RUN_SCREENSHOT"); file && *file) ScreenshotWhenStarted(file);
  Application->Run();
  return 0;
}
