// The gauge: the bar and the text for given values, the frame, and
// painting at once while the caller keeps the event loop waiting.

#include "FlatTestKit.h"
#include "components/FlatGauge.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace flattest;
using namespace qftest;

namespace {

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
    EXPECT_EQ(g.Text(), c.text);
    // On the bar's top row the bar colour runs bar-width pixels, then the background.
    const QImage img = Painted(&g);
    EXPECT_TRUE(AllPixels(img, {2, 2, 2 + c.barWidth, 3}, g.BarColor()));
    EXPECT_EQ(CountPixels(img, {2, 2, c.width - 2, 3}, g.BarColor()), c.barWidth);
  }
}

TEST(Gauge, SettersKeepMinProgressMax) {
  TFlatGauge g(nullptr);  // 0..100 at 25
  const struct {
    char what;  // m: MinValue, M: MaxValue, p: Progress
    int value, min, progress, max;
  } steps[] = {{'m', 150, 100, 100, 100},  // above the maximum: the maximum, progress follows
               {'M', 20, 100, 100, 100},   // below the minimum: the minimum
               {'m', 10, 10, 100, 100},  {'M', 50, 10, 50, 50}, {'p', 5, 10, 10, 50}, {'m', 30, 30, 30, 50}};
  for (const auto& s : steps) {
    if (s.what == 'm') g.SetMinValue(s.value);
    if (s.what == 'M') g.SetMaxValue(s.value);
    if (s.what == 'p') g.SetProgress(s.value);
    EXPECT_EQ((std::tuple{g.MinValue(), g.Progress(), g.MaxValue()}), std::tuple(s.min, s.progress, s.max))
        << s.what << " " << s.value;
  }
}

// The text's place comes from the layout; its colour is checked by which
// colours appear inside that place, never by the shapes of the glyphs.
TEST(Gauge, FrameGapTransparencyAndTheTextCentredInTheBackgroundColourOverTheBar) {
  TForm form(nullptr);
  auto* g = Place<TFlatGauge>(&form, 0, 0, 200, 25);
  g->SetColorBorder(clMaroon);
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
  g->SetProgress(50);  // the bar ends in the middle of the text
  const TRect t = textBox();
  const int split = g->BarRect().Right;
  ASSERT_TRUE(split > t.Left && split < t.Right);
  EXPECT_LE(std::abs((t.Left - 2) - (198 - t.Right)), 1) << "centred";
  EXPECT_LE(std::abs((t.Top - 2) - (23 - t.Bottom)), 1);
  QImage img = Painted(g);  // a one-pixel frame, then a one-pixel gap
  EXPECT_TRUE(Ring(img, {0, 0, 200, 25}, clMaroon));
  EXPECT_TRUE(Ring(img, {1, 1, 199, 24}, clWhite));
  EXPECT_EQ(CountPixels(img, clFuchsia), 0);
  const TRect pastBar{split, t.Top, t.Right, t.Bottom};
  EXPECT_EQ(colours(img, {t.Left, t.Top, split, t.Bottom}), (std::set<TColor>{clNavy, clWhite}));
  EXPECT_EQ(colours(img, pastBar), (std::set<TColor>{clWhite, clRed}));
  EXPECT_EQ(CountPixels(img, clRed), CountPixels(img, pastBar, clRed)) << "no text colour elsewhere";
  g->SetShowText(false);
  EXPECT_EQ(colours(Painted(g), t), (std::set<TColor>{clNavy, clWhite}));
  g->SetTransparent(true);  // the background is left as it was
  img = Painted(g);
  EXPECT_TRUE(Ring(img, {1, 1, 199, 24}, clFuchsia));
  EXPECT_TRUE(Ring(img, {0, 0, 200, 25}, clMaroon));
}

TEST(Gauge, RepaintsAtOnceWhenTheValueChanges) {
  TForm form(nullptr);
  auto* g = Place<TFlatGauge>(&form, 0, 0, 104, 25);
  g->SetProgress(0);
  form.Show();
  ASSERT_TRUE(ProcessEventsUntil([&] { return !g->PaintedImage().isNull(); }));
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

}  // namespace
