#include "GuiTestApp.h"
#include "components/FlatGauge.h"
#include "ui/Forms.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <ostream>

#include <set>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::FilledImage;
using qftest::PixelAt;
using qftest::ProcessEventsUntil;

namespace {

struct GaugeCase {
  const char* name;
  int width, height, min, max, progress;
  int shownProgress;
  int barWidth;
  const char* text;
};

void PrintTo(const GaugeCase& c, std::ostream* os) { *os << c.name; }

class GaugeValues : public ::testing::TestWithParam<GaugeCase> {};

TEST_P(GaugeValues, BarWidthAndText) {
  const GaugeCase& c = GetParam();
  TFlatGauge g(nullptr);
  g.SetBounds(0, 0, c.width, c.height);
  g.SetMaxValue(c.max);
  g.SetMinValue(c.min);
  g.SetMaxValue(c.max);
  g.SetProgress(c.progress);
  EXPECT_EQ(g.Progress(), c.shownProgress);
  EXPECT_EQ(g.BarRect(), (TRect{2, 2, 2 + c.barWidth, c.height - 2}));
  EXPECT_EQ(g.Text(), c.text);

  // The picture agrees: on the bar's top row the bar colour runs exactly
  // bar-width pixels, then the background.
  QImage img = FilledImage(c.width, c.height, clFuchsia);
  g.PaintTo(img);
  const int inner = c.width - 4;
  EXPECT_EQ(CountPixels(img, {2, 2, 2 + inner, 3}, g.BarColor()), c.barWidth);
  if (c.barWidth > 0) {
    EXPECT_TRUE(AllPixels(img, {2, 2, 2 + c.barWidth, 3}, g.BarColor()));
  }
  if (c.barWidth < inner) {
    EXPECT_EQ(PixelAt(img, 2 + c.barWidth, 2), ColorToRGB(g.Color()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, GaugeValues,
    ::testing::Values(
        // 141 / 100 * 25 = 35.25 -> 35.
        GaugeCase{"default_25", 145, 25, 0, 100, 25, 25, 35, "25 %"},
        GaugeCase{"clamped_above", 145, 25, 0, 100, 999, 100, 141, "100 %"},
        GaugeCase{"clamped_below", 145, 25, 0, 100, -5, 0, 0, "0 %"},
        GaugeCase{"offset_range_half", 145, 25, 50, 150, 100, 100, 70, "50 %"},
        // 29 of 100: a floating-point quotient would give 28.999... and "28 %".
        GaugeCase{"twenty_nine", 145, 25, 0, 100, 29, 29, 40, "29 %"},
        GaugeCase{"thirds", 433, 25, 0, 3, 1, 1, 143, "33 %"},
        GaugeCase{"negative_range", 104, 20, -200, -100, -150, -150, 50, "50 %"},
        // No range: full bar.
        GaugeCase{"no_range", 145, 25, 7, 7, 3, 7, 141, "100 %"},
        // Wider than the bar's pixels: 429 * 66 / 100 = 283.14.
        GaugeCase{"progress_window_66", 433, 25, 0, 100, 66, 66, 283, "66 %"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Gauge, NewGaugeDefaults) {
  TFlatGauge g(nullptr);
  EXPECT_EQ(g.Width(), 145);
  EXPECT_EQ(g.Height(), 25);
  EXPECT_EQ(g.MinValue(), 0);
  EXPECT_EQ(g.MaxValue(), 100);
  EXPECT_EQ(g.Progress(), 25);
  EXPECT_TRUE(g.ShowText());
  EXPECT_EQ(g.BarColor(), 0x996633);
  EXPECT_EQ(g.ColorBorder(), 0x8396A0);
  EXPECT_EQ(g.AdvColorBorder(), 50);
  EXPECT_FALSE(g.UseAdvColors());
  EXPECT_FALSE(g.Transparent());
  EXPECT_TRUE(g.ParentColor());
  EXPECT_TRUE(g.ParentFont());
}

TEST(Gauge, SettersKeepMinProgressMax) {
  TFlatGauge g(nullptr);
  g.SetMinValue(150);  // above the maximum: becomes the maximum
  EXPECT_EQ(g.MinValue(), 100);
  EXPECT_EQ(g.Progress(), 100);
  g.SetMaxValue(20);  // below the minimum: becomes the minimum
  EXPECT_EQ(g.MaxValue(), 100);
  g.SetMinValue(10);
  g.SetMaxValue(50);  // progress follows the maximum down
  EXPECT_EQ(g.Progress(), 50);
  g.SetProgress(5);
  EXPECT_EQ(g.Progress(), 10);
  g.SetMinValue(30);  // and the minimum up
  EXPECT_EQ(g.Progress(), 30);
  g.SetAdvColorBorder(120);
  EXPECT_EQ(g.AdvColorBorder(), 100);
  g.SetAdvColorBorder(-3);
  EXPECT_EQ(g.AdvColorBorder(), 0);
}

TEST(Gauge, FrameGapAndBackground) {
  TForm form(nullptr);
  form.SetColor(RGB(1, 2, 3));
  auto* g = new TFlatGauge(&form);
  g->SetParent(&form);
  EXPECT_EQ(g->Color(), RGB(1, 2, 3));
  g->SetColorBorder(clNavy);
  g->SetProgress(50);
  QImage img = FilledImage(145, 25, clFuchsia);
  g->PaintTo(img);
  // One-pixel frame all round, in the border colour.
  EXPECT_TRUE(AllPixels(img, {0, 0, 145, 1}, clNavy));
  EXPECT_TRUE(AllPixels(img, {0, 24, 145, 25}, clNavy));
  EXPECT_TRUE(AllPixels(img, {0, 0, 1, 25}, clNavy));
  EXPECT_TRUE(AllPixels(img, {144, 0, 145, 25}, clNavy));
  // Then a one-pixel gap in the background colour around the bar.
  EXPECT_TRUE(AllPixels(img, {1, 1, 144, 2}, RGB(1, 2, 3)));
  EXPECT_TRUE(AllPixels(img, {1, 1, 2, 24}, RGB(1, 2, 3)));
  EXPECT_TRUE(AllPixels(img, {1, 23, 144, 24}, RGB(1, 2, 3)));
  EXPECT_EQ(CountPixels(img, {0, 0, 145, 25}, clFuchsia), 0);

  // Transparent: the background is left as it was.
  g->SetTransparent(true);
  img = FilledImage(145, 25, clFuchsia);
  g->PaintTo(img);
  EXPECT_TRUE(AllPixels(img, {1, 1, 144, 2}, clFuchsia));
  EXPECT_TRUE(AllPixels(img, {0, 0, 145, 1}, clNavy));
}

// The text's place comes from the layout; its colour is checked by which
// colours appear inside that place, never by the shapes of the glyphs.
class GaugeText : public ::testing::Test {
protected:
  GaugeText() {
    G = new TFlatGauge(&Form);
    G->SetParent(&Form);
    G->SetBounds(0, 0, 200, 25);
    G->SetColor(clWhite);
    G->SetBarColor(clNavy);
    G->Font().SetColor(clRed);
  }
  TRect TextBounds() {
    TCanvas c;
    c.Font = G->Font();
    const auto lines = c.TextLayout(G->Text(), G->InnerRect(), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return lines.at(0).Bounds;
  }
  std::set<TColor> Colours(const QImage& img, const TRect& r) {
    std::set<TColor> out;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) out.insert(PixelAt(img, x, y));
    return out;
  }
  TForm Form{nullptr};
  TFlatGauge* G;
};

TEST_F(GaugeText, IsCentredInTheInnerRectangle) {
  const TRect inner = G->InnerRect();
  const TRect t = TextBounds();
  EXPECT_LE(std::abs((t.Left - inner.Left) - (inner.Right - t.Right)), 1);
  EXPECT_LE(std::abs((t.Top - inner.Top) - (inner.Bottom - t.Bottom)), 1);
}

TEST_F(GaugeText, OverTheBarItIsDrawnInTheBackgroundColour) {
  const TRect t = TextBounds();
  // Bar ending in the middle of the text.
  G->SetProgress(50);
  const int split = G->BarRect().Right;
  ASSERT_GT(split, t.Left);
  ASSERT_LT(split, t.Right);
  QImage img = FilledImage(200, 25, clFuchsia);
  G->PaintTo(img);
  const TRect overBar{t.Left, t.Top, split, t.Bottom}, pastBar{split, t.Top, t.Right, t.Bottom};
  EXPECT_EQ(Colours(img, overBar), (std::set<TColor>{clNavy, clWhite}));
  EXPECT_EQ(Colours(img, pastBar), (std::set<TColor>{clWhite, clRed}));
  // Outside the text's place there is no text colour at all.
  EXPECT_EQ(CountPixels(img, {0, 0, 200, 25}, clRed), CountPixels(img, pastBar, clRed));

  // Empty bar: the whole text in the font colour; full bar: all in the background colour.
  G->SetProgress(0);
  img = FilledImage(200, 25, clFuchsia);
  G->PaintTo(img);
  EXPECT_EQ(Colours(img, TextBounds()), (std::set<TColor>{clWhite, clRed}));
  G->SetProgress(100);
  img = FilledImage(200, 25, clFuchsia);
  G->PaintTo(img);
  EXPECT_EQ(Colours(img, TextBounds()), (std::set<TColor>{clNavy, clWhite}));
  EXPECT_EQ(CountPixels(img, {0, 0, 200, 25}, clRed), 0);

  // Without the text neither colour appears where it was.
  G->SetShowText(false);
  img = FilledImage(200, 25, clFuchsia);
  G->PaintTo(img);
  EXPECT_EQ(Colours(img, TextBounds()), std::set<TColor>{clNavy});
}

TEST(Gauge, AdvancedColoursDeriveTheBorderFromTheParentColour) {
  TForm form(nullptr);
  form.SetColor(RGB(128, 128, 128));
  auto* g = new TFlatGauge(&form);
  g->SetParent(&form);
  g->SetColor(clWhite);
  EXPECT_FALSE(g->ParentColor());
  g->SetUseAdvColors(true);  // takes the parent's colour again
  EXPECT_TRUE(g->ParentColor());
  EXPECT_EQ(g->Color(), RGB(128, 128, 128));
  EXPECT_EQ(g->ColorBorder(), RGB(85, 85, 85));  // L 120 + 10 - 50 = 80
  g->SetAdvColorBorder(20);
  EXPECT_EQ(g->ColorBorder(), CalcAdvancedColor(RGB(128, 128, 128), clBlack, 20, true));
  form.SetColor(RGB(64, 64, 64));
  EXPECT_EQ(g->ColorBorder(), CalcAdvancedColor(RGB(64, 64, 64), clBlack, 20, true));
  // Percent 0 leaves the border as it stands.
  const TColor before = g->ColorBorder();
  g->SetAdvColorBorder(0);
  EXPECT_EQ(g->ColorBorder(), before);
  g->SetUseAdvColors(false);
  EXPECT_FALSE(g->ParentColor());
  form.SetColor(clWhite);
  EXPECT_EQ(g->ColorBorder(), before);
}

TEST(Gauge, RepaintsAtOnceWhenTheValueChanges) {
  TForm form(nullptr);
  auto* g = new TFlatGauge(&form);
  g->SetParent(&form);
  g->SetBounds(0, 0, 104, 25);
  g->SetProgress(0);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !g->PaintedImage().isNull(); }));
  auto barPixels = [&] { return CountPixels(g->PaintedImage(), {2, 2, 102, 3}, g->BarColor()); };
  EXPECT_EQ(barPixels(), 0);
  // No event loop from here on: every change shows in the picture at once.
  for (int p : {10, 55, 100}) {
    g->SetProgress(p);
    EXPECT_EQ(barPixels(), p) << p;
  }
  g->SetMaxValue(200);
  EXPECT_EQ(barPixels(), 50);
  g->SetMinValue(100);
  EXPECT_EQ(barPixels(), 0);
  g->SetShowText(false);
  EXPECT_EQ(CountPixels(g->PaintedImage(), {0, 0, 104, 25}, g->Font().Color()), 0);
}

}  // namespace
