// The flat edit, memo and combo box: Qt's editing inside flat frames.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatPanel.h"

#include <QApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

constexpr TColor kGround = RGB(200, 200, 190), kFocused = RGB(255, 255, 230), kBorder = RGB(90, 80, 70);

/** Whether the frame and the background of the control's window show the
 *  look whose inner colour is inner. */
void ExpectLook(TWinControl* c, TColor inner) {
  const QImage img = Shot(c);
  const int w = img.width(), h = img.height();
  EXPECT_TRUE(Ring(img, {0, 0, w, h}, kBorder));
  EXPECT_TRUE(Ring(img, {1, 1, w - 1, h - 1}, inner));
  EXPECT_TRUE(Ring(img, {2, 2, w - 2, h - 2}, inner));
  EXPECT_EQ(c->Color(), inner) << "the background";
}

/** The focused look comes with the focus, or with the hover while no control
 *  of the same kind has the focus; never in the background. */
template <class T>
void ExpectFocusedLookRules(int w, int h) {
  enum TFocus { Nobody, Itself, SameKind, AButton };
  const struct {
    const char* name;
    bool hover;
    TFocus focus;
    bool active, focusedLook;
  } cases[] = {
      {"flat", false, Nobody, true, false},
      {"hovered", true, Nobody, true, true},
      {"focused", false, Itself, true, true},
      {"hovered_while_one_of_its_kind_has_the_focus", true, SameKind, true, false},
      {"hovered_while_a_button_has_the_focus", true, AButton, true, true},
      {"hovered_in_the_background", true, Nobody, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    form.SetColor(kGround);
    auto* edit = Place<T>(&form, 10, 10, w, h);
    auto* other = Place<T>(&form, 10, 20 + h, w, h);
    auto* button = Place<TFlatButton>(&form, 10, 30 + 2 * h, 60, 25);
    edit->SetColorFocused(kFocused);
    edit->SetColorBorder(kBorder);
    if (c.focus == Itself) edit->SetFocus();
    if (c.focus == SameKind) other->SetFocus();
    if (c.focus == AButton) button->SetFocus();
    if (!c.active) QApplication::setActiveWindow(nullptr);
    if (c.hover) Enter(edit);
    EXPECT_EQ(edit->FocusedLook(), c.focusedLook);
    ExpectLook(edit, c.focusedLook ? kFocused : kGround);
    if (c.hover) {
      Leave(edit);
      EXPECT_EQ(edit->FocusedLook(), c.focus == Itself);
    }
  }
}

TEST(FlatEdit, TheFocusedLookFollowsFocusAndHoverUnlessAnotherFlatEditHasTheFocus) {
  ExpectFocusedLookRules<TFlatEdit>(121, 19);
}

TEST(FlatMemo, TheFocusedLookFollowsTheSameRulesAndFillsTheScrollBarCorner) {
  ExpectFocusedLookRules<TFlatMemo>(185, 89);
  TShownForm form;
  form.SetColor(kGround);
  auto* memo = Place<TFlatMemo>(&form, 10, 10, 185, 89);
  auto* edit = Place<TFlatEdit>(&form, 10, 110, 121, 19);
  memo->SetColorFocused(kFocused);
  memo->SetScrollBars(ssBoth);
  edit->SetFocus();  // an edit is not of the memo's kind
  Enter(memo);
  EXPECT_TRUE(memo->FocusedLook());
  const TRect corner{185 - 19, 89 - 19, 185 - 3, 89 - 3};
  EXPECT_TRUE(AllPixels(Shot(memo), corner, kFocused));
  Leave(memo);
  EXPECT_TRUE(AllPixels(Shot(memo), corner, kGround));
}

TEST(FlatEdit, TheTextStaysClearOfTheFrameHeightFollowsTheFontAndOwnParentColorFollowsTheParent) {
  TShownForm form;
  auto* panel = Place<TFlatPanel>(&form, 0, 0, 300, 200);
  panel->SetColor(RGB(1, 2, 3));
  auto* edit = Place<TFlatEdit>(panel, 10, 10, 121, 30);
  EXPECT_EQ(edit->Height(), 30) << "a new edit keeps the height it is given";
  auto* line = edit->Handle()->findChild<QLineEdit*>();
  EXPECT_EQ(line->mapTo(edit->Handle(), QPoint(0, 0)), QPoint(3, 3));
  EXPECT_EQ(line->size(), QSize(121 - 6, 30 - 6));
  edit->Loaded();
  EXPECT_EQ(edit->Height(), GetFontMetrics(edit->Font()).tmHeight + 6);
  edit->Font().SetHeight(-20);
  EXPECT_EQ(edit->Height(), GetFontMetrics(edit->Font()).tmHeight + 6);
  EXPECT_GT(edit->Height(), 25);

  EXPECT_EQ(edit->ColorFlat(), RGB(1, 2, 3));
  edit->SetColorFlat(RGB(7, 8, 9));  // turns ParentColor off
  panel->SetColor(RGB(10, 11, 12));
  EXPECT_EQ(edit->Color(), RGB(7, 8, 9));
  edit->SetParentColor(true);
  EXPECT_EQ(edit->Color(), RGB(10, 11, 12));
  panel->SetColor(RGB(4, 5, 6));
  EXPECT_EQ(edit->Color(), RGB(4, 5, 6));
}

// ---------------------------------------------------------------- combo box

/** The triangle's pixels of colour c, by row of the 3-row box. */
std::vector<int> ArrowRows(const QImage& img, TPoint o, TColor c) {
  std::vector<int> rows;
  for (int r = 0; r < 3; ++r) rows.push_back(CountPixels(img, {o.X, o.Y + r, o.X + 13, o.Y + r + 1}, c));
  return rows;
}

TEST(FlatCombo, FrameButtonAndTriangle) {
  TShownForm form;
  form.SetColor(kGround);
  auto* combo = Place<TFlatComboBox>(&form, 10, 10, 145, 21);
  combo->Items().Add("One");
  combo->SetColor(clWhite);
  combo->SetColorArrow(clNavy);
  const int w = 145, h = 21;
  QImage img = Painted(combo);
  EXPECT_TRUE(Ring(img, {0, 0, w - 12, h}, combo->ColorBorder()));
  EXPECT_TRUE(Ring(img, {1, 1, w - 13, h - 1}, clWhite));
  EXPECT_TRUE(Ring(img, {w - 13, 0, w, h}, combo->ColorBorder())) << "the button";
  EXPECT_EQ(PixelAt(img, w - 3, 2), combo->ColorArrowBackground());
  const TPoint o = combo->ArrowOrigin();
  EXPECT_EQ(o, (TPoint{w - 13, h / 2 - 1}));
  EXPECT_EQ(ArrowRows(img, o, clNavy), (std::vector<int>{5, 3, 1})) << "pointing down";
  EXPECT_EQ(PixelAt(img, o.X + 4, o.Y), clNavy);
  EXPECT_EQ(PixelAt(img, o.X + 6, o.Y + 2), clNavy);
  EXPECT_EQ(combo->Handle()->findChild<QLineEdit*>()->geometry(), QRect(3, 3, w - 11 - 8, h - 6));

  combo->SetDroppedDown(true);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(ArrowRows(Painted(combo), o, clNavy), (std::vector<int>{1, 3, 5})) << "pointing up while open";
  combo->SetDroppedDown(false);
  ASSERT_TRUE(ProcessEventsUntil(
      [&] { return ArrowRows(combo->PaintedImage(), o, clNavy) == std::vector<int>{5, 3, 1}; }))
      << "closing the list repaints the button";

  combo->SetEnabled(false);  // embossed: white one pixel down and right, grey on top
  img = Painted(combo);
  EXPECT_EQ(ArrowRows(img, o, 0x808080), (std::vector<int>{5, 3, 1}));
  EXPECT_EQ(CountPixels(img, {o.X, o.Y + 1, o.X + 13, o.Y + 4}, clWhite), 2 + 2 + 1);
}

TEST(FlatCombo, TheNarrowButtonOpensTheListAndAFocusedListBoxHighlightsUpToIt) {
  TShownForm form;
  auto* combo = Place<TFlatComboBox>(&form, 10, 10, 145, 21);
  for (const char* item : {"One", "Two"}) combo->Items().Add(item);
  SendMouse(combo->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {145 - 14, 10});
  EXPECT_FALSE(combo->DroppedDown()) << "left of the button";
  SendMouse(combo->Handle(), QEvent::MouseButtonPress, Qt::LeftButton, {145 - 6, 10});
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->DropDownWindow()->Color(), combo->Color()) << "the list shows on the combo's colour";
  combo->SetDroppedDown(false);

  combo->SetStyle(csDropDownList);
  combo->SetItemIndex(1);
  combo->SetColor(clWhite);
  auto* other = Place<TFlatEdit>(&form, 10, 50, 100, 19);
  other->SetFocus();
  EXPECT_EQ(PixelAt(Painted(combo), 145 - 17, 10), clWhite);
  combo->SetFocus();
  const QImage img = Painted(combo);
  EXPECT_EQ(PixelAt(img, 3, 3), ColorToRGB(clHighlight));
  EXPECT_EQ(PixelAt(img, 145 - 17, 17), ColorToRGB(clHighlight)) << "up to the button";
  EXPECT_EQ(PixelAt(img, 145 - 16, 10), clWhite);
  EXPECT_EQ(PixelAt(img, 2, 10), clWhite);
  combo->Font().SetHeight(-20);
  EXPECT_EQ(combo->ItemHeight(), 13);
}

