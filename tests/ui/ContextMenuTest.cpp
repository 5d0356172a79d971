// Context menus of controls: the right button's release, the context-menu
// key and Shift+F10 ask for one; OnContextPopup answers first, then the
// control's PopupMenu, an edit's own menu, and then the parent.

#include "GuiTestApp.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

using namespace qftest;

namespace {

struct TFocusable : TCustomControl {
  explicit TFocusable(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

/** The pop-up window on screen now (a menu), or null; closes it. */
QWidget* TakePopup() {
  ProcessEventsUntil([] { return QApplication::activePopupWidget() != nullptr; }, 300);
  QWidget* w = QApplication::activePopupWidget();
  if (w) w->hide();
  return w;
}

struct TMenuForm {
  TMenuForm() {
    Panel = Place<TFocusable>(&Form, 10, 10, 200, 150);
    Inner = Place<TFocusable>(Panel, 20, 20, 60, 40);
    NewItem(Menu.Items(), "Copy");
  }
  static void NewItem(TMenuItem* parent, const std::string& caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    parent->Add(item);
  }
  void RightClick(TControl* c, int x, int y) {
    SendMouse(c->ClientWidget(), QEvent::MouseButtonPress, Qt::RightButton, {x, y});
    SendMouse(c->ClientWidget(), QEvent::MouseButtonRelease, Qt::RightButton, {x, y});
  }
  TShownForm Form;
  TPopupMenu Menu{nullptr};
  TFocusable* Panel;
  TFocusable* Inner;
};

TEST(ContextMenus, TheMouseAndTheKeysShowTheMenuUnlessOnContextPopupTakesTheRequest) {
  enum TAsk { aMouse, aMenuKey, aShiftF10 };
  const struct {
    const char* name;
    TAsk ask;
    bool handled;
    TPoint mousePos;  // what OnContextPopup is given
    bool shown;
  } cases[] = {
      {"right_click", aMouse, false, {7, 9}, true},
      {"menu_key", aMenuKey, false, {-1, -1}, true},
      {"shift_f10", aShiftF10, false, {-1, -1}, true},
      {"handled_click", aMouse, true, {7, 9}, false},
      {"handled_key", aShiftF10, true, {-1, -1}, false},
  };
  for (const auto& c : cases) {
    TMenuForm f;
    f.Inner->SetPopupMenu(&f.Menu);
    std::vector<TPoint> asked;
    f.Inner->OnContextPopup = [&](TObject*, TPoint p, bool& handled) {
      asked.push_back(p);
      handled = c.handled;
    };
    f.Inner->SetFocus();
    if (c.ask == aMouse) f.RightClick(f.Inner, 7, 9);
    if (c.ask == aMenuKey) Key(Focus(), Qt::Key_Menu);
    if (c.ask == aShiftF10) Key(Focus(), Qt::Key_F10, {}, Qt::ShiftModifier);
    ASSERT_EQ(asked.size(), 1u) << c.name;
    EXPECT_EQ(asked[0], c.mousePos) << c.name;
    QWidget* popup = TakePopup();
    EXPECT_EQ(popup, c.shown ? f.Menu.QtPopup() : nullptr) << c.name;
    if (!c.shown) continue;
    // At the pointer for the mouse, at the control for the keys.
    const TPoint at = f.Inner->ClientToScreen(c.ask == aMouse ? TPoint{7, 9} : TPoint{0, 0});
    EXPECT_EQ(popup->pos(), QPoint(at.X, at.Y)) << c.name;
    EXPECT_EQ(f.Menu.PopupComponent(), f.Inner) << c.name;
  }
}

TEST(ContextMenus, AControlWithoutAMenuLeavesTheRequestToItsParent) {
  TMenuForm f;
  f.Panel->SetPopupMenu(&f.Menu);
  Log seen;
  f.Inner->OnContextPopup = [&](TObject*, TPoint p, bool&) { seen.push_back("inner " + std::to_string(p.X)); };
  f.Panel->OnContextPopup = [&](TObject*, TPoint p, bool&) { seen.push_back("panel " + std::to_string(p.X)); };
  f.RightClick(f.Inner, 5, 5);
  EXPECT_EQ(seen, (Log{"inner 5", "panel 25"})) << "each in its own coordinates, the inner one first";
  EXPECT_EQ(TakePopup(), f.Menu.QtPopup());
  EXPECT_EQ(f.Menu.PopupComponent(), f.Panel);

  // Nothing up the parents has a menu: nothing shows.
  f.Panel->SetPopupMenu(nullptr);
  f.RightClick(f.Inner, 5, 5);
  EXPECT_EQ(TakePopup(), nullptr);
  // A left click or a right press alone asks for nothing.
  f.Panel->SetPopupMenu(&f.Menu);
  seen.clear();
  Click(f.Inner->ClientWidget(), {5, 5});
  SendMouse(f.Inner->ClientWidget(), QEvent::MouseButtonPress, Qt::RightButton, {5, 5});
  EXPECT_TRUE(seen.empty());
  SendMouse(f.Inner->ClientWidget(), QEvent::MouseButtonRelease, Qt::RightButton, {5, 5});
  EXPECT_EQ(TakePopup(), f.Menu.QtPopup());
}

TEST(ContextMenus, AnEditShowsItsOwnMenuUntilItGetsOne) {
  TMenuForm f;
  f.Panel->SetPopupMenu(&f.Menu);
  auto* edit = Place<TEdit>(f.Panel, 10, 100, 120, 21);
  edit->SetText("some text");
  auto* line = edit->ClientWidget()->findChild<QLineEdit*>();
  ASSERT_NE(line, nullptr);
  for (bool own : {false, true}) {
    edit->SetPopupMenu(own ? &f.Menu : nullptr);
    SendMouse(line, QEvent::MouseButtonPress, Qt::RightButton, {4, 4});
    SendMouse(line, QEvent::MouseButtonRelease, Qt::RightButton, {4, 4});
    QWidget* popup = TakePopup();
    ASSERT_NE(popup, nullptr) << own;
    if (own) {
      EXPECT_EQ(popup, f.Menu.QtPopup());
      EXPECT_EQ(f.Menu.PopupComponent(), edit);
    } else {
      EXPECT_NE(popup, f.Menu.QtPopup()) << "the edit's own menu, not the panel's";
      EXPECT_TRUE(qobject_cast<QMenu*>(popup));
    }
  }
}

TEST(ContextMenus, AMenuFreedFirstIsForgottenAndAFreedControlLeavesTheMenu) {
  TMenuForm f;
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  f.Inner->SetPopupMenu(menu.get());
  f.Panel->SetPopupMenu(menu.get());
  f.RightClick(f.Inner, 5, 5);
  ASSERT_EQ(TakePopup(), menu->QtPopup());
  EXPECT_EQ(menu->PopupComponent(), f.Inner);
  delete f.Inner;
  EXPECT_EQ(menu->PopupComponent(), nullptr);
  menu.reset();
  EXPECT_EQ(f.Panel->PopupMenu(), nullptr);
  f.RightClick(f.Panel, 5, 5);
  EXPECT_EQ(TakePopup(), nullptr);
}

}  // namespace
