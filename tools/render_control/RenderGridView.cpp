#include "RenderGridView.h"

#include "DemoGrid.h"
#include "grid/CellEditors.h"
#include "grid/ColumnDragBox.h"
#include "ui/Forms.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <vector>

namespace {

void Settle(const std::function<bool()>& done) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  QCoreApplication::processEvents();
}

/** A mouse event at a client point of control, the left button held. */
void Mouse(TControl* control, QEvent::Type type, TPoint at) {
  QWidget* w = control->ClientWidget();
  const QPointF local(at.X, at.Y);
  const bool release = type == QEvent::MouseButtonRelease;
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, local, QPointF(w->mapToGlobal(local.toPoint())), button,
                release ? Qt::MouseButtons() : Qt::MouseButtons(Qt::LeftButton), Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

/** The form's client area with the windows of its own that float over it. */
QImage Composite(TForm& form, const std::vector<TControl*>& floats) {
  QWidget* base = form.ClientWidget();
  QImage image = base->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  QPainter painter(&image);
  const QPoint origin = base->mapToGlobal(QPoint(0, 0));
  for (TControl* c : floats) {
    if (!c || !c->Visible()) continue;
    QWidget* w = c->Handle();
    const QPoint at = w->mapToGlobal(QPoint(0, 0)) - origin;
    painter.save();
    if (!w->mask().isEmpty()) painter.setClipRegion(w->mask().translated(at));
    painter.drawImage(at, w->grab().toImage());
    painter.restore();
  }
  return image;
}

}  // namespace

QImage RenderGridView(const TGridViewScene& Scene) {
  TForm form(nullptr);
  form.SetBorderStyle(bsNone);
  // Room above the grid for the drop arrow that points down at the header.
  const int top = Scene.Drag ? 14 : 0;
  form.SetBounds(0, 0, Scene.Width, Scene.Height + top);
  form.SetColor(clBtnFace);
  const auto images = MakeDemoImages();
  TGridView* grid = MakeDemoGrid(&form, images.get(), Scene.Width, Scene.Height);
  grid->SetTop(top);
  grid->SetHeaderStyle(static_cast<THeaderStyle>(Scene.HeaderStyle));
  grid->Columns().Items(1)->SetSorted(true);
  form.Show();
  grid->SetFocus();
  Settle([&] { return grid->Focused(); });
  grid->SelectRow(1);
  std::vector<TControl*> floats;
  if (Scene.Editor) grid->BeginEdit(7, 3);
  if (Scene.Popup) {
    grid->BeginEdit(9, 4);
    if (auto* editor = dynamic_cast<TPopupEditor*>(grid->ActiveEditor())) {
      editor->SetDroppedDown(true);
      floats.push_back(editor->Popup());
    }
  }
  if (Scene.Drag) {
    // The caption's header, taken by the mouse and moved over the type's header.
    const TCustomColumn* caption = grid->Columns().Items(7);
    const TCustomColumn* type = grid->Columns().Items(2);
    const TPoint press{caption->Left() + caption->Width() / 2, 9};
    Mouse(grid, QEvent::MouseButtonPress, press);
    Mouse(grid, QEvent::MouseMove, {press.X + 8, press.Y});
    TColumnDragBox* box = grid->DragBox();
    if (box->Visible()) {
      const TPoint over = grid->ClientToScreen({type->Left() + type->Width() / 2, 12});
      Mouse(box, QEvent::MouseMove, box->ScreenToClient(over));
    }
    floats.push_back(box);
    floats.push_back(grid->DownArrow());
    floats.push_back(grid->UpArrow());
  }
  Settle([] { return true; });
  return Composite(form, floats);
}
