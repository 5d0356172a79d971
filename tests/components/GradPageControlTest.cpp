// The owner-drawn page control: tab sizing, the page rules, mouse, keys and
// pixel probes of its tabs.

#include "GuiTestApp.h"
#include "components/GradPageControl.h"
#include "ui/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using qftest::At;
using qftest::FilledImage;
using qftest::Missing;
using qftest::PixelAt;
using qftest::SendMouse;

namespace {

constexpr auto Press = QEvent::MouseButtonPress;
constexpr auto Release = QEvent::MouseButtonRelease;
constexpr auto Move = QEvent::MouseMove;

/** A page control with pages "One", "Two", "Three" (named PageOne...). */
struct TPages {
  explicit TPages(TForm* form, TTabPosition side = tpTop) {
    Control = new TGradPageControl(form);
    Control->SetParent(form);
    Control->SetTabPosition(side);
    Control->SetBounds(0, 0, 320, 200);
    for (const char* name : {"One", "Two", "Three"}) {
      auto* sheet = new TGradTabSheet(form);
      sheet->SetName(std::string("Page") + name);
      sheet->SetCaption(name);
      sheet->SetPageControl(Control);
      Sheets.push_back(sheet);
    }
  }
  QWidget* Widget() const { return Control->ClientWidget(); }
  QPoint TabCentre(int tab) const {
    const TRect r = Control->TabRect(tab);
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  QImage Painted() const {
    QImage img = FilledImage(Control->Width(), Control->Height(), clFuchsia);
    Control->PaintTo(img);
    return img;
  }
  TGradPageControl* Control;
  std::vector<TGradTabSheet*> Sheets;
};

QPoint Centre(const TRect& r) { return {r.Left + r.Width() / 2, r.Top + r.Height() / 2}; }

// ---------------------------------------------------------------- sizing

TEST(GradPages, TabsMakeRoomForMarginsImagesAndBitmapCaps) {
  TForm form(nullptr);
  TPages p(&form);
  TImageList images(16, 12);
  const int plain = p.Control->TabRect(0).Width();
  const struct {
    const char* name;
    std::function<void()> act;
    TSize size;
  } steps[] = {
      {"to_start_with", [] {}, {5, 5}},
      {"left_margin", [&] { p.Control->TabMargin().SetLeftMargin(4); }, {9, 5}},
      {"top_margin", [&] { p.Control->TabMargin().SetTopMargin(3); }, {9, 8}},
      {"margins_below_zero_count_as_zero",
       [&] {
         p.Control->TabMargin().SetLeftMargin(-20);
         p.Control->TabMargin().SetTopMargin(-1);
       },
       {5, 5}},
      {"images_add_their_width", [&] { p.Control->SetImages(&images); }, {21, 5}},
      {"a_background_adds_its_caps",
       [&] {
         p.Control->TabBackGround().SetSize(20, 18);
         p.Control->TabBackGroundChanged();
       },
       {36, 5}},
      {"other_images", [&] { p.Control->SetImages(nullptr); }, {20, 5}},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(p.Control->TabImageSize(), s.size) << s.name;
    EXPECT_EQ(p.Control->TabRect(0).Width(), plain + s.size.cx - 5) << s.name;
  }
  p.Control->SetTabBorder3D(true);
  EXPECT_EQ(p.Control->TabRect(0).Width(), plain - 8) << "standard tabs have no private images";
}

TEST(GradPages, ABackgroundsCapsLieAlongTheTabsOnEverySide) {
  const struct {
    TTabPosition side;
    TSize size;
  } cases[] = {{tpTop, {20, 5}}, {tpBottom, {20, 5}}, {tpLeft, {5, 20}}, {tpRight, {5, 20}}};
  for (const auto& c : cases) {
    TForm form(nullptr);
    TPages p(&form, c.side);
    const TRect before = p.Control->TabRect(0);
    p.Control->TabBackGround().SetSize(20, 18);
    p.Control->TabBackGroundChanged();
    EXPECT_EQ(p.Control->TabImageSize(), c.size) << c.side;
    // Along the strip the tab grows by the caps' width on top or bottom; on
    // the left or right the list's taller images make the strip thicker.
    const TRect after = p.Control->TabRect(0);
    if (c.side == tpLeft || c.side == tpRight) {
      EXPECT_EQ(after.Height(), before.Height()) << c.side;
      EXPECT_GT(after.Width(), before.Width()) << c.side;
    } else {
      EXPECT_EQ(after.Width(), before.Width() + 15) << c.side;
      EXPECT_EQ(after.Height(), before.Height()) << c.side;
    }
    p.Control->TabBackGround().SetSize(0, 0);
    p.Control->TabBackGroundChanged();
    EXPECT_EQ(p.Control->TabImageSize(), (TSize{5, 5})) << "emptied, the caps go again";
  }
}

TEST(GradPages, TheMarginIsToldBeforeItChanges) {
  TTabMargin margin;
  std::vector<std::tuple<int, int, int, int>> heard;  // new, old, which, value seen
  margin.OnMarginChange = [&](TTabMargin* m, int now, int old, TTabMargin::TMarginKind which) {
    heard.emplace_back(now, old, which, which == TTabMargin::mkLeft ? m->LeftMargin() : m->TopMargin());
  };
  margin.SetLeftMargin(3);
  margin.SetLeftMargin(3);
  margin.SetTopMargin(-2);
  TTabMargin copy;
  copy.Assign(margin);
  EXPECT_EQ(copy.LeftMargin(), 3);
  EXPECT_EQ(copy.TopMargin(), -2);
  EXPECT_EQ(heard, (std::vector<std::tuple<int, int, int, int>>{{3, 0, TTabMargin::mkLeft, 0},
                                                                {-2, 0, TTabMargin::mkTop, 0}}));
}

// ---------------------------------------------------------------- page rules

TEST(GradPages, HidingTabs) {
  TForm form(nullptr);
  TPages p(&form);
  TGradTabSheet* one = p.Sheets[0];
  TGradTabSheet* two = p.Sheets[1];
  TGradTabSheet* three = p.Sheets[2];
  p.Control->SetActivePage(two);
  two->SetTabVisible(false);
  EXPECT_EQ(p.Control->ActivePage(), three) << "the next shown page takes over";
  EXPECT_EQ(p.Control->PageCount(), 3) << "the page stays in the list";
  EXPECT_EQ(p.Control->Tabs().Count(), 2);
  EXPECT_EQ(three->TabIndex(), 1) << "later tabs move down";
  EXPECT_EQ(two->TabIndex(), -1);
  EXPECT_EQ(p.Control->TabIndex(), 1);
  three->SetTabVisible(false);
  EXPECT_EQ(p.Control->ActivePage(), one) << "with none after it, the previous one";
  one->SetTabVisible(false);
  EXPECT_EQ(p.Control->ActivePage(), nullptr);
  EXPECT_EQ(p.Control->TabIndex(), -1);
  two->SetTabVisible(true);
  EXPECT_EQ(p.Control->ActivePage(), two) << "the only tab comes active";
  TGradTabSheet loose(&form);
  loose.SetTabVisible(true);
  EXPECT_EQ(loose.TabIndex(), -1) << "no tab outside a page control";
}

TEST(GradPages, TabSplitLineAndTheDotNetStyle) {
  TForm form(nullptr);
  TPages p(&form);
  p.Control->SetTabStyle(tsDotNet);
  try {
    p.Control->SetTabSplitLine(true);
    ADD_FAILURE() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TabSplitLine must be false when TabStyle is tsDotNet");
  }
  EXPECT_FALSE(p.Control->TabSplitLine());
  p.Control->SetTabStyle(tsClassic);
  p.Control->SetTabSplitLine(true);
  p.Control->SetTabStyle(tsDotNet);
  EXPECT_TRUE(p.Control->TabSplitLine()) << "set first, the style may follow";
}

TEST(GradPages, DefaultColoursReachThePagesThatKeptThem) {
  TForm form(nullptr);
  TPages p(&form);
  p.Sheets[1]->SetTabColor(clYellow);
  p.Sheets[2]->SetTextColor(clRed);
  p.Control->SetDefaultTabColor(clAqua);
  p.Control->SetDefaultTextColor(clNavy);
  p.Control->SetDefaultTabColorTo(clWhite);
  auto colours = [](TGradTabSheet* s) { return std::vector<TColor>{s->TabColor(), s->TabColorTo(), s->TextColor()}; };
  EXPECT_EQ(colours(p.Sheets[0]), (std::vector<TColor>{clAqua, clWhite, clNavy}));
  EXPECT_EQ(colours(p.Sheets[1]), (std::vector<TColor>{clYellow, clWhite, clNavy}));
  EXPECT_EQ(colours(p.Sheets[2]), (std::vector<TColor>{clAqua, clWhite, clRed}));
  auto* joining = new TGradTabSheet(&form);
  joining->SetPageControl(p.Control);
  EXPECT_EQ(colours(joining), (std::vector<TColor>{clAqua, clWhite, clNavy})) << "a page joining takes them";
}

// ---------------------------------------------------------------- mouse

TEST(GradPages, ClickingATabChoosesItsPageAndHoverFollowsTheMouse) {
  qftest::TShownForm form;
  TPages p(&form);
  int changes = 0;
  p.Control->OnChange = [&](TObject*) { ++changes; };
  SendMouse(p.Widget(), Press, Qt::LeftButton, p.TabCentre(2));
  SendMouse(p.Widget(), Release, Qt::LeftButton, p.TabCentre(2));
  EXPECT_EQ(p.Control->ActivePage(), p.Sheets[2]);
  EXPECT_EQ(changes, 1);

  // Hover follows the mouse only with hover colours.
  SendMouse(p.Widget(), Move, Qt::NoButton, p.TabCentre(1));
  EXPECT_EQ(p.Control->HoverTab(), -1) << "no hover colour";
  p.Control->SetTabHoverColor(clYellow);
  p.Sheets[0]->SetTabVisible(false);
  SendMouse(p.Widget(), Move, Qt::NoButton, p.TabCentre(1));
  EXPECT_EQ(p.Control->HoverTab(), 1) << "counted among the shown tabs";
  SendMouse(p.Widget(), Move, Qt::NoButton, {300, 150});
  EXPECT_EQ(p.Control->HoverTab(), -1) << "over the page";
  SendMouse(p.Widget(), Move, Qt::NoButton, p.TabCentre(0));
  EXPECT_EQ(p.Control->HoverTab(), 0);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(p.Control->Handle(), &leave);
  EXPECT_EQ(p.Control->HoverTab(), -1);
}

TEST(GradPages, TheCloseButtonsPlace) {
  TForm form(nullptr);
  const struct {
    const char* name;
    TTabPosition side;
    int left, top;
    bool activeBitmap;
  } cases[] = {{"top", tpTop, 0, 0, false},
               {"top_with_margins", tpTop, 3, 2, false},
               {"bottom", tpBottom, 1, 1, false},
               {"left_from_the_bottom", tpLeft, 2, 3, false},
               {"left_with_an_active_bitmap", tpLeft, 2, 3, true}};
  for (const auto& c : cases) {
    TPages p(&form, c.side);
    p.Control->TabMargin().SetLeftMargin(c.left);
    p.Control->TabMargin().SetTopMargin(c.top);
    p.Control->SetTabOverlap(4);
    if (c.activeBitmap) p.Control->TabBackGroundActive().SetSize(10, 10);
    EXPECT_TRUE(p.Control->CloseButtonRect().IsEmpty()) << c.name << ": no close button yet";
    p.Sheets[0]->SetShowClose(true);
    const TRect d = p.Control->DrawnTabRect(0);
    const int x = d.Left + c.left;
    TRect want{x + 2, d.Top + c.top + 2, x + 14, d.Top + c.top + 13};
    if (c.side == tpLeft) want = {x + 2, d.Bottom - c.top - 13, x + 14, d.Bottom - c.top - 2};
    if (c.activeBitmap) OffsetRect(want, 2, 4);
    EXPECT_EQ(p.Control->CloseButtonRect(), want) << c.name;
    p.Control->SetActivePageIndex(1);
    EXPECT_TRUE(p.Control->CloseButtonRect().IsEmpty()) << c.name << ": only on the active page";
    delete p.Control;  // the sheets go with it
  }
}

TEST(GradPages, TheCloseButtonClosesThePage) {
  qftest::TShownForm form;
  TPages p(&form);
  p.Control->SetTabHoverColor(clYellow);  // the button turns hot only with hover colours
  for (TGradTabSheet* s : p.Sheets) s->SetShowClose(true);
  p.Control->SetActivePageIndex(1);
  TGradTabSheet* two = p.Sheets[1];
  bool allow = false;
  std::vector<std::string> heard;
  two->OnCanClose = [&](TObject*, bool& can) {
    heard.push_back(can ? "asked yes" : "asked no");
    can = allow;
  };
  two->OnClose = [&](TObject*) { heard.push_back("closed"); };
  const QPoint button = Centre(p.Control->CloseButtonRect());
  QWidget* w = p.Widget();
  SendMouse(w, Move, Qt::NoButton, button);
  EXPECT_EQ(p.Control->CloseButtonState(), cbsHot);
  SendMouse(w, Press, Qt::LeftButton, button);
  EXPECT_EQ(p.Control->CloseButtonState(), cbsPressed);
  SendMouse(w, Release, Qt::LeftButton, {300, 150});
  EXPECT_EQ(p.Control->ActivePage(), two) << "released elsewhere";
  SendMouse(w, Press, Qt::LeftButton, button);
  SendMouse(w, Release, Qt::LeftButton, button);
  EXPECT_EQ(p.Control->ActivePage(), two) << "OnCanClose said no";
  allow = true;
  SendMouse(w, Press, Qt::LeftButton, button);
  SendMouse(w, Release, Qt::LeftButton, button);
  EXPECT_EQ(heard, (std::vector<std::string>{"asked yes", "asked yes", "closed"}));
  EXPECT_EQ(p.Control->ActivePage(), p.Sheets[2]) << "the next page";
  EXPECT_EQ(p.Control->PageCount(), 2);
  EXPECT_EQ(two->PageControl(), nullptr);
  ASSERT_EQ(p.Control->ClosedPages().size(), 1u);
  EXPECT_EQ(p.Control->ClosedPages()[0].first, "PageTwo");
  EXPECT_EQ(p.Control->ClosedPages()[0].second, two);
  EXPECT_EQ(p.Control->CloseButtonState(), cbsNormal);

  // Closing the pages one by one leaves none active.
  for (int i = 0; i < 2; ++i) {
    const QPoint at = Centre(p.Control->CloseButtonRect());
    SendMouse(w, Press, Qt::LeftButton, at);
    SendMouse(w, Release, Qt::LeftButton, at);
  }
  EXPECT_EQ(p.Control->PageCount(), 0);
  EXPECT_EQ(p.Control->ActivePage(), nullptr);
  EXPECT_EQ(p.Control->ActivePageIndex(), -1);
  EXPECT_EQ(p.Control->ClosedPages().size(), 3u);
  delete two;
  EXPECT_EQ(p.Control->ClosedPages().size(), 2u) << "a closed page that goes leaves the list";
  p.Sheets[0]->SetPageControl(p.Control);
  EXPECT_EQ(p.Control->ClosedPages().size(), 1u) << "a page put back is no longer closed";
}

// ---------------------------------------------------------------- pictures

TEST(GradPages, TabFacesAndTheSheetFrame) {
  TForm form(nullptr);
  TPages p(&form);
  TGradPageControl* c = p.Control;
  c->SetTabHeight(48);  // bands of three pixels and more
  c->SetActiveColor(clWhite);
  c->SetActiveColorTo(clNavy);
  c->SetDefaultTabColor(RGB(200, 220, 240));
  c->SetTabSheetBorderColor(clGray);
  c->SetTabBorderColor(clMaroon);
  p.Sheets[2]->SetTabColorTo(RGB(0, 100, 0));
  p.Sheets[2]->SetTabGradientDirection(gdHorizontal);
  c->SetActivePageIndex(1);
  QImage img = p.Painted();
  const TRect a = c->DrawnTabRect(1), one = c->TabRect(0), three = c->TabRect(2), f = c->PageFrameRect();
  const TColor plain = RGB(200, 220, 240);
  EXPECT_EQ(Missing(img, {// The active tab: 16 bands from white down to 15/16 of the way to navy, its outline,
                          // a rounded corner showing the strip.
                          At(a.Left + 3, a.Top + 1, clWhite), At(a.Left + 3, a.Bottom - 1, RGB(16, 16, 136)),
                          At(a.Left + 2, a.Top, clMaroon), At(a.Left, a.Top, clBtnFace),
                          // Plain tabs are one colour, also right of the active tab.
                          At(one.Left + 3, one.Top + 3, plain), At(one.Left + 3, one.Bottom - 2, plain),
                          At(three.Left + 2, three.Top + 5, plain),
                          // The sheet's flat frame opens under the tabs; past the last tab the line stays.
                          At(f.Left, f.Top + 20, clGray), At(f.Right - 1, f.Bottom - 1, clGray),
                          At(one.Left + 5, f.Top, c->Color()), At(f.Right - 5, f.Top, clGray)}),
            "");
  EXPECT_NE(PixelAt(img, three.Right - 2, three.Top + 5), plain) << "a horizontal gradient runs across";
  c->SetTabSplitLine(true);
  EXPECT_EQ(PixelAt(p.Painted(), one.Left + 5, f.Top), clGray) << "the split line";
  c->SetRoundEdges(true);
  EXPECT_EQ(Missing(p.Painted(), {At(f.Left, f.Bottom - 1, c->Color()), At(f.Left + 1, f.Bottom - 2, clGray)}), "")
      << "a cut corner";
}

// Rows of tabs in front of the selected tab's row go to the other side of
// the sheet with ScrollOpposite, behind the other rows without it; the sheet
// lies between and its page follows.
TEST(GradPages, ScrollOppositeMovesTheRowsInFrontToTheOtherSide) {
  const TTabPosition other[] = {tpBottom, tpTop, tpRight, tpLeft};
  for (TTabPosition side : {tpTop, tpBottom, tpLeft, tpRight}) {
    SCOPED_TRACE(side);
    TForm form(nullptr);
    TPages p(&form, side);
    TGradPageControl* c = p.Control;
    for (const char* caption : {"Four", "Five", "Six"}) {
      auto* sheet = new TGradTabSheet(&form);
      sheet->SetCaption(caption);
      sheet->SetPageControl(c);
    }
    c->SetBounds(0, 0, 120, 120);  // two tabs a row, three rows
    c->SetMultiLine(true);
    c->SetTabBorderColor(clMaroon);
    const TRect whole = c->PageFrameRect();
    c->SetScrollOpposite(true);
    c->SetActivePageIndex(4);  // the last row: the two in front move over
    const TRect f = c->PageFrameRect();
    TRect overlap;
    for (int tab = 0; tab < 6; ++tab) {
      EXPECT_EQ(c->TabSide(tab), tab < 4 ? other[side] : side) << "tab " << tab;
      EXPECT_FALSE(IntersectRect(overlap, c->TabRect(tab), f)) << "tab " << tab << " outside the sheet";
    }
    // The row that was in front lies along the sheet, the first row beyond it.
    const TRect near = c->TabRect(2), first = c->TabRect(0);
    const bool lies = side == tpTop      ? near.Top == f.Bottom && first.Top == near.Bottom
                      : side == tpBottom ? near.Bottom == f.Top && first.Bottom == near.Top
                      : side == tpLeft   ? near.Left == f.Right && first.Left == near.Right
                                         : near.Right == f.Left && first.Right == near.Left;
    EXPECT_TRUE(lies);
    EXPECT_EQ(c->ActivePage()->BoundsRect(), c->DisplayRect()) << "the page lies in the sheet";

    // A moved tab opens into the sheet and is outlined away from it, in both looks.
    const TRect t = c->TabRect(2);
    const QPoint edge = side == tpTop      ? QPoint(t.Left + 5, f.Bottom - 1)
                        : side == tpBottom ? QPoint(t.Left + 5, f.Top)
                        : side == tpLeft   ? QPoint(f.Right - 1, t.Top + 5)
                                           : QPoint(f.Left, t.Top + 5);
    auto outer = [&](const TRect& r) {
      return side == tpTop      ? QPoint(r.Left + 5, r.Bottom - 1)
             : side == tpBottom ? QPoint(r.Left + 5, r.Top)
             : side == tpLeft   ? QPoint(r.Right - 1, r.Top + 5)
                                : QPoint(r.Left, r.Top + 5);
    };
    const QImage img = p.Painted();
    EXPECT_EQ(PixelAt(img, edge.x(), edge.y()), ColorToRGB(c->Color())) << "opened";
    EXPECT_EQ(PixelAt(img, outer(t).x(), outer(t).y()), ColorToRGB(clMaroon));
    c->SetTabBorder3D(true);
    const QPoint raised = outer(c->TabRect(0));
    const bool shadowed = other[side] == tpBottom || other[side] == tpRight;
    EXPECT_EQ(PixelAt(p.Painted(), raised.x(), raised.y()), ColorToRGB(shadowed ? cl3DDkShadow : clBtnHighlight));
    c->SetTabBorder3D(false);

    c->SetActivePageIndex(0);  // nothing in front
    EXPECT_EQ(c->PageFrameRect(), whole);
    c->SetScrollOpposite(false);
    c->SetActivePageIndex(4);
    EXPECT_EQ(c->PageFrameRect(), whole) << "without it the rows stay on their side";
    EXPECT_EQ(c->TabSide(0), side);
  }
}

TEST(GradPages, HoverFacesBordersAndTheCloseButtonsLooks) {
  qftest::TShownForm form;
  TPages p(&form);
  TGradPageControl* c = p.Control;
  c->SetTabHoverColor(clYellow);
  c->SetTabHoverBorder(clBlue);
  p.Sheets[0]->SetShowClose(true);
  SendMouse(p.Widget(), Move, Qt::NoButton, p.TabCentre(2));
  const TRect h = c->TabRect(2), box = c->CloseButtonRect();
  // The hovered face and border; the quiet close button and its cross.
  EXPECT_EQ(Missing(p.Painted(), {At(h.Left + 3, h.Top + 3, clYellow), At(h.Left, h.Top + 5, clBlue),
                                  At(box.Left, box.Top, clGray), At(box.Left + 1, box.Top + 1, clWhite),
                                  At(box.Left + 3, box.Top + 3, clBlack)}),
            "");
  SendMouse(p.Widget(), Press, Qt::LeftButton, Centre(box));
  EXPECT_EQ(Missing(p.Painted(), {At(box.Left, box.Top, clBlack), At(box.Left + 1, box.Top + 1, clSilver)}), "")
      << "pressed";
  SendMouse(p.Widget(), Release, Qt::LeftButton, {300, 150});
}

}  // namespace
