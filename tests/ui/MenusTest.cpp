#include "GuiTestApp.h"
#include "ui/Bitmap.h"
#include "ui/Menus.h"
#include "ui/QtConvert.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace qftest;

namespace {

/** A self-painted control that takes the focus and no keys of its own. */
struct TFocusable : TCustomControl {
  explicit TFocusable(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
};

TMenuItem* NewItem(TMenuItem* parent, const std::string& caption, TShortCut shortCut = scNone) {
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  parent->Add(item);
  return item;
}

/** Opens a pop-up menu and closes it when the test is done with it. */
struct TOpenPopup {
  TOpenPopup(TPopupMenu& menu, int x = 100, int y = 100) : Menu(menu.QtPopup()) {
    menu.Popup(x, y);
    EXPECT_TRUE(ProcessEventsUntil([this] { return Menu->isVisible(); }));
  }
  ~TOpenPopup() { Menu->hide(); }
  QMenu* Menu;
  void Click(QAction* a) {
    const QPoint at = Menu->actionGeometry(a).center();
    SendMouse(Menu, QEvent::MouseMove, Qt::NoButton, at);
    SendMouse(Menu, QEvent::MouseButtonPress, Qt::LeftButton, at);
    SendMouse(Menu, QEvent::MouseButtonRelease, Qt::LeftButton, at);
  }
};

TEST(ShortCuts, TextKeysAndShiftStates) {
  EXPECT_EQ(ShortCut('N', {ssCtrl}), scCtrl + 'N');
  EXPECT_EQ(ShortCut(0x141, {ssCtrl}), scNone) << "no key above 255";
  const std::tuple<WORD, TShiftState, std::string> cases[] = {
      {'N', {ssCtrl}, "Ctrl+N"},
      {'O', {ssCtrl, ssAlt}, "Ctrl+Alt+O"},
      {VK_F1, {}, "F1"},
      {VK_F12, {ssShift}, "Shift+F12"},
      {VK_DELETE, {ssAlt, ssShift, ssCtrl}, "Shift+Ctrl+Alt+Del"},
      {VK_NEXT, {}, "PgDn"},
      {VK_RETURN, {ssCtrl}, "Ctrl+Enter"},
      {'7', {}, "7"},
      {0xBA, {ssCtrl}, ""},  // a key without a name has no text at all
      {0, {ssCtrl}, ""},
  };
  for (const auto& [key, shift, text] : cases) {
    const TShortCut s = ShortCut(key, shift);
    EXPECT_EQ(ShortCutToText(s), text) << text;
    WORD k = 0;
    TShiftState sh;
    ShortCutToKey(s, k, sh);
    EXPECT_EQ(k, key);
    EXPECT_EQ(sh, shift) << text;
  }
}

TEST(MenuItems, TheTreeAndTheQtMenusStayInStep) {
  TPopupMenu menu(nullptr);
  TMenuItem* root = menu.Items();
  TMenuItem* file = NewItem(root, "&File");
  TMenuItem* open = NewItem(file, "&Open", ShortCut('O', {ssCtrl}));
  TMenuItem* line = NewItem(file, "-");
  TMenuItem* exit = NewItem(file, "E&xit");
  auto* save = new TMenuItem(nullptr);
  save->SetCaption("&Save");
  file->Insert(1, save);
  EXPECT_EQ(exit->MenuIndex(), 3);
  ASSERT_NE(file->QtSubMenu(), nullptr);
  EXPECT_EQ(file->QtAction()->menu(), file->QtSubMenu());
  EXPECT_EQ(file->QtSubMenu()->actions(),
            (QList<QAction*>{open->QtAction(), save->QtAction(), line->QtAction(), exit->QtAction()}));
  EXPECT_TRUE(line->QtAction()->isSeparator());
  EXPECT_EQ(open->QtAction()->text().toStdString(), "&Open\tCtrl+O") << "the class library's short cut text";

  EXPECT_THROW(root->Add(open), EMenuError) << "inserted twice";
  EXPECT_THROW(open->Add(file), EMenuError) << "into its own sub-menu";
  EXPECT_THROW(file->Items(4), EMenuError);
  EXPECT_THROW(file->Insert(9, new TMenuItem(&menu)), EMenuError);

  file->Delete(1);  // out of the list, not freed
  EXPECT_FALSE(file->QtSubMenu()->actions().contains(save->QtAction()));
  root->Add(save);
  EXPECT_EQ(std::pair(save->Parent(), root->IndexOf(save)), std::pair(root, 1));
  delete line;  // freed by itself: leaves its parent
  EXPECT_EQ(std::pair(file->Count(), file->QtSubMenu()->actions().size()), std::pair(2, qsizetype(2)));

  TComponent owner(nullptr);
  auto* sub = new TMenuItem(&owner);
  exit->Add(sub);
  EXPECT_NE(exit->QtSubMenu(), nullptr);
  exit->Remove(sub);
  EXPECT_EQ(exit->QtAction()->menu(), nullptr) << "without sub-items it is a command again";
  exit->Add(sub);
  file->Clear();  // frees the items and their sub-items
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(MenuItems, ClicksChecksAndDisabledItemsThroughTheMouse) {
  TPopupMenu menu(nullptr);
  Log clicks;
  auto make = [&](const char* caption) {
    TMenuItem* item = NewItem(menu.Items(), caption);
    item->OnClick = [&clicks, item](TObject* sender) { clicks.push_back(sender == item ? item->Caption() : "?"); };
    return item;
  };
  TMenuItem* plain = make("Plain");
  TMenuItem* checked = make("Checked");
  TMenuItem* off = make("Off");
  TMenuItem* other = make("Other");
  checked->SetChecked(true);
  off->SetEnabled(false);
  {
    TOpenPopup popup(menu);
    popup.Click(off->QtAction());
    EXPECT_TRUE(popup.Menu->isVisible()) << "a disabled item does not close the menu";
    popup.Click(checked->QtAction());
    EXPECT_FALSE(popup.Menu->isVisible());
  }
  EXPECT_TRUE(checked->Checked()) << "a click does not check or uncheck an item";
  {
    TOpenPopup popup(menu);
    popup.Click(plain->QtAction());
  }
  EXPECT_EQ(clicks, (Log{"Checked", "Plain"}));
  off->Click();  // not even from code
  EXPECT_EQ(clicks.size(), 2u);

  // The base style draws the item's own check mark, left of the captions.
  TOpenPopup popup(menu);
  auto ink = [&](TMenuItem* item, int right) {  // pixels unlike the row's left edge
    const QImage img = popup.Menu->grab().toImage();
    const QRect r = popup.Menu->actionGeometry(item->QtAction());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left() + 1; x < std::min(right, r.right()); ++x)
        n += img.pixel(x, y) != img.pixel(r.right() - 1, y);
    return n;
  };
  int textLeft = 1;
  while (textLeft < 60 && ink(other, textLeft) == 0) ++textLeft;
  ASSERT_GT(textLeft, 8);
  EXPECT_GT(ink(checked, textLeft - 1), 0);
  EXPECT_EQ(ink(plain, textLeft - 1), 0);
  checked->SetChecked(false);
  EXPECT_EQ(ink(checked, textLeft - 1), 0);
}

TEST(MenuItems, ARadioItemUnchecksItsGroupOnly) {
  TPopupMenu menu(nullptr);
  // Radio items in groups 1, 1 and 2, and a check item in group 1.
  const std::tuple<bool, int> kinds[] = {{true, 1}, {true, 1}, {true, 2}, {false, 1}};
  std::vector<TMenuItem*> items;
  for (auto [radio, group] : kinds) {
    items.push_back(NewItem(menu.Items(), "item"));
    items.back()->SetRadioItem(radio);
    items.back()->SetGroupIndex(group);
    items.back()->SetChecked(true);
  }
  auto checked = [&] {
    std::string s;
    for (TMenuItem* i : items) s += i->Checked() ? '1' : '0';
    return s;
  };
  EXPECT_EQ(checked(), "0111") << "another group; not a radio item";
  items[0]->SetChecked(true);
  EXPECT_EQ(checked(), "1011");
}

/** Records what the owner-draw events are asked and draws each item in its colour. */
struct TDrawRecorder {
  std::map<std::string, std::pair<int, int>> Offered;  // caption: the size offered
  std::map<std::string, TRect> Rects;
  std::map<std::string, TOwnerDrawState> States;
  std::map<std::string, TColor> Colors;
  std::string Font;
  void Attach(TMenuItem* item, TColor color, int height) {
    Colors[item->Caption()] = color;
    item->OnMeasureItem = [this, item, height](TObject* sender, TCanvas* canvas, int& w, int& h) {
      ASSERT_EQ(sender, item);
      Offered[item->Caption()] = {w, h};
      Font = canvas->Font.Name();
      // As a painter does: the caption's width without the one "&".
      const std::string& c = item->Caption();
      w = canvas->TextWidth(c) + 5 - (c.find('&') != std::string::npos ? canvas->TextWidth("&") : 0);
      h = height;
    };
    item->OnAdvancedDrawItem = [this, item](TObject*, TCanvas* canvas, const TRect& r, TOwnerDrawState s) {
      Rects[item->Caption()] = r;
      States[item->Caption()] = s;
      canvas->Brush.Color = Colors[item->Caption()];
      canvas->FillRect(r);
      canvas->SetPixels(r.Left - 1, r.Top, clLime);  // outside its rectangle
    };
  }
};

TEST(OwnerDraw, PopupItemsAreMeasuredAndDrawnByTheirEvents) {
  TPopupMenu menu(nullptr);
  TDrawRecorder rec;
  TMenuItem* open = NewItem(menu.Items(), "&Open", ShortCut('O', {ssCtrl}));
  TMenuItem* line = NewItem(menu.Items(), "-");
  TMenuItem* off = NewItem(menu.Items(), "Disabled");
  TMenuItem* tick = NewItem(menu.Items(), "Checked and default");
  TMenuItem* more = NewItem(menu.Items(), "More");
  NewItem(more, "Sub-item");
  off->SetEnabled(false);
  tick->SetChecked(true);
  tick->SetDefault(true);
  rec.Attach(more, clLime, 17);
  rec.Attach(open, clRed, 21);
  rec.Attach(line, clBlue, 4);
  rec.Attach(off, clYellow, 18);
  rec.Attach(tick, clAqua, 19);
  {
    TOpenPopup popup(menu);  // not owner-drawn yet: the events stay out
    EXPECT_TRUE(rec.Offered.empty());
    EXPECT_TRUE(rec.Rects.empty());
  }
  menu.SetOwnerDraw(true);
  EXPECT_EQ(open->QtAction()->text().toStdString(), "&Open") << "no short cut column for an item that draws itself";
  TOpenPopup popup(menu);
  ASSERT_TRUE(ProcessEventsUntil([&] { return rec.Rects.size() == 5; }));
  EXPECT_EQ(rec.Font, MenuFont().Name());
  for (const auto& [caption, size] : rec.Offered)
    EXPECT_TRUE(size.first > 0 && size.second > 0) << caption << ": the size the item would take";
  TCanvas measure;
  measure.Font = MenuFont();
  const int widest = measure.TextWidth("Checked and default") + 5;
  const std::tuple<TMenuItem*, int> heights[] = {{open, 21}, {line, 4}, {off, 18}, {tick, 19}, {more, 17}};
  for (auto [item, height] : heights) {
    const QRect g = popup.Menu->actionGeometry(item->QtAction());
    EXPECT_EQ(g.height(), height) << item->Caption();
    EXPECT_EQ(g.width(), widest) << item->Caption() << ": the measured width, nothing added for the short cut";
    EXPECT_EQ(rec.Rects[item->Caption()], FromQRect(g)) << item->Caption();
  }
  EXPECT_EQ(rec.States["&Open"], TOwnerDrawState{});
  EXPECT_EQ(rec.States["Disabled"], (TOwnerDrawState{odDisabled, odGrayed}));
  EXPECT_EQ(rec.States["Checked and default"], (TOwnerDrawState{odChecked, odDefault}));

  QImage img = popup.Menu->grab().toImage();
  for (TMenuItem* item : {open, line, off, tick}) {
    const TRect r = rec.Rects[item->Caption()];
    EXPECT_TRUE(AllPixels(img, {r.Left + 1, r.Top, r.Right, r.Bottom}, rec.Colors[item->Caption()]))
        << item->Caption();
  }
  const TRect m = rec.Rects["More"];
  EXPECT_EQ(PixelAt(img, m.Right - 9, m.Top + m.Height() / 2), ColorToRGB(clMenuText)) << "a sub-menu's arrow";
  EXPECT_EQ(PixelAt(img, m.Right - 10, m.Top + m.Height() / 2), clLime);
  const TRect first = rec.Rects["&Open"];
  if (first.Left > 0) {
    EXPECT_EQ(PixelAt(img, first.Left - 1, first.Top), clLime) << "drawing reaches past the item";
  }

}

TEST(OwnerDraw, APopupFrameDrawnByTheMenuGetsTheClassicBorder) {
  TPopupMenu menu(nullptr);
  TMenuItem* item = NewItem(menu.Items(), "Item");
  TRect frameRect;
  menu.OnDrawFrame = [&](TObject* sender, TCanvas* canvas, const TRect& r) {
    EXPECT_EQ(sender, &menu);
    frameRect = r;
    canvas->Brush.Color = clRed;
    for (int i = 0; i < 3; ++i) canvas->FrameRect({r.Left + i, r.Top + i, r.Right - i, r.Bottom - i});
  };
  {
    TOpenPopup popup(menu);
    EXPECT_TRUE(frameRect.IsEmpty()) << "only for an owner-drawn menu";
  }
  menu.SetOwnerDraw(true);
  TOpenPopup popup(menu);
  ASSERT_TRUE(ProcessEventsUntil([&] { return !frameRect.IsEmpty(); }));
  EXPECT_EQ(frameRect, (TRect{0, 0, popup.Menu->width(), popup.Menu->height()}));
  EXPECT_EQ(popup.Menu->actionGeometry(item->QtAction()).topLeft(), QPoint(3, 3)) << "items right inside the border";
  const QImage img = popup.Menu->grab().toImage();
  EXPECT_TRUE(qftest::Ring(img, {2, 2, img.width() - 2, img.height() - 2}, clRed));
}

TEST(OwnerDraw, AMainMenuTakesItsHeightOffTheClientAreaAndDrawsItsBarItems) {
  TShownForm form;
  auto* client = Place<TFocusable>(&form, 0, 0, 10, 10);
  client->SetAlign(alClient);
  const int fullHeight = form.ClientHeight();
  auto* menu = new TMainMenu(&form);
  EXPECT_EQ(form.MenuWidget(), menu->QtMenuBar());
  TMenuItem* file = NewItem(menu->Items(), "&File");
  TMenuItem* help = NewItem(menu->Items(), "&Help");
  NewItem(file, "E&xit", ShortCut('X', {ssCtrl}));
  EXPECT_EQ(file->QtAction()->text().toStdString(), "&File");
  const int bar = menu->QtMenuBar()->height();
  EXPECT_GE(bar, 19) << "at least the classic menu bar";
  EXPECT_EQ(client->Height(), fullHeight - bar);

  TDrawRecorder rec;
  rec.Attach(file, clRed, 30);
  rec.Attach(help, clBlue, 24);
  menu->SetOwnerDraw(true);  // the bar grows to the tallest item, the client area shrinks
  EXPECT_GE(menu->QtMenuBar()->height(), 30);
  EXPECT_EQ(client->Height(), fullHeight - menu->QtMenuBar()->height());
  ASSERT_TRUE(ProcessEventsUntil([&] { return rec.Rects.size() == 2; }));
  const QImage img = menu->QtMenuBar()->grab().toImage();
  const TRect f = rec.Rects["&File"];
  EXPECT_EQ(PixelAt(img, f.Left + 2, f.Top + 2), clRed);
  EXPECT_EQ(rec.States["&File"], TOwnerDrawState{});
  SendMouse(menu->QtMenuBar(), QEvent::MouseMove, Qt::NoButton, QPoint(f.Left + 3, f.Top + 3));
  ASSERT_TRUE(ProcessEventsUntil([&] { return rec.States["&File"].Contains(odHotLight); }))
      << "the mouse over a top-level item";
  SendMouse(menu->QtMenuBar(), QEvent::MouseButtonPress, Qt::LeftButton, QPoint(f.Left + 3, f.Top + 3));
  ASSERT_TRUE(ProcessEventsUntil([&] { return rec.States["&File"].Contains(odSelected); })) << "its menu open";
  EXPECT_TRUE(file->QtSubMenu()->isVisible());
  file->QtSubMenu()->hide();

  delete menu;  // taken off the form at run time: the client area gets its height back
  EXPECT_EQ(form.MenuWidget(), nullptr);
  EXPECT_EQ(client->Height(), fullHeight);
}

TEST(OwnerDraw, AFormFreeingItsMenuIsNotLaidOutAgain) {
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 300, 200);
  form->Show();
  auto* client = Place<TFocusable>(form, 0, 0, 10, 10);
  client->SetAlign(alClient);
  auto* menu = new TMainMenu(form);
  menu->SetOwnerDraw(true);
  // Items owned by the form and made after the menu: the form frees them first.
  std::vector<TMenuItem*> items;
  for (int height : {20, 40}) {
    items.push_back(new TMenuItem(form));
    items.back()->SetCaption("Item");
    items.back()->OnMeasureItem = [height](TObject*, TCanvas*, int&, int& h) { h = height; };
    items.back()->OnAdvancedDrawItem = [](TObject*, TCanvas*, const TRect&, TOwnerDrawState) {};
    menu->Items()->Add(items.back());
  }
  EXPECT_EQ(client->Height(), form->ClientHeight());
  const int tall = form->ClientHeight();
  delete items[1];  // the tall item freed at run time: the bar shrinks once events are handled
  ASSERT_TRUE(ProcessEventsUntil([&] { return client->Height() > tall; }));
  EXPECT_EQ(client->Height(), form->ClientHeight());
  EXPECT_EQ(form->ClientHeight(), 200 - 27 - menu->QtMenuBar()->height());

