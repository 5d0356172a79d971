#include "shell/ProcessingForm.h"

#include "components/FlatGauge.h"
#include "ui/StdCtrls.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {

constexpr int kExposeWaitMs = 1000;

}  // namespace

TProcessingDisplay::TProcessingDisplay(TComponent* AOwner) : TForm(AOwner) {
  SetName("ProcessingDisplay");
  SetCaption("Processing");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetBounds(Left(), Top(), 458, 138);
  SetColor(clBtnFace);
  TFont font;
  font.SetName("MS Sans Serif");
  font.SetHeight(-11);
  font.SetColor(clWindowText);
  SetFont(font);

  Bar = new TFlatGauge(this);
  Bar->SetName("Bar");
  Bar->SetParent(this);
  Bar->SetBounds(8, 48, 433, 25);
  Bar->SetColorBorder(clNavy);
  Bar->SetBarColor(16776176);  // RGB 240, 251, 255
  Bar->SetProgress(0);

  Label1 = new TLabel(this);
  Label1->SetName("Label1");
  Label1->SetParent(this);
  Label1->SetBounds(168, 16, Label1->Width(), Label1->Height());
  TFont labelFont(Font());
  labelFont.SetHeight(-13);
  Label1->SetFont(labelFont);
  Label1->SetCaption("Please wait!");
}

void TProcessingDisplay::Start() {
  Bar->SetProgress(0);  // no full bar left over from an earlier operation
  Show();
  // The work that follows keeps the event loop waiting, and only the gauge's
  // own repaints show progress. Nothing paints before the window manager has
  // mapped the window, so wait (a little) for that, then paint it whole.
  QElapsedTimer waited;
  waited.start();
  const QWindow* window = Handle()->windowHandle();
  do QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  while (window && !window->isExposed() && waited.elapsed() < kExposeWaitMs);
  Repaint();
}

void TProcessingDisplay::SetProgress(int percent) { Bar->SetProgress(percent); }

void TProcessingDisplay::Finish() {
  QThread::msleep(100);
  Hide();
}
