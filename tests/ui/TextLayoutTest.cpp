#include "GuiTestApp.h"
#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>

using qftest::CountPixels;
using qftest::FilledImage;

namespace {

class TextLayout : public ::testing::Test {
protected:
  TCanvas C;
  int LineH() const { return C.TextHeight("X"); }
};

struct PlaceCase {
  const char* name;
  unsigned flags;
  // Expected left and top of the single line in rect (10, 20, 210, 80), given
  // the text's width w and the line height h.
  int (*left)(int w);
  int (*top)(int h);
};

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

class SingleLinePlacement : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(SingleLinePlacement, FollowsTheAlignmentFlags) {
  TCanvas c;
  const TRect r{10, 20, 210, 80};
  const auto lines = c.TextLayout("Please wait!", r, GetParam().flags);
  ASSERT_EQ(lines.size(), 1u);
  const int w = c.TextWidth("Please wait!"), h = c.TextHeight("X");
  EXPECT_EQ(lines[0].Bounds, Bounds(GetParam().left(w), GetParam().top(h), w, h));
  EXPECT_EQ(lines[0].Text, "Please wait!");
}

INSTANTIATE_TEST_SUITE_P(
    Flags, SingleLinePlacement,
    ::testing::Values(
        PlaceCase{"left_top", DT_SINGLELINE, [](int) { return 10; }, [](int) { return 20; }},
        PlaceCase{"right", DT_SINGLELINE | DT_RIGHT, [](int w) { return 210 - w; }, [](int) { return 20; }},
        PlaceCase{"centre", DT_SINGLELINE | DT_CENTER, [](int w) { return (220 - w) / 2; }, [](int) { return 20; }},
        PlaceCase{"vcentre", DT_SINGLELINE | DT_VCENTER, [](int) { return 10; }, [](int h) { return (100 - h) / 2; }},
        PlaceCase{"bottom", DT_SINGLELINE | DT_BOTTOM, [](int) { return 10; }, [](int h) { return 80 - h; }},
        // Vertical placement needs DT_SINGLELINE, as in the classic call.
        PlaceCase{"vcentre_ignored_multiline", DT_VCENTER, [](int) { return 10; }, [](int) { return 20; }},
        PlaceCase{"bottom_ignored_multiline", DT_BOTTOM | DT_RIGHT, [](int w) { return 210 - w; },
                  [](int) { return 20; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextLayout, CentringInARectNarrowerThanTheText) {
  const TRect r{0, 0, 10, 4};
  const auto lines = C.TextLayout("A rather long caption", r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  ASSERT_EQ(lines.size(), 1u);
  const int w = lines[0].Bounds.Width();
  EXPECT_GT(w, 10);
  EXPECT_EQ(lines[0].Bounds.Left, (10 - w) / 2);
  EXPECT_EQ(lines[0].Bounds.Top, (4 - LineH()) / 2);
}

TEST_F(TextLayout, WordBreakWrapsAtBlanksWithinTheWidth) {
  const int width = std::max(C.TextWidth("alpha beta"), C.TextWidth("gamma delta")) + 2;
  const TRect r{5, 5, 5 + width, 500};
  const auto lines = C.TextLayout("alpha beta gamma delta", r, DT_WORDBREAK);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].Text, "alpha beta");
  EXPECT_EQ(lines[1].Text, "gamma delta");
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].Bounds.Right, r.Right);
    EXPECT_EQ(lines[i].Bounds.Left, 5);
    EXPECT_EQ(lines[i].Bounds.Top, 5 + static_cast<int>(i) * LineH());
  }
}

TEST_F(TextLayout, AWordLongerThanTheLineStaysWhole) {
  const TRect r{0, 0, C.TextWidth("ab"), 100};
  const auto lines = C.TextLayout("ab supercalifragilistic cd", r, DT_WORDBREAK);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].Text, "supercalifragilistic");
  EXPECT_GT(lines[1].Bounds.Width(), r.Width());
}

TEST_F(TextLayout, LineBreaksOnlyWithoutSingleLine) {
  const TRect r{0, 0, 300, 100};
  const auto multi = C.TextLayout("one\r\ntwo\nthree\rfour", r, DT_LEFT);
  ASSERT_EQ(multi.size(), 4u);
  EXPECT_EQ(multi[2].Text, "three");
  const auto blank = C.TextLayout("a\n\nb", r, DT_LEFT);
  ASSERT_EQ(blank.size(), 3u);
  EXPECT_EQ(blank[1].Bounds.Width(), 0);
  const auto single = C.TextLayout("one\r\ntwo", r, DT_SINGLELINE);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].Text, "onetwo");
}