  int resizes = 0;
  client->OnResize = [&](TObject*) { ++resizes; };
  delete form;
  ProcessEventsUntil([] { return false; }, 30);
  EXPECT_EQ(resizes, 0) << "nothing is laid out while the form frees its components";
}

TEST(ShortCuts, AMenuShortCutNeverTakesAnEditsOwnKeys) {
  TShownForm form;
  auto* menu = new TMainMenu(&form);
  TMenuItem* file = NewItem(menu->Items(), "&File");
  auto* edit = Place<THostedEdit>(&form, 10, 10, 120, 20);
  auto* other = Place<TFocusable>(&form, 10, 50, 60, 40);
  std::map<std::string, int> fired;
  auto item = [&](const std::string& caption, TShortCut s) {
    TMenuItem* i = NewItem(file, caption, s);
    i->OnClick = [&fired, caption](TObject*) { ++fired[caption]; };
    return i;
  };
  // Edit keys stay in the edit; the other short cuts work from it as well.
  constexpr auto ctrl = Qt::ControlModifier, none = Qt::NoModifier;
  // Caption, short cut, the keys pressed, and whether it works from the edit.
  const TShiftState c{ssCtrl};
  const std::tuple<const char*, TShortCut, Qt::Key, Qt::KeyboardModifiers, bool> cases[] = {
      {"Cut", ShortCut('X', c), Qt::Key_X, ctrl, false}, {"Generate", ShortCut('G', c), Qt::Key_G, ctrl, true},
      {"Home", ShortCut(VK_HOME, {}), Qt::Key_Home, none, false}, {"Help", ShortCut(VK_F1, {}), Qt::Key_F1, none, true},
      {"Settings", ShortCut('O', {ssCtrl, ssAlt}), Qt::Key_O, ctrl | Qt::AltModifier, true}};
  for (auto [caption, shortCut, key, mods, fromEdit] : cases) item(caption, shortCut);
  for (auto [caption, shortCut, key, mods, fromEdit] : cases) {
    edit->SetFocus();
    ASSERT_EQ(Focus(), edit->Edit);
    QTest::keyClick(edit->Edit, key, mods);
    EXPECT_EQ(fired[caption], fromEdit ? 1 : 0) << caption << " from the edit";
    other->SetFocus();
    QTest::keyClick(Focus(), key, mods);
    EXPECT_EQ(fired[caption], fromEdit ? 2 : 1) << caption << " from another control";
  }
  // The edit really used its key.
  edit->Edit->setText("abc");
  edit->Edit->selectAll();
  edit->SetFocus();
  QTest::keyClick(edit->Edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(edit->Edit->text().toStdString(), "");
  EXPECT_EQ(fired["Cut"], 1);

  // Hidden items keep their short cuts; disabled ones, or under a disabled parent, lose them.
  other->SetFocus();
  TMenuItem* hidden = item("Hidden", ShortCut('H', {ssCtrl}));
  hidden->SetVisible(false);
  TMenuItem* off = item("Off", ShortCut('J', {ssCtrl}));
  off->SetEnabled(false);
  QTest::keyClick(Focus(), Qt::Key_H, Qt::ControlModifier);
  QTest::keyClick(Focus(), Qt::Key_J, Qt::ControlModifier);
  file->SetEnabled(false);
  QTest::keyClick(Focus(), Qt::Key_H, Qt::ControlModifier);
  file->SetEnabled(true);
  off->SetEnabled(true);
  file->Remove(off);  // out of the menu, out of the keys
  QTest::keyClick(Focus(), Qt::Key_J, Qt::ControlModifier);
  EXPECT_EQ(std::pair(fired["Hidden"], fired["Off"]), std::pair(1, 0));
  delete off;
}

// F10 opens the menu bar at its first menu from any control, an edit too.
TEST(ShortCuts, F10OpensTheMenuBarAtItsFirstMenu) {
  TShownForm form;
  auto* menu = new TMainMenu(&form);
  NewItem(NewItem(menu->Items(), "File"), "New");
  NewItem(NewItem(menu->Items(), "Help"), "About");
  auto* edit = Place<THostedEdit>(&form, 10, 10, 120, 20);
  auto* other = Place<TFocusable>(&form, 10, 50, 60, 40);
  for (TWinControl* from : std::initializer_list<TWinControl*>{edit, other}) {
    from->SetFocus();
    QTest::keyClick(Focus(), Qt::Key_F10);
    ASSERT_TRUE(ProcessEventsUntil([] { return QApplication::activePopupWidget() != nullptr; })) << from->Name();
    EXPECT_EQ(menu->QtMenuBar()->activeAction(), menu->QtMenuBar()->actions().first());
    QApplication::activePopupWidget()->hide();
    ProcessEventsUntil([] { return QApplication::activePopupWidget() == nullptr; });
  }
  edit->SetFocus();
  QTest::keyClick(Focus(), Qt::Key_F10, Qt::ControlModifier);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "only F10 alone";
}

}  // namespace
