// The flat controls' helpers and their hover tracking.

#include "FlatTestKit.h"
#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatSpeedButton.h"
#include "components/FlatSpinButton.h"
#include "components/FlatUtils.h"
#include "components/HSLUtils.h"
#include "ui/ExtCtrls.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace flattest;
using qftest::PixelAt;
using qftest::Place;
using qftest::ProcessEventsUntil;
using qftest::TShownForm;

namespace {

std::unique_ptr<TBitmap> Glyph(int w, int h) {
  auto b = std::make_unique<TBitmap>(w, h);
  b->Canvas()->Brush = TBrush{clOlive, bsSolid};
  b->Canvas()->FillRect(TRect{0, 0, w, h});
  return b;
}

TEST(PlaceGlyphAndText, GlyphAloneByLayoutMarginAndOffset) {
  const auto g16 = Glyph(16, 16), g48 = Glyph(48, 16);
  const TBitmap *glyph16 = g16.get(), *strip = g48.get();
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
  const auto glyph = Glyph(16, 16);
  const TRect client{0, 0, 100, 40};
  TPoint at;
  TRect text;
  // Margin and spacing -1: three equal gaps, left of the glyph, between, and (about) right of the text.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphLeft, -1, -1, glyph.get(), 1, at, text);
  const int gap = (100 - 16 - t.cx) / 3;
  EXPECT_EQ(at.X, gap);
  EXPECT_EQ(text.Left, gap + 16 + gap);
  EXPECT_LE(std::abs((100 - text.Right) - gap), 2);
  EXPECT_EQ(text.Width(), t.cx);
  EXPECT_EQ(text.Top, (40 - t.cy + 1) / 2);
  // A fixed margin with spacing -1 centres the text in what is left.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphRight, 2, -1, glyph.get(), 1, at, text);
  EXPECT_EQ(at.X, 100 - 2 - 16);
  EXPECT_EQ(text.Right, at.X - (100 - 18 - t.cx) / 2);
  // Glyph over the caption, four pixels apart, the pair centred.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphTop, -1, 4, glyph.get(), 1, at, text);
  EXPECT_EQ(at.Y, (40 - 16 - 4 - t.cy + 1) / 2);
  EXPECT_EQ(text.Top, at.Y + 16 + 4);
  EXPECT_EQ(text.Left, (100 - t.cx + 1) / 2);
  // No glyph: the spacing counts 0 and the caption is centred.
  PlaceGlyphAndText(&c, client, {0, 0}, "Open", blGlyphLeft, -1, 4, nullptr, 1, at, text);
  EXPECT_EQ(text.Left, (100 - t.cx + 1) / 2);
}

TEST(DisabledBitmap, TheMaskColourBecomesShadowOverHighlightAndTheRestBackground) {
  TBitmap src(4, 3);
  src.Canvas()->Brush = TBrush{clWhite, bsSolid};
  src.Canvas()->FillRect(TRect{0, 0, 4, 3});
  src.Canvas()->SetPixels(1, 1, clBlack);
  src.Canvas()->SetPixels(2, 0, clRed);
  for (bool highlight : {true, false}) {
    const auto grey = CreateDisabledBitmap(src, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, highlight);
    ASSERT_EQ(grey->Width(), 4);
    ASSERT_EQ(grey->Height(), 3);
    int face = 0;
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) face += PixelAt(grey->Image(), x, y) == ColorToRGB(clBtnFace);
    EXPECT_EQ(PixelAt(grey->Image(), 1, 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(grey->Image(), 2, 2), ColorToRGB(highlight ? clBtnHighlight : clBtnFace));
    EXPECT_EQ(face, highlight ? 10 : 11) << "the red pixel vanishes as well";
  }
  const auto none = CreateDisabledBitmap(TBitmap(), clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
  EXPECT_TRUE(none->Empty());
}

TEST(AdvancedColours, LightnessStaysOnTheScale) {
  // White darkened by less than 10 would land above 240: it stays white
  // instead of wrapping to a dark colour.
  for (int percent : {1, 5, 9}) EXPECT_EQ(CalcAdvancedColor(clWhite, clBlack, percent, true), clWhite) << percent;
  EXPECT_EQ(CalcAdvancedColor(RGB(255, 250, 250), clBlack, 4, true), clWhite);
  // What the gauge and the other controls use is unchanged: 50 darker than their faces.
  EXPECT_EQ(CalcAdvancedColor(RGB(128, 128, 128), clWhite, 50, true), RGB(85, 85, 85));
  int h, sat, l;
  RGBToHSLRange(0xE1EAEB, h, sat, l);
  EXPECT_EQ(CalcAdvancedColor(0xE1EAEB, clWhite, 10, false), HSLRangeToRGB(h, sat, 100))
      << "light faces lighten darker";
}

TEST(TextMetrics, LineHeightRectanglesAndWords) {
  TFont font;
  const int h = GetFontMetrics(font).tmHeight;
  EXPECT_GT(h, 0);
  EXPECT_EQ(FontLineHeight(font), h + (h + 4) / 8);  // h + h / 8, rounded
  EXPECT_TRUE(RectsIntersect({0, 0, 10, 10}, {9, 9, 20, 20}));
  EXPECT_FALSE(RectsIntersect({0, 0, 10, 10}, {10, 0, 20, 10})) << "right edges lie outside";
  EXPECT_FALSE(RectsIntersect({0, 0, 0, 10}, {0, 0, 10, 10}));
  EXPECT_EQ(SmallerWord(65535, 3), 3);
}

// ---------------------------------------------------------------- hover

TEST(Hover, EachClassHasOneTimerMadeByItsFirstControlAndFreedByItsLast) {
  const auto& speed = TFlatSpeedButton::HoverState();
  const auto& flat = TFlatButton::HoverState();
  ASSERT_EQ(speed.InstanceCount(), 0);
  ASSERT_EQ(speed.HoverTimer(), nullptr);
  {
    TFlatSpeedButton a(nullptr), b(nullptr);
    EXPECT_EQ(speed.InstanceCount(), 2);
    ASSERT_NE(speed.HoverTimer(), nullptr);
    EXPECT_EQ(speed.HoverTimer()->Interval(), 100u);
    EXPECT_FALSE(speed.HoverTimer()->Enabled());
    EXPECT_EQ(flat.InstanceCount(), 0) << "another class keeps its own";
    EXPECT_EQ(flat.HoverTimer(), nullptr);
    TFlatButton c(nullptr);
    EXPECT_NE(flat.HoverTimer(), speed.HoverTimer());
    TTimerSpeedButton repeating(nullptr);
    EXPECT_EQ(speed.InstanceCount(), 3) << "the repeating button shares the speed buttons' state";
  }
  EXPECT_EQ(speed.InstanceCount(), 0);
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
  EXPECT_EQ(state.HoverControl(), a);
  EXPECT_TRUE(state.HoverTimer()->Enabled());
  MoveMouse(b, 5, 5);  // straight onto another speed button
  EXPECT_FALSE(a->Hovered());
  EXPECT_TRUE(b->Hovered());
  EXPECT_EQ(state.HoverControl(), b);
  MoveMouse(box, 5, 5);  // onto a check box: the speed button waits for its tick
  EXPECT_TRUE(b->Hovered());
  EXPECT_TRUE(box->Hovered());
  EXPECT_EQ(TFlatCheckBox::HoverState().HoverControl(), box);
  EXPECT_TRUE(ProcessEventsUntil([&] { return !b->Hovered(); }, 1000));
  EXPECT_EQ(state.HoverControl(), nullptr);
  EXPECT_FALSE(state.HoverTimer()->Enabled());
  EXPECT_TRUE(box->Hovered()) << "the cursor is still over the check box";
  MoveAway(form);
  EXPECT_TRUE(ProcessEventsUntil([&] { return !box->Hovered(); }, 1000));
}

TEST(Hover, NoHoverWhileTheApplicationIsInTheBackgroundAndNoneForADisabledControl) {
  TShownForm form;
  auto* a = Place<TFlatSpeedButton>(&form, 10, 10, 25, 25);
  QApplication::setActiveWindow(nullptr);
  ASSERT_FALSE(Application->Active());
  MoveMouse(a, 5, 5);
  EXPECT_FALSE(a->Hovered());
  EXPECT_EQ(TFlatSpeedButton::HoverState().HoverControl(), nullptr);
  QApplication::setActiveWindow(form.Handle());
  ASSERT_TRUE(ProcessEventsUntil([&] { return Application->Active(); }));
  MoveMouse(a, 6, 5);
  EXPECT_TRUE(a->Hovered());
  a->SetEnabled(false);  // drops the hover and the class's timer
  EXPECT_FALSE(a->Hovered());
  EXPECT_EQ(TFlatSpeedButton::HoverState().HoverControl(), nullptr);
  MoveMouse(a, 7, 5);
  EXPECT_FALSE(a->Hovered());
}

TEST(Hover, AControlGoneWhileWatchedLeavesTheTimerIdle) {
  TShownForm form;
  auto* a = Place<TFlatSpeedButton>(&form, 10, 10, 25, 25);
  auto* b = Place<TFlatSpeedButton>(&form, 40, 10, 25, 25);
  MoveMouse(a, 5, 5);
  ASSERT_EQ(TFlatSpeedButton::HoverState().HoverControl(), a);
  delete a;
  EXPECT_EQ(TFlatSpeedButton::HoverState().HoverControl(), nullptr);
  EXPECT_FALSE(TFlatSpeedButton::HoverState().HoverTimer()->Enabled());
  MoveMouse(b, 5, 5);
  EXPECT_TRUE(b->Hovered());
}

}  // namespace