// Each style as the flat box paints it: the frame, the strip left of the
// button, the button, and the ring an open csDropDown list turns clWindow.
TEST(FlatCombo, EachStylePaintsItsStripBorderAndButton) {
  constexpr TColor kField = RGB(255, 250, 235);
  const int w = 145, h = 21;
  const TRect strip{w - 21, 3, w - 16, h - 3};
  const TColor highlight = ColorToRGB(clHighlight);
  const struct {
    const char* name;
    TComboBoxStyle style;
    bool focus, drop;
    std::vector<TSpot> spots;
  } cases[] = {
      {"drop_down", csDropDown, false, false,
       {At(0, 10, kBorder), At(2, 10, kField), At(w - 15, 10, kField), At(w - 3, 2, 0xC5D6D9)}},
      {"drop_down_open_has_a_clwindow_ring", csDropDown, false, true,
       {At(2, 10, clWhite), At(10, 2, clWhite), At(w - 15, 10, clWhite), At(10, h - 3, clWhite), At(1, 10, kField),
        At(w - 3, 2, 0xC5D6D9)}},
      {"list_strip_in_the_field_colour", csDropDownList, false, false, {{strip, kField}, At(w - 3, 2, 0xC5D6D9)}},
      {"list_focused_strip_and_frame_highlighted", csDropDownList, true, false,
       {{strip, highlight}, At(3, 3, highlight), At(w - 17, h - 4, highlight), At(2, 10, kField)}},
      {"owner_drawn_focused", csOwnerDrawFixed, true, false,
       {{strip, highlight}, At(3, 10, highlight), At(5, 10, kField), At(20, 10, clLime), At(w - 3, 2, 0xC5D6D9)}},
      {"owner_drawn_variable", csOwnerDrawVariable, false, false, {{strip, kField}, At(20, 10, clLime)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    auto* combo = Place<TFlatComboBox>(&form, 10, 10, w, h);
    combo->SetColorBorder(kBorder);
    combo->SetColor(kField);
    combo->SetStyle(c.style);
    for (const char* item : {"One", "Two", "Three"}) combo->Items().Add(item);
    combo->SetItemIndex(1);
    // Item 1 is a green square; the rest of the field is the handler's to leave.
    combo->OnDrawItem = [combo](TWinControl*, int index, const TRect& r, TOwnerDrawState) {
      TCanvas* canvas = combo->Canvas();
      if (index == 1) canvas->Brush.Color = clLime;
      canvas->FillRect(TRect{r.Left + 10, r.Top + 2, r.Left + 30, r.Bottom - 2});
    };
    if (c.focus) combo->SetFocus();
    if (c.drop) combo->SetDroppedDown(true);
    EXPECT_EQ(Missing(Painted(combo), c.spots), "");
  }
}

TEST(FlatCombo, ASimpleBoxHasTheFrameAndTheListButNoButton) {
  TShownForm form;
  form.SetColor(kGround);
  auto* combo = Place<TFlatComboBox>(&form, 10, 10, 145, 90);
  combo->SetColor(clWhite);
  combo->SetColorBorder(kBorder);
  combo->SetStyle(csSimple);
  for (const char* item : {"One", "Two", "Three"}) combo->Items().Add(item);
  const int row = combo->EditRowHeight();
  const QImage img = Painted(combo);
  // The frame keeps the button's room; the box's colour fills it.
  EXPECT_EQ(Missing(img, {At(0, 0, kBorder), At(145 - 13, 5, kBorder), At(145 - 12, 5, clWhite), At(140, 10, clWhite),
                          At(1, 5, clWhite)}),
            "");
  EXPECT_EQ(CountPixels(img, combo->ColorArrowBackground()) + CountPixels(img, combo->ColorArrow()), 0)
      << "no button, no arrow";
  EXPECT_EQ(combo->Handle()->findChild<QLineEdit*>()->geometry(), QRect(3, 3, 145 - 11 - 8, row - 6))
      << "the edit keeps to its row";
  TCustomListBox* list = combo->SimpleList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->BoundsRect(), (TRect{0, row, 145, 90}));
  const QImage shown = Shot(list);
  EXPECT_TRUE(Ring(shown, {0, 0, 145, 90 - row}, kBorder)) << "the list is framed flat";
  EXPECT_TRUE(Ring(shown, {1, 1, 144, 90 - row - 1}, clWhite));
  combo->SetDroppedDown(true);
  EXPECT_FALSE(combo->DroppedDown());
}

}  // namespace
