#include "GuiTestApp.h"
#include "components/FlatGauge.h"
#include "components/FlatUtils.h"
#include "components/HSLUtils.h"
#include "ui/Forms.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::FilledImage;
using qftest::PixelAt;
using qftest::Place;

namespace {

QImage Painted(TFlatGauge& g) {
  QImage img = FilledImage(g.Width(), g.Height(), clFuchsia);
  g.PaintTo(img);
  return img;
}

TEST(Gauge, BarWidthAndTextAtTheEdges) {
  const struct {
    const char* name;
    int width, min, max, progress, shown, barWidth;
    const char* text;
  } cases[] = {
      {"default_25", 145, 0, 100, 25, 25, 35, "25 %"},  // 141 * 25 / 100 = 35.25
      {"above_max", 145, 0, 100, 999, 100, 141, "100 %"},
      {"below_min", 145, 0, 100, -5, 0, 0, "0 %"},
      {"offset_range_half", 145, 50, 150, 100, 100, 70, "50 %"},
      {"twenty_nine", 145, 0, 100, 29, 29, 40, "29 %"},  // a floating-point quotient gives "28 %"
      {"thirds", 433, 0, 3, 1, 1, 143, "33 %"},
      {"negative_range", 104, -200, -100, -150, -150, 50, "50 %"},
      {"empty_range_is_full", 145, 7, 7, 3, 7, 141, "100 %"},
      {"progress_window_66", 433, 0, 100, 66, 66, 283, "66 %"}};  // 429 * 66 / 100 = 283.14
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TFlatGauge g(nullptr);
    g.SetBounds(0, 0, c.width, 25);
    g.SetMaxValue(c.max);
    g.SetMinValue(c.min);
    g.SetMaxValue(c.max);
    g.SetProgress(c.progress);
    EXPECT_EQ(g.Progress(), c.shown);
    EXPECT_EQ(g.BarRect(), (TRect{2, 2, 2 + c.barWidth, 23}));
    EXPECT_EQ(g.Text(), c.text);
    // On the bar's top row the bar colour runs bar-width pixels, then the background.
    const QImage img = Painted(g);
    EXPECT_TRUE(AllPixels(img, {2, 2, 2 + c.barWidth, 3}, g.BarColor()));
    EXPECT_EQ(CountPixels(img, {2, 2, c.width - 2, 3}, g.BarColor()), c.barWidth);
  }
}

TEST(Gauge, SettersKeepMinProgressMax) {
  TFlatGauge g(nullptr);
  EXPECT_EQ(g.Progress(), 25);
  g.SetMinValue(150);  // above the maximum: becomes the maximum, progress follows
  EXPECT_EQ(g.MinValue(), 100);
  EXPECT_EQ(g.Progress(), 100);
  g.SetMaxValue(20);  // below the minimum: becomes the minimum
  EXPECT_EQ(g.MaxValue(), 100);
  g.SetMinValue(10);
  g.SetMaxValue(50);
  EXPECT_EQ(g.Progress(), 50);
  g.SetProgress(5);
  EXPECT_EQ(g.Progress(), 10);
  g.SetMinValue(30);
  EXPECT_EQ(g.Progress(), 30);
  for (auto [set, kept] : {std::pair{120, 100}, {-3, 0}}) {
    g.SetAdvColorBorder(set);
    EXPECT_EQ(g.AdvColorBorder(), kept);
  }
}

TEST(Gauge, FrameGapBackgroundAndAdvancedColours) {
  TForm form(nullptr);
  form.SetColor(RGB(128, 128, 128));
  auto* g = Place<TFlatGauge>(&form, 0, 0, 145, 25);
  g->SetColorBorder(clNavy);
  g->SetProgress(50);
  QImage img = Painted(*g);  // a one-pixel frame, then a one-pixel gap in the parent's colour
  EXPECT_TRUE(qftest::Ring(img, {0, 0, 145, 25}, clNavy));
  EXPECT_TRUE(qftest::Ring(img, {1, 1, 144, 24}, RGB(128, 128, 128)));
  EXPECT_EQ(CountPixels(img, clFuchsia), 0);
  g->SetTransparent(true);  // the background is left as it was
  img = Painted(*g);
  EXPECT_TRUE(qftest::Ring(img, {1, 1, 144, 24}, clFuchsia));
  EXPECT_TRUE(qftest::Ring(img, {0, 0, 145, 25}, clNavy));

  g->SetColor(clWhite);
  g->SetUseAdvColors(true);  // takes the parent's colour again and derives the border from it
  EXPECT_EQ(g->Color(), RGB(128, 128, 128));
  EXPECT_EQ(g->ColorBorder(), RGB(85, 85, 85));  // L 120 + 10 - 50 = 80
  g->SetAdvColorBorder(20);
  form.SetColor(RGB(64, 64, 64));
  EXPECT_EQ(g->ColorBorder(), CalcAdvancedColor(RGB(64, 64, 64), clBlack, 20, true));
  const TColor before = g->ColorBorder();
  g->SetAdvColorBorder(0);  // percent 0 leaves the border as it stands
  EXPECT_EQ(g->ColorBorder(), before);
  g->SetUseAdvColors(false);
  EXPECT_FALSE(g->ParentColor());
  form.SetColor(clWhite);
  EXPECT_EQ(g->ColorBorder(), before);
}

