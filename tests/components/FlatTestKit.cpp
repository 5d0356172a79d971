#include "FlatTestKit.h"

#include "ui/QtConvert.h"

#include <QProcess>
#include <QWidget>

#include <cstdlib>

namespace flattest {

void MoveMouse(TControl* c, int x, int y, Qt::MouseButton held) {
  Screen->SetCursorPos(c->ClientToScreen({x, y}));
  qftest::SendMouse(c->ClientWidget(), QEvent::MouseMove, held, {x, y});
}

void MoveAway(TForm& form) {
  Screen->SetCursorPos(form.ClientToScreen({form.ClientWidth() - 1, form.ClientHeight() - 1}));
}

void Press(TControl* c, int x, int y, Qt::MouseButton button) {
  qftest::SendMouse(c->ClientWidget(), QEvent::MouseButtonPress, button, {x, y});
}

void Release(TControl* c, int x, int y, Qt::MouseButton button) {
  qftest::SendMouse(c->ClientWidget(), QEvent::MouseButtonRelease, button, {x, y});
}

void Click(TControl* c, int x, int y) {
  MoveMouse(c, x, y);
  Press(c, x, y);
  Release(c, x, y);
}

QImage Painted(TControl* c) {
  QImage img = qftest::FilledImage(c->ClientWidth(), c->ClientHeight(), clFuchsia);
  if (auto* g = dynamic_cast<TGraphicControl*>(c)) g->PaintTo(img);
  if (auto* w = dynamic_cast<TCustomControl*>(c)) w->PaintTo(img);
  return img;
}

QImage Shot(TWinControl* c) {
  qftest::ProcessEventsUntil([] { return false; }, 20);
  return c->Handle()->grab().toImage();
}

int RunTool(const QStringList& args, const char* tool) {
  const char* bin = std::getenv("QF_BIN_DIR");
  QProcess p;
  p.start(QString(bin ? bin : ".") + "/" + tool, args);
  const bool done = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit;
  return done ? p.exitCode() : -1;
}

}  // namespace flattest
