// The flat controls' helpers: colours, frames, the disabled glyph, the
// placement of glyph and caption, and the hover tracking.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/FlatGauge.h"
#include "components/FlatGroupBox.h"
#include "components/FlatSpeedButton.h"
#include "components/FlatSpinButton.h"
#include "components/FlatSplitter.h"
#include "components/FlatUtils.h"
#include "components/HSLUtils.h"
#include "ui/ExtCtrls.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

// ---------------------------------------------------------------- colours

TEST(Hsl, BothScalesAndBack) {
  const struct {
    const char* name;
    TColor rgb;
    int H, S, L;  // on the 240 scale
  } cases[] = {
      {"red", RGB(255, 0, 0), 0, 240, 120},
      {"green", RGB(0, 255, 0), 80, 240, 120},  // 239/3 = 79.67
      {"blue", RGB(0, 0, 255), 159, 240, 120},  // 159.33
      {"magenta_wraps_negative_hue", RGB(255, 0, 255), 199, 240, 120},
      {"white", RGB(255, 255, 255), 0, 0, 240},
      {"black", RGB(0, 0, 0), 0, 0, 0},
      {"navy_dark_half", RGB(0, 0, 128), 159, 240, 60},
      {"light_bar", RGB(240, 251, 255), 130, 240, 233},
      {"grey_rounds_up", RGB(1, 1, 1), 0, 0, 1},        // 0.94
      {"blue_rounds_down", RGB(0, 0, 1), 159, 240, 0}};  // 0.47
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    double h, s, l;
    RGBToHSL(c.rgb, h, s, l);
    EXPECT_EQ(HSLToRGB(h, s, l), c.rgb) << "there and back on the unit scale";
    int H, S, L;
    RGBToHSLRange(c.rgb, H, S, L);
    EXPECT_EQ((std::vector<int>{H, S, L}), (std::vector<int>{c.H, c.S, c.L}));
  }
  // Greys whatever the hue; a byte's halves go to even; beyond the scale is clamped.
  const std::tuple<int, int, int, TColor> back[] = {
      {0, 0, 120, RGB(128, 128, 128)},  {239, 0, 120, RGB(128, 128, 128)}, {120, 0, 60, RGB(64, 64, 64)},
      {0, 0, 72, RGB(76, 76, 76)},  // 76.5
      {0, 0, 300, clWhite},         {0, 0, -20, clBlack}, {80, 240, 250, clWhite}};
  for (auto [H, S, L, rgb] : back) EXPECT_EQ(HSLRangeToRGB(H, S, L), rgb) << H << " " << S << " " << L;
}

TEST(AdvancedColours, DeriveFromTheBaseLightnessAndStayOnTheScale) {
  const struct {
    const char* name;
    TColor base, own;
    int percent;
    bool darken;
    TColor expected;
  } cases[] = {
      {"zero_keeps_own", clWhite, 0x123456, 0, true, 0x123456},
      {"lighten_capped_at_100", clWhite, clRed, 10, false, RGB(106, 106, 106)},  // 240 + 10 + 10 -> 100
      {"light_faces_lighten_darker", 0xE1EAEB, clWhite, 10, false, RGB(128, 123, 85)},
      {"darken_to_black", RGB(40, 0, 0), clWhite, 50, true, RGB(0, 0, 0)},
      {"darken_grey", RGB(128, 128, 128), clWhite, 50, true, RGB(85, 85, 85)},      // L 120 -> 80
      {"lighten_dark_grey", RGB(64, 64, 64), clWhite, 20, false, RGB(96, 96, 96)},  // L 60 -> 90
      {"system_colour_resolved", clBtnFace, clWhite, 50, true, RGB(175, 168, 153)},  // L 194 -> 154
      // Darkened by less than 10 a very light colour would land above 240:
      // it stays white instead of wrapping to a dark colour.
      {"white_less_9", clWhite, clBlack, 9, true, clWhite},
      {"near_white_less_4", RGB(255, 250, 250), clBlack, 4, true, clWhite},
  };
  for (const auto& c : cases) EXPECT_EQ(CalcAdvancedColor(c.base, c.own, c.percent, c.darken), c.expected) << c.name;
}