// The text's place comes from the layout; its colour is checked by which
// colours appear inside that place, never by the shapes of the glyphs.
TEST(Gauge, TextIsCentredAndDrawnInTheBackgroundColourOverTheBar) {
  TForm form(nullptr);
  auto* g = Place<TFlatGauge>(&form, 0, 0, 200, 25);
  g->SetColor(clWhite);
  g->SetBarColor(clNavy);
  g->Font().SetColor(clRed);
  auto textBox = [&] {
    TCanvas c;
    c.Font = g->Font();
    return c.TextLayout(g->Text(), g->InnerRect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE).at(0).Bounds;
  };
  auto colours = [](const QImage& img, const TRect& r) {
    std::set<TColor> out;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) out.insert(PixelAt(img, x, y));
    return out;
  };
  const TRect inner = g->InnerRect(), t = textBox();
  EXPECT_LE(std::abs((t.Left - inner.Left) - (inner.Right - t.Right)), 1);
  EXPECT_LE(std::abs((t.Top - inner.Top) - (inner.Bottom - t.Bottom)), 1);

  g->SetProgress(50);  // the bar ends in the middle of the text
  const int split = g->BarRect().Right;
  ASSERT_TRUE(split > t.Left && split < t.Right);
  const QImage img = Painted(*g);
  const TRect pastBar{split, t.Top, t.Right, t.Bottom};
  EXPECT_EQ(colours(img, {t.Left, t.Top, split, t.Bottom}), (std::set<TColor>{clNavy, clWhite}));
  EXPECT_EQ(colours(img, pastBar), (std::set<TColor>{clWhite, clRed}));
  EXPECT_EQ(CountPixels(img, clRed), CountPixels(img, pastBar, clRed));  // no text colour elsewhere
  g->SetProgress(0);
  EXPECT_EQ(colours(Painted(*g), textBox()), (std::set<TColor>{clWhite, clRed}));
  g->SetProgress(100);
  EXPECT_EQ(colours(Painted(*g), textBox()), (std::set<TColor>{clNavy, clWhite}));
  g->SetShowText(false);
  EXPECT_EQ(colours(Painted(*g), textBox()), std::set<TColor>{clNavy});
}

TEST(Gauge, RepaintsAtOnceWhenTheValueChanges) {
  TForm form(nullptr);
  auto* g = Place<TFlatGauge>(&form, 0, 0, 104, 25);
  g->SetProgress(0);
  form.Show();
  ASSERT_TRUE(qftest::ProcessEventsUntil([&] { return !g->PaintedImage().isNull(); }));
  auto barPixels = [&] { return CountPixels(g->PaintedImage(), {2, 2, 102, 3}, g->BarColor()); };
  EXPECT_EQ(barPixels(), 0);
  for (int p : {10, 55, 100}) {  // no event loop from here on
    g->SetProgress(p);
    EXPECT_EQ(barPixels(), p) << p;
  }
  g->SetMaxValue(200);
  EXPECT_EQ(barPixels(), 50);
  g->SetMinValue(100);
  EXPECT_EQ(barPixels(), 0);
  g->SetShowText(false);
  EXPECT_EQ(CountPixels(g->PaintedImage(), g->Font().Color()), 0);
}

