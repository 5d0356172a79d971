#include "GuiTestApp.h"
#include "ui/Bitmap.h"
#include "ui/Menus.h"
#include "ui/ToolWin.h"

#include <QMenu>

#include <gtest/gtest.h>

#include <map>

using namespace qftest;

namespace {

TToolButton* Button(TToolBar* bar, TToolButtonStyle style = tbsButton) {
  auto* b = new TToolButton(bar);
  b->SetStyle(style);
  b->SetParent(bar);
  return b;
}

/** A control of another kind, as the flat speed buttons are. */
struct TOther : TGraphicControl {
  using TGraphicControl::TGraphicControl;
};

TEST(ToolBars, ButtonsAndOtherControlsLineUpLeftToRight) {
  TForm form(nullptr);
  form.Show();  // a control of another kind is heard through its widget, which must be showing
  auto* bar = Place<TToolBar>(&form, 0, 0, 300, 29);
  TToolButton *b1 = Button(bar), *b2 = Button(bar), *sep = Button(bar, tbsSeparator), *check = Button(bar, tbsCheck);
  auto* other = Place<TOther>(bar, 5, 5, 30, 25);  // placed by the tool bar, whatever it asked
  TToolButton* hidden = Button(bar);
  hidden->SetVisible(false);
  TToolButton* last = Button(bar);
  auto bounds = [](TControl* c) { return c->BoundsRect(); };
  EXPECT_EQ(bounds(b2), (TRect{23, 0, 46, 22}));
  EXPECT_EQ(bounds(sep), (TRect{46, 0, 54, 22})) << "a separator is 8 wide";
  EXPECT_EQ(bounds(check), (TRect{54, 0, 77, 22}));
  EXPECT_EQ(bounds(other), (TRect{77, 0, 107, 25})) << "other controls keep their size";
  EXPECT_EQ(bounds(last), (TRect{107, 0, 130, 22})) << "hidden ones take no room";

  other->SetWidth(40);  // a child resized from outside
  EXPECT_EQ(bounds(last).Left, 117);
  hidden->SetVisible(true);
  EXPECT_EQ(bounds(hidden), (TRect{117, 0, 140, 22}));
  bar->SetButtonWidth(30);
  bar->SetButtonHeight(26);
  EXPECT_EQ(bounds(sep), (TRect{60, 0, 68, 26}));
  delete b2;
  EXPECT_EQ(bounds(sep).Left, 30);

  // Captions: the buttons take the widest caption's width, the image above it.
  TImageList images(16, 16);
  bar->SetImages(&images);
  b1->SetCaption("Generate");
  bar->SetShowCaptions(true);
  TCanvas measure;
  measure.Font = bar->Font();
  const int wide = measure.TextWidth("Generate") + 8;
  ASSERT_GT(wide, 30);
  EXPECT_EQ(bounds(b1), (TRect{0, 0, wide, std::max(26, 16 + measure.TextHeight("G") + 8)}));
  EXPECT_EQ(std::pair(bounds(check).Width(), bounds(sep).Width()), std::pair(wide, 8));
}

TEST(ToolBars, TheCustomDrawEventSeesEachStateAndCanTakeTheDrawingOver) {
  TForm form(nullptr);
  auto* bar = Place<TToolBar>(&form, 0, 0, 200, 22);
  bar->SetFlat(true);
  TToolButton* own = Button(bar);  // drawn by the handler alone
  TToolButton *check = Button(bar, tbsCheck), *off = Button(bar), *sep = Button(bar, tbsSeparator);
  off->SetEnabled(false);
  std::map<TToolButton*, TCustomDrawState> states;
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  off->OnClick = [&](TObject*) { ++clicks; };
  bar->OnCustomDrawButton = [&](TToolBar* sender, TToolButton* b, TCustomDrawState state, bool& defaultDraw) {
    EXPECT_TRUE(sender == bar && defaultDraw);
    states[b] = state;
    if (b != own) return;
    sender->Canvas()->Brush.Color = clRed;
    sender->Canvas()->FillRect(b->BoundsRect());
    defaultDraw = false;
  };
  const TRect c = check->BoundsRect();
  EXPECT_EQ(Missing(Painted(bar), {{own->BoundsRect(), clRed}, {c, bar->Color()}, At(sep->Left() + 3, 5, clBtnShadow)}),
            "")
      << "drawn by the handler; a flat button at rest shows no edge; the etched line of a flat separator";
  EXPECT_EQ(states.count(sep), 0u) << "separators are not custom drawn";
  EXPECT_EQ(states[check], TCustomDrawState{});
  EXPECT_EQ(states[off], TCustomDrawState{cdsDisabled});

  // The mouse over the check button, pressing, releasing, leaving.
  Hover(check->Handle(), true);
  EXPECT_EQ(Missing(Painted(bar), {At(c.Left, c.Top, clBtnHighlight), At(c.Right - 1, c.Bottom - 1, clBtnShadow)}), "")
      << "raised while hot";
  EXPECT_EQ(states[check], TCustomDrawState{cdsHot});
  SendMouse(check->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  EXPECT_EQ(PixelAt(Painted(bar), c.Left, c.Top), ColorToRGB(clBtnShadow)) << "sunken while pressed";
  EXPECT_EQ(states[check], (TCustomDrawState{cdsHot, cdsSelected}));
  SendMouse(check->Handle(), QEvent::MouseMove, Qt::LeftButton, {50, 5});
  Painted(bar);
  EXPECT_EQ(states[check], TCustomDrawState{}) << "the mouse pressed but outside";
  SendMouse(check->Handle(), QEvent::MouseMove, Qt::LeftButton, {5, 5});
  SendMouse(check->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
  EXPECT_EQ(clicks, 1);
  Hover(check->Handle(), false);
  EXPECT_EQ(PixelAt(Painted(bar), c.Left + 1 + (c.Left + c.Top + 2) % 2, c.Top + 1), ColorToRGB(clBtnHighlight))
      << "a button that stays down is dithered";
  EXPECT_EQ(states[check], TCustomDrawState{cdsChecked});
  Click(check->Handle(), {5, 5});
  EXPECT_FALSE(check->Down()) << "and comes up on the next click";
  SendMouse(check->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  SendMouse(check->Handle(), QEvent::MouseButtonRelease, Qt::LeftButton, {6, 5});
  EXPECT_EQ(clicks, 3) << "two quick clicks are two clicks";

  bar->SetFlat(false);  // a plain tool bar raises every button that is not down
  bar->OnCustomDrawButton = nullptr;
  const TRect o = off->BoundsRect(), w = own->BoundsRect();
  EXPECT_EQ(Missing(Painted(bar), {At(o.Right - 1, o.Bottom - 1, cl3DDkShadow),
                                   At(w.Right - 1, w.Bottom - 1, cl3DDkShadow),
                                   At(c.Right - 1, c.Bottom - 1, clBtnHighlight)}),
            "")
      << "raised; the one that is down sunken";
}

TEST(ToolBars, ADropDownButtonOpensItsMenuFromTheArrowPartAndATransparentBarShowsItsParent) {
  TShownForm form;
  form.SetColor(RGB(10, 100, 10));
  auto* bar = Place<TToolBar>(&form, 0, 0, 200, 22);
  bar->SetColor(clBtnFace);
  TToolButton *drop = Button(bar, tbsDropDown), *next = Button(bar);
  EXPECT_EQ(next->Left(), 23 + 13) << "wider by its arrow part";
  auto* menu = new TPopupMenu(&form);
  menu->Items()->Add(new TMenuItem(&form));
  drop->SetDropdownMenu(menu);
  int clicks = 0;
  drop->OnClick = [&](TObject*) { ++clicks; };
  Click(drop->Handle(), {5, 5});
  SendMouse(drop->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {30, 5});
  ASSERT_TRUE(ProcessEventsUntil([&] { return menu->QtPopup()->isVisible(); }));
  EXPECT_EQ(clicks, 1) << "the main part clicks, the arrow part opens the menu";
  EXPECT_TRUE(bar->ButtonState(drop).Contains(cdsSelected)) << "pressed while its menu is open";
  const QPoint under = menu->QtPopup()->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(TPoint({under.x(), under.y()}), drop->ClientToScreen({0, 22})) << "under the button";
  menu->QtPopup()->hide();
  EXPECT_FALSE(bar->ButtonState(drop).Contains(cdsSelected));
  delete menu;
  Click(drop->Handle(), {30, 5});
  EXPECT_EQ(clicks, 2) << "a menu that went is forgotten: the arrow part clicks";
  bar->SetFlat(true);
  Hover(drop->Handle(), true);
  EXPECT_EQ(Missing(Painted(bar), {At(22, 5, clBtnShadow), At(23, 5, clBtnHighlight)}), "") << "an edge round each part";

  EXPECT_EQ(PixelAt(Painted(bar), 100, 5), ColorToRGB(clBtnFace));
  bar->SetTransparent(true);
  EXPECT_EQ(PixelAt(Painted(bar), 100, 5), RGB(10, 100, 10)) << "the form beneath";
}

TEST(ControlBars, BandsHoldTheirControlsAndPaintThroughTheEvent) {
  TForm form(nullptr);
  auto* cb = Place<TControlBar>(&form, 0, 0, 200, 60);
  cb->SetColor(clBtnFace);
  auto* t1 = Place<TToolBar>(cb, 0, 0, 60, 22);
  auto* t2 = Place<TToolBar>(cb, 90, 30, 40, 22);
  auto* t3 = Place<TToolBar>(cb, 0, 0, 70, 22);
  EXPECT_EQ(t1->BoundsRect(), (TRect{11, 2, 71, 24}));
  EXPECT_EQ(t2->BoundsRect(), (TRect{84, 2, 124, 24}));
  EXPECT_EQ(t3->BoundsRect(), (TRect{11, 28, 81, 50})) << "a band that does not fit starts a new row";
  EXPECT_EQ(TControlBar::BandRect(t1), (TRect{0, 0, 73, 26}));
  t1->SetWidth(30);
  EXPECT_EQ(t2->Left(), 54);
  EXPECT_EQ(t3->Top(), 2) << "room on the first row now";

  std::vector<TControl*> painted;
  cb->OnBandPaint = [&](TObject* sender, TControl* control, TCanvas* canvas, TRect& r, TBandPaintOptions& options) {
    EXPECT_TRUE(sender == cb && r == TControlBar::BandRect(control));
    EXPECT_EQ(options, (TBandPaintOptions{bpoGrabber, bpoFrame}));
    painted.push_back(control);
    if (control != t2) return;
    canvas->Brush.Color = clRed;
    canvas->FillRect(r);
    options = {};
  };
  const QImage img = Painted(cb);
  EXPECT_EQ(painted, (std::vector<TControl*>{t1, t2, t3}));
  const TRect b1 = TControlBar::BandRect(t1), b2 = TControlBar::BandRect(t2);
  EXPECT_EQ(Missing(img, {At(b1.Left, b1.Top, clBtnHighlight), At(b1.Left + 3, b1.Top + 3, clBtnHighlight),
                          At(b1.Left + 5, b1.Top + 4, clBtnShadow), {{b2.Left, b2.Top, t2->Left(), b2.Bottom}, clRed}}),
            "")
      << "the frame and the grabber; none on the band that asked for none";
}

}  // namespace