/** With UseAdvColors a control takes its parent's colour and derives the
 *  others from it, again whenever the parent's colour changes; turned off,
 *  it keeps them. The percentages stay in 0..100. */
template <class T, class F>
void ExpectDerived(const char* name, F colours, const std::vector<TColor>& onGrey, const std::vector<TColor>& onDark) {
  SCOPED_TRACE(name);
  TShownForm form;
  form.SetColor(RGB(128, 128, 128));
  auto* c = Place<T>(&form, 10, 10, 100, 25);
  c->SetUseAdvColors(true);
  EXPECT_EQ(colours(c), onGrey);
  form.SetColor(RGB(64, 64, 64));
  EXPECT_EQ(colours(c), onDark);
  for (int percent : {0, -3}) c->SetAdvColorBorder(percent);  // 0 leaves the colour, -3 is kept to 0
  EXPECT_EQ(colours(c), onDark);
  c->SetUseAdvColors(false);
  form.SetColor(clWhite);
  EXPECT_EQ(colours(c), onDark);
}

TEST(AdvancedColours, EveryControlDerivesItsColoursFromItsParent) {
  const TColor g128 = RGB(128, 128, 128), g106 = RGB(106, 106, 106), g85 = RGB(85, 85, 85);
  const TColor g64 = RGB(64, 64, 64), g21 = RGB(21, 21, 21);
  // Lighter by 10 (the cap of 100 makes grey 128 darker), darker by 10, darker by 50.
  auto pushed = [](auto* b) { return std::vector{b->Color(), b->ColorFocused(), b->ColorDown(), b->ColorBorder()}; };
  ExpectDerived<TFlatSpeedButton>("speed button", pushed, {g128, g106, g128, g85}, {g64, g85, g64, g21});
  ExpectDerived<TFlatCheckBox>("check box", pushed, {g128, g106, g128, g85}, {g64, g85, g64, g21});
  ExpectDerived<TFlatEdit>(
      "edit", [](auto* e) { return std::vector{e->ColorFlat(), e->ColorFocused(), e->ColorBorder()}; },
      {g128, g106, g85}, {g64, g85, g21});
  ExpectDerived<TFlatComboBox>(  // the text area keeps its own colour
      "combo box", [](auto* c) { return std::vector{c->Color(), c->ColorArrowBackground(), c->ColorBorder()}; },
      {clWindow, g128, g85}, {clWindow, g64, g21});
  auto bordered = [](auto* c) { return std::vector{c->Color(), c->ColorBorder()}; };
  ExpectDerived<TFlatGauge>("gauge", bordered, {g128, g85}, {g64, g21});
  ExpectDerived<TFlatGroupBox>("group box", bordered, {g128, g85}, {g64, g21});
  ExpectDerived<TFlatSplitter>(
      "splitter", [](auto* s) { return std::vector{s->Color(), s->ColorFocused(), s->ColorBorder()}; },
      {g128, g85, g85}, {g64, g21, g21});
}

TEST(Frame3DTest, NestedFramesAndTheShrunkRectangle) {
  QImage img = FilledImage(12, 10, clWhite);
  TCanvas c(&img);
  TRect r{1, 1, 11, 9};
  Frame3D(&c, r, clRed, clBlue, 2);
  EXPECT_EQ(r, (TRect{3, 3, 9, 7}));
  // Top colour on the left column and top row; the bottom colour takes the
  // top-right and bottom-left corners.
  const std::tuple<int, int, TColor> spots[] = {{1, 1, clRed},  {9, 1, clRed},   {10, 1, clBlue}, {1, 7, clRed},
                                                {1, 8, clBlue}, {10, 8, clBlue}, {2, 2, clRed},   {9, 7, clBlue}};
  for (auto [x, y, colour] : spots) EXPECT_EQ(PixelAt(img, x, y), colour) << x << "," << y;
  EXPECT_EQ(CountPixels(img, clRed) + CountPixels(img, clBlue), (2 * 10 + 2 * 6) + (2 * 8 + 2 * 4));
  EXPECT_TRUE(AllPixels(img, r, clWhite));
  TRect same{0, 0, 5, 5};  // width 0: nothing drawn, the rectangle unchanged
  Frame3D(&c, same, clBlack, clBlack, 0);
  EXPECT_EQ(same, (TRect{0, 0, 5, 5}));
  EXPECT_EQ(CountPixels(img, clBlack), 0);
}