TEST(Hsl, BothScalesAndBack) {
  const struct {
    const char* name;
    TColor rgb;
    double h, s, l;
    int H, S, L;  // on the 240 scale
  } cases[] = {
      {"red", RGB(255, 0, 0), 0, 1, 0.5, 0, 240, 120},
      {"green", RGB(0, 255, 0), 1.0 / 3, 1, 0.5, 80, 240, 120},  // 239/3 = 79.67
      {"blue", RGB(0, 0, 255), 2.0 / 3, 1, 0.5, 159, 240, 120},  // 159.33
      {"magenta_wraps_negative_hue", RGB(255, 0, 255), 5.0 / 6, 1, 0.5, 199, 240, 120},
      {"white", RGB(255, 255, 255), 0, 0, 1, 0, 0, 240},
      {"black", RGB(0, 0, 0), 0, 0, 0, 0, 0, 0},
      {"navy_dark_half", RGB(0, 0, 128), 2.0 / 3, 1, 128.0 / 510, 159, 240, 60},
      {"light_bar", RGB(240, 251, 255), 196.0 / 360, 1, 247.5 / 255, 130, 240, 233}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    double h, s, l;
    RGBToHSL(c.rgb, h, s, l);
    EXPECT_NEAR(h, c.h, 1e-9);
    EXPECT_NEAR(s, c.s, 1e-9);
    EXPECT_NEAR(l, c.l, 1e-9);
    EXPECT_EQ(HSLToRGB(h, s, l), c.rgb);
    int H, S, L;
    RGBToHSLRange(c.rgb, H, S, L);
    EXPECT_EQ((std::vector<int>{H, S, L}), (std::vector<int>{c.H, c.S, c.L}));
  }
}

TEST(Hsl, RoundingGreysAndOutOfRange) {
  int H, S, L;
  RGBToHSLRange(RGB(1, 1, 1), H, S, L);  // 0.94 -> 1
  EXPECT_EQ(L, 1);
  RGBToHSLRange(RGB(0, 0, 1), H, S, L);  // 0.47 -> 0
  EXPECT_EQ(L, 0);
  EXPECT_EQ(HSLToRGB(0, 0, 0.5), RGB(128, 128, 128));  // 127.5
  EXPECT_EQ(HSLToRGB(0, 0, 0.3), RGB(76, 76, 76));     // exactly 76.5 in doubles: halves go to even
  for (double hue : {0.0, 0.5, 0.99}) EXPECT_EQ(HSLToRGB(hue, 0, 0.25), RGB(64, 64, 64)) << hue;
  for (int hue : {0, 239}) EXPECT_EQ(HSLRangeToRGB(hue, 0, 120), RGB(128, 128, 128)) << hue;
  EXPECT_EQ(HSLRangeToRGB(0, 0, 300), RGB(255, 255, 255));
  EXPECT_EQ(HSLRangeToRGB(0, 0, -20), RGB(0, 0, 0));
  EXPECT_EQ(GetGValue(HSLRangeToRGB(80, 240, 250)), 255);
}

TEST(AdvancedColours, DeriveFromTheBaseLightness) {
  const struct {
    const char* name;
    TColor base, own;
    int percent;
    bool darken;
    TColor expected;
  } cases[] = {
      {"zero_keeps_own", clWhite, 0x123456, 0, true, 0x123456},
      {"lighten_capped_at_100", clWhite, clRed, 10, false, RGB(106, 106, 106)},  // 240 + 10 + 10 -> 100
      {"darken_to_black", RGB(40, 0, 0), clWhite, 50, true, RGB(0, 0, 0)},
      {"darken_grey", RGB(128, 128, 128), clWhite, 50, true, RGB(85, 85, 85)},      // L 120 -> 80
      {"lighten_dark_grey", RGB(64, 64, 64), clWhite, 20, false, RGB(96, 96, 96)},  // L 60 -> 90
  };
  for (const auto& c : cases)
    EXPECT_EQ(CalcAdvancedColor(c.base, c.own, c.percent, c.darken), c.expected) << c.name;
  // A system colour is resolved first: button face has L 194; plus 10 minus 50 = 154.
  int H, S, L;
  RGBToHSLRange(RGB(212, 208, 200), H, S, L);
  EXPECT_EQ(L, 194);
  EXPECT_EQ(CalcAdvancedColor(clBtnFace, clWhite, 50, true), HSLRangeToRGB(H, S, 154));
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

  img = FilledImage(12, 10, clWhite);  // width 0: nothing drawn, rectangle unchanged
  TRect same{0, 0, 5, 5};
  Frame3D(&c, same, clRed, clRed, 0);
  EXPECT_EQ(same, (TRect{0, 0, 5, 5}));
  EXPECT_EQ(CountPixels(img, clWhite), 120);
}

}  // namespace
