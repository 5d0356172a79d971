// Dragging flat controls onto each other with the mouse: the target decides
// by OnDragOver, the cursor shows its answer, a release drops and Escape
// cancels.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatEdit.h"
#include "components/FlatPanel.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>

using namespace flattest;
using namespace qftest;

namespace {

std::string Name(TObject* o) {
  auto* c = dynamic_cast<TControl*>(o);
  return !o ? "none" : c ? c->Name() : "object";
}

std::string At(int x, int y) {
  std::string at = " ";  // appended, not concatenated: GCC 12 flags that at -O2
  at += std::to_string(x);
  at += ',';
  at += std::to_string(y);
  return at;
}

/** The cursor the drag shows now; crDefault when it shows none. */
TCursor DragCursorShown() {
  const QCursor* c = QApplication::overrideCursor();
  if (!c) return crDefault;
  for (TCursor t : {crDrag, crNoDrop, crHandPoint})
    if (TScreen::CursorFor(t).shape() == c->shape()) return t;
  return crArrow;
}

/** An edit that drags itself (dmAutomatic), a panel that takes drops right
 *  of its x = 50 only, and a panel without a drag handler. */
struct TDragForm {
  TDragForm() {
    Edit = Place<TFlatEdit>(&Form, 10, 10, 100, 19);
    Edit->SetName("Edit");
    Edit->SetText("drag me");
    Edit->SetDragMode(dmAutomatic);
    Target = Place<TFlatPanel>(&Form, 150, 10, 120, 80);
    Target->SetName("Target");
    Plain = Place<TFlatPanel>(&Form, 10, 120, 100, 60);
    Plain->SetName("Plain");
    Target->OnDragOver = [this](TObject* s, TObject* source, int x, int y, TDragState state, bool& accept) {
      accept = x >= 50;
      const char* names[] = {"enter", "leave", "move"};
      Events.push_back(Name(s) + " over " + names[state] + " from " + Name(source) + At(x, y) +
                       (accept ? " yes" : " no"));
    };
    Target->OnDragDrop = [this](TObject* s, TObject* source, int x, int y) {
      Events.push_back(Name(s) + " drop from " + Name(source) + At(x, y));
    };
    Edit->OnStartDrag = [this](TObject* s, TDragObject*&) { Events.push_back(Name(s) + " start"); };
    Edit->OnEndDrag = [this](TObject* s, TObject* target, int x, int y) {
      Events.push_back(Name(s) + " end on " + Name(target) + At(x, y));
    };
    Edit->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { Events.push_back("mouse down"); };
    Line = Edit->ClientWidget()->findChild<QLineEdit*>();
  }
  /** The pointer to (x, y) of c, as the edit that holds the mouse sees it. */
  void MoveTo(TControl* c, int x, int y) {
    const QPoint at = Edit->ClientWidget()->mapFromGlobal(ToQPoint(c->ClientToScreen({x, y})));
    SendMouse(Edit->ClientWidget(), QEvent::MouseMove, Qt::LeftButton, at);
  }
  void ReleaseAt(TControl* c, int x, int y) {
    const QPoint at = Edit->ClientWidget()->mapFromGlobal(ToQPoint(c->ClientToScreen({x, y})));
    SendMouse(Edit->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, at);
  }
  static QPoint ToQPoint(TPoint p) { return {p.X, p.Y}; }
  TShownForm Form;
  TFlatEdit* Edit;
  TFlatPanel* Target;
  TFlatPanel* Plain;
  QLineEdit* Line;
  Log Events;
};

TEST(Dragging, AnEditDraggedOntoAPanelIsRefusedThenAcceptedAndDropped) {
  TDragForm f;
  ASSERT_NE(f.Line, nullptr);
  SendMouse(f.Line, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  EXPECT_TRUE(f.Edit->Dragging());
  EXPECT_EQ(DragControl(), f.Edit);
  EXPECT_EQ(f.Events, (Log{"Edit start"})) << "the press starts the drag and does nothing else";

  f.MoveTo(f.Edit, 8, 8);
  EXPECT_EQ(DragCursorShown(), crDefault) << "not yet past the threshold";
  f.MoveTo(f.Plain, 20, 20);
  EXPECT_EQ(DragCursorShown(), crNoDrop) << "a control without OnDragOver takes nothing";
  f.MoveTo(f.Target, 20, 30);
  EXPECT_EQ(DragCursorShown(), crNoDrop);
  f.MoveTo(f.Target, 60, 30);
  EXPECT_EQ(DragCursorShown(), crDrag);
  f.ReleaseAt(f.Target, 61, 31);
  // The target answers for the point where the button comes up.
  EXPECT_EQ(f.Events, (Log{"Edit start", "Target over enter from Edit 20,30 no", "Target over move from Edit 60,30 yes",
                           "Target over move from Edit 61,31 yes", "Target over leave from Edit 61,31 yes",
                           "Target drop from Edit 61,31", "Edit end on Target 61,31"}));
  EXPECT_FALSE(f.Edit->Dragging());
  EXPECT_EQ(DragCursorShown(), crDefault);
  EXPECT_FALSE(f.Edit->MouseCapture());

  // A drop where the target refuses drops nothing.
  f.Events.clear();
  SendMouse(f.Line, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  f.MoveTo(f.Target, 10, 30);
  f.ReleaseAt(f.Target, 10, 30);
  EXPECT_EQ(f.Events, (Log{"Edit start", "Target over enter from Edit 10,30 no", "Target over leave from Edit 10,30 no",
                           "Edit end on none 0,0"}));
}

TEST(Dragging, EscapeCancelsAndAReleaseBeforeTheThresholdDropsNothing) {
  TDragForm f;
  SendMouse(f.Line, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  f.MoveTo(f.Target, 70, 30);
  EXPECT_EQ(DragCursorShown(), crDrag);
  Key(f.Line, Qt::Key_Escape);
  EXPECT_EQ(f.Events, (Log{"Edit start", "Target over enter from Edit 70,30 yes", "Target over leave from Edit 70,30 yes",
                           "Edit end on none 0,0"}));
  EXPECT_FALSE(f.Edit->Dragging());
  EXPECT_EQ(DragCursorShown(), crDefault);
  // The mouse is the edit's own again.
  f.Events.clear();
  f.ReleaseAt(f.Target, 70, 30);
  EXPECT_TRUE(f.Events.empty());

  SendMouse(f.Line, QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  f.MoveTo(f.Edit, 9, 9);
  f.ReleaseAt(f.Edit, 9, 9);
  EXPECT_EQ(f.Events, (Log{"Edit start", "Edit end on none 0,0"}));
}

TEST(Dragging, ManualDragsTheirThresholdTheirCursorAndForms) {
  TDragForm f;
  f.Edit->SetDragMode(dmManual);
  auto* button = Place<TFlatButton>(&f.Form, 10, 200, 80, 25);
  button->SetName("Button");
  button->SetDragCursor(crHandPoint);
  // The program starts the drag from the press, after 10 pixels.
  button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { button->BeginDrag(false, 10); };
  button->OnEndDrag = [&](TObject* s, TObject* target, int x, int y) {
    f.Events.push_back(Name(s) + " end on " + Name(target) + At(x, y));
  };
  SendMouse(button->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  ASSERT_TRUE(button->Dragging());
  const TPoint start = button->ClientToScreen({5, 5});
  DragTo({start.X + 9, start.Y});
  EXPECT_EQ(DragCursorShown(), crDefault);
  DragTo({start.X + 10, start.Y});
  EXPECT_EQ(DragCursorShown(), crNoDrop) << "over the form, which takes nothing";
  DragTo(f.Target->ClientToScreen({80, 5}));
  EXPECT_EQ(DragCursorShown(), crHandPoint) << "the button's own drag cursor";
  button->EndDrag(true);
  EXPECT_EQ(f.Events.back(), "Button end on Target 80,5");
  SendMouse(button->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});

  // At once: the control under the pointer hears of it straight away.
  f.Events.clear();
  Screen->SetCursorPos(f.Target->ClientToScreen({90, 9}));
  f.Edit->BeginDrag(true);
  f.Edit->EndDrag(false);
  EXPECT_EQ(f.Events, (Log{"Edit start", "Target over enter from Edit 90,9 yes", "Target over leave from Edit 90,9 yes",
                           "Edit end on none 0,0"}));
  EXPECT_THROW(f.Form.BeginDrag(true), EInvalidOperation) << "a form only docks";
}

}  // namespace