// ---------------------------------------------------------------- placement

TEST(PlaceGlyphAndText, GlyphAloneByLayoutMarginAndOffset) {
  const TBitmap g16(16, 16), g48(48, 16);
  const TBitmap *glyph16 = &g16, *strip = &g48;
  const struct {
    const char* name;
    TRect client;
    TPoint offset;
    TButtonLayout layout;
    int margin, spacing;
    const TBitmap* glyph;
    int cells;
    TPoint expected;
  } cases[] = {
      // No caption: the spacing counts 0, so margin -1 centres the glyph.
      {"centred_top", {0, 0, 40, 30}, {0, 0}, blGlyphTop, -1, -1, glyph16, 1, {12, 7}},
      {"centred_left", {0, 0, 40, 30}, {0, 0}, blGlyphLeft, -1, 4, glyph16, 1, {12, 7}},
      {"margin_left", {0, 0, 40, 30}, {0, 0}, blGlyphLeft, 2, 4, glyph16, 1, {2, 7}},
      {"margin_right", {0, 0, 40, 30}, {0, 0}, blGlyphRight, 3, 4, glyph16, 1, {21, 7}},
      {"margin_bottom", {0, 0, 40, 30}, {0, 0}, blGlyphBottom, 2, 4, glyph16, 1, {12, 12}},
      {"pressed_offset_and_origin", {5, 5, 45, 35}, {1, 1}, blGlyphTop, -1, 4, glyph16, 1, {18, 13}},
      {"one_cell_of_three", {0, 0, 40, 30}, {0, 0}, blGlyphTop, 1, 4, strip, 3, {12, 1}},
      {"odd_room_rounds_up", {0, 0, 41, 31}, {0, 0}, blGlyphTop, -1, 0, glyph16, 1, {13, 8}},
  };
  TCanvas c;
  for (const auto& k : cases) {
    TPoint at;
    TRect text{9, 9, 9, 9};
    PlaceGlyphAndText(&c, k.client, k.offset, "", k.layout, k.margin, k.spacing, k.glyph, k.cells, at, text);
    EXPECT_EQ(at, k.expected) << k.name;
    EXPECT_TRUE(text.IsEmpty()) << k.name;
  }
}

TEST(PlaceGlyphAndText, CaptionBesideTheGlyphSharesTheRoom) {
  TCanvas c;
  const TSize t = c.TextExtent("Open");
  const TBitmap glyph(16, 16);
  const TRect client{0, 0, 100, 40};
  TPoint at;
  TRect text;
  // Margin and spacing -1: three equal gaps, left of the glyph, between, and (about) right of the text.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphLeft, -1, -1, &glyph, 1, at, text);
  EXPECT_EQ(text.Left - (at.X + 16), at.X);
  EXPECT_LE(std::abs((100 - text.Right) - at.X), 2);
  EXPECT_EQ(text.Width(), t.cx);
  EXPECT_EQ(text.Top, (40 - t.cy + 1) / 2);
  // A fixed margin with spacing -1 centres the text in what is left.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphRight, 2, -1, &glyph, 1, at, text);
  EXPECT_EQ(at.X, 100 - 2 - 16);
  EXPECT_LE(std::abs(text.Left - (at.X - text.Right)), 1);
  // Glyph over the caption, four pixels apart, the pair centred.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphTop, -1, 4, &glyph, 1, at, text);
  EXPECT_EQ(text.Top, at.Y + 16 + 4);
  EXPECT_LE(std::abs(at.Y - (40 - text.Bottom)), 1);
  EXPECT_EQ(text.Left, (100 - t.cx + 1) / 2);
  // No glyph: the spacing counts 0 and the caption is centred.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphLeft, -1, 4, nullptr, 1, at, text);
  EXPECT_EQ(text.Left, (100 - t.cx + 1) / 2);
}

// ---------------------------------------------------------------- hover