struct PrefixCase {
  const char* text;
  unsigned flags;
  const char* shown;
};

void PrintTo(const PrefixCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class Prefixes : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(Prefixes, AmpersandsAreMarkersUnlessNoPrefix) {
  TCanvas c;
  const auto lines = c.TextLayout(GetParam().text, {0, 0, 300, 30}, GetParam().flags | DT_SINGLELINE);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].Text, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, Prefixes,
                         ::testing::Values(PrefixCase{"&Open", 0, "Open"}, PrefixCase{"Save && Exit", 0, "Save & Exit"},
                                           PrefixCase{"Trailing&", 0, "Trailing"},
                                           PrefixCase{"&Open", DT_NOPREFIX, "&Open"},
                                           PrefixCase{"a&&&b", 0, "a&b"}));

TEST_F(TextLayout, EllipsisCutsTheTextToFit) {
  const TRect r{0, 0, C.TextWidth("Generating"), 20};
  const auto lines = C.TextLayout("Generating the site pages", r, DT_SINGLELINE | DT_END_ELLIPSIS);
  ASSERT_EQ(lines.size(), 1u);
  const std::string& t = lines[0].Text;
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t.substr(t.size() - 3), "...");
  EXPECT_LE(lines[0].Bounds.Width(), r.Width());
  EXPECT_EQ(C.TextLayout("Short", {0, 0, 200, 20}, DT_SINGLELINE | DT_END_ELLIPSIS)[0].Text, "Short");
  // Not even "..." fits: the ellipsis is all there is.
  EXPECT_EQ(C.TextLayout("Generating", {0, 0, 1, 20}, DT_SINGLELINE | DT_END_ELLIPSIS)[0].Text, "...");
}

TEST_F(TextLayout, CalcRectMeasuresWithoutDrawing) {
  QImage img = FilledImage(300, 100, clWhite);
  C.SetTarget(&img);
  TRect r{4, 6, 4, 6};
  const int h = C.DrawText("Please wait!", r, DT_CALCRECT | DT_SINGLELINE | DT_CENTER);
  EXPECT_EQ(h, LineH());
  EXPECT_EQ(r, Bounds(4, 6, C.TextWidth("Please wait!"), LineH()));
  EXPECT_EQ(CountPixels(img, {0, 0, 300, 100}, clWhite), 300 * 100);

  // Word break: the width stays, the height grows to the lines.
  TRect w{0, 0, C.TextWidth("alpha beta") + 2, 0};
  EXPECT_EQ(C.DrawText("alpha beta gamma", w, DT_CALCRECT | DT_WORDBREAK), 2 * LineH());
  EXPECT_EQ(w.Bottom, 2 * LineH());
  EXPECT_LE(w.Right, C.TextWidth("alpha beta") + 2);

  // An empty text still has one line's height.
  TRect e{0, 0, 0, 0};
  C.DrawText("", e, DT_CALCRECT);
  EXPECT_EQ(e, (TRect{0, 0, 0, LineH()}));
}

TEST_F(TextLayout, DrawTextStaysInItsRectangleUnlessNoClip) {
  QImage img = FilledImage(200, 40, clWhite);
  C.SetTarget(&img);
  C.Brush.Style = bsClear;
  C.Font.SetColor(clBlack);
  C.Font.SetHeight(-16);
  TRect r{0, 0, 20, 40};
  C.DrawText("WWWWWWWW", r, DT_SINGLELINE | DT_VCENTER);
  EXPECT_GT(CountPixels(img, {0, 0, 20, 40}, clBlack), 0);
  EXPECT_EQ(CountPixels(img, {20, 0, 200, 40}, clWhite), 180 * 40);
  r = {0, 0, 20, 40};
  C.DrawText("WWWWWWWW", r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  EXPECT_GT(CountPixels(img, {20, 0, 200, 40}, clBlack), 0);
  // The canvas's clip rectangle is back as it was.
  EXPECT_FALSE(C.HasClipRect());
}

TEST_F(TextLayout, OpaqueTextFillsOnlyTheLineBoxes) {
  QImage img = FilledImage(200, 60, clWhite);
  C.SetTarget(&img);
  C.Brush = TBrush{clYellow, bsSolid};
  TRect r{0, 0, 200, 60};
  const auto lines = C.TextLayout("ab\ncdef", r, DT_CENTER);
  C.DrawText("ab\ncdef", r, DT_CENTER);
  int box = 0;
  for (const auto& l : lines) box += l.Bounds.Width() * l.Bounds.Height();
  EXPECT_EQ(CountPixels(img, {0, 0, 200, 60}, clWhite), 200 * 60 - box);
}

}  // namespace