TEST(Hover, EachClassHasOneTimerMadeByItsFirstControlAndFreedByItsLast) {
  const auto& speed = TFlatSpeedButton::HoverState();
  const auto& flat = TFlatButton::HoverState();
  ASSERT_EQ(speed.HoverTimer(), nullptr);
  {
    TFlatSpeedButton a(nullptr), b(nullptr);
    EXPECT_EQ(speed.InstanceCount(), 2);
    ASSERT_NE(speed.HoverTimer(), nullptr);
    EXPECT_EQ(speed.HoverTimer()->Interval(), 100u);
    EXPECT_FALSE(speed.HoverTimer()->Enabled());
    EXPECT_EQ(flat.HoverTimer(), nullptr) << "another class keeps its own";
    TFlatButton c(nullptr);
    EXPECT_NE(flat.HoverTimer(), speed.HoverTimer());
    TTimerSpeedButton repeating(nullptr);
    EXPECT_EQ(speed.InstanceCount(), 3) << "the repeating button shares the speed buttons' state";
  }
  EXPECT_EQ(speed.HoverTimer(), nullptr);
  EXPECT_EQ(flat.HoverTimer(), nullptr);
}

TEST(Hover, StartsOnAMoveEndsOnTheTickOrAtOnceOnAControlOfTheSameClass) {
  TShownForm form;
  auto* a = Place<TFlatSpeedButton>(&form, 10, 10, 25, 25);
  auto* b = Place<TFlatSpeedButton>(&form, 40, 10, 25, 25);
  auto* box = Place<TFlatCheckBox>(&form, 10, 50, 121, 17);
  const auto& state = TFlatSpeedButton::HoverState();
  MoveMouse(a, 5, 5);
  EXPECT_TRUE(a->Hovered());
  EXPECT_TRUE(state.HoverTimer()->Enabled());
  MoveMouse(b, 5, 5);  // straight onto another speed button
  EXPECT_FALSE(a->Hovered());
  EXPECT_TRUE(b->Hovered());
  EXPECT_EQ(state.HoverControl(), b);
  MoveMouse(box, 5, 5);  // onto a check box: the speed button waits for its tick
  EXPECT_TRUE(b->Hovered());
  EXPECT_TRUE(box->Hovered());
  EXPECT_TRUE(ProcessEventsUntil([&] { return !b->Hovered(); }));
  EXPECT_EQ(state.HoverControl(), nullptr);
  EXPECT_FALSE(state.HoverTimer()->Enabled());
  EXPECT_TRUE(box->Hovered()) << "the cursor is still over the check box";
  MoveAway(form);
  EXPECT_TRUE(ProcessEventsUntil([&] { return !box->Hovered(); }));
}

TEST(Hover, NoneInTheBackgroundNorForADisabledOrDeletedControl) {
  TShownForm form;
  auto* a = Place<TFlatSpeedButton>(&form, 10, 10, 25, 25);
  auto* b = Place<TFlatSpeedButton>(&form, 40, 10, 25, 25);
  const auto& state = TFlatSpeedButton::HoverState();
  QApplication::setActiveWindow(nullptr);
  ASSERT_FALSE(Application->Active());
  MoveMouse(a, 5, 5);
  EXPECT_FALSE(a->Hovered());
  EXPECT_EQ(state.HoverControl(), nullptr);
  QApplication::setActiveWindow(form.Handle());
  ASSERT_TRUE(ProcessEventsUntil([&] { return Application->Active(); }));
  MoveMouse(a, 6, 5);
  EXPECT_TRUE(a->Hovered());
  a->SetEnabled(false);  // drops the hover and the class's timer
  EXPECT_FALSE(a->Hovered());
  EXPECT_EQ(state.HoverControl(), nullptr);
  MoveMouse(a, 7, 5);
  EXPECT_FALSE(a->Hovered());

  MoveMouse(b, 5, 5);
  ASSERT_EQ(state.HoverControl(), b);
  delete b;  // the timer is left idle, not watching what is gone
  EXPECT_EQ(state.HoverControl(), nullptr);
  EXPECT_FALSE(state.HoverTimer()->Enabled());
}

}  // namespace
