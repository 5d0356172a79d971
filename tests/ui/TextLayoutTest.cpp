#include "GuiTestApp.h"
#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <tuple>

using qftest::CountPixels;
using qftest::FilledImage;

namespace {

// Placement is checked by the line boxes the layout answers, not by glyph pixels.
class TextLayout : public ::testing::Test {
protected:
  TCanvas C;
  int LineH() const { return C.TextHeight("X"); }
};

TEST_F(TextLayout, SingleLineFollowsTheAlignmentFlags) {
  const TRect r{10, 20, 210, 80};
  const int w = C.TextWidth("Please wait!"), h = LineH();
  const std::tuple<const char*, unsigned, int, int> cases[] = {
      {"left_top", DT_SINGLELINE, 10, 20},
      {"right", DT_SINGLELINE | DT_RIGHT, 210 - w, 20},
      {"centre", DT_SINGLELINE | DT_CENTER, (220 - w) / 2, 20},
      {"vcentre", DT_SINGLELINE | DT_VCENTER, 10, (100 - h) / 2},
      {"bottom", DT_SINGLELINE | DT_BOTTOM, 10, 80 - h},
      {"vcentre_needs_singleline", DT_VCENTER, 10, 20},
      {"bottom_needs_singleline", DT_BOTTOM | DT_RIGHT, 210 - w, 20}};
  for (auto [name, flags, left, top] : cases) {
    const auto lines = C.TextLayout("Please wait!", r, flags);
    ASSERT_EQ(lines.size(), 1u) << name;
    EXPECT_EQ(lines[0].Bounds, Bounds(left, top, w, h)) << name;
  }
  // Centred in a rectangle narrower than the text: it reaches out on both sides.
  const auto wide = C.TextLayout("A rather long caption", {0, 0, 10, 4}, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const int ww = wide.at(0).Bounds.Width();
  EXPECT_GT(ww, 10);
  EXPECT_EQ(wide[0].Bounds, Bounds((10 - ww) / 2, (4 - h) / 2, ww, h));
}

std::vector<std::string> Texts(const std::vector<TTextLine>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.Text);
  return out;
}

TEST_F(TextLayout, LineBreaksAndWordBreakWithLongWordsWhole) {
  const TRect r{0, 0, 300, 100};
  EXPECT_EQ(Texts(C.TextLayout("one\r\ntwo\nthree\rfour", r, DT_LEFT)),
            (std::vector<std::string>{"one", "two", "three", "four"}));
  const auto blank = C.TextLayout("a\n\nb", r, DT_LEFT);
  ASSERT_EQ(blank.size(), 3u);
  EXPECT_EQ(blank[1].Bounds, Bounds(0, LineH(), 0, LineH()));
  const int width = std::max(C.TextWidth("alpha beta"), C.TextWidth("gamma delta")) + 2;
  const auto lines = C.TextLayout("alpha beta gamma delta", {5, 5, 5 + width, 500}, DT_WORDBREAK);
  EXPECT_EQ(Texts(lines), (std::vector<std::string>{"alpha beta", "gamma delta"}));
  EXPECT_EQ(lines.at(1).Bounds, Bounds(5, 5 + LineH(), C.TextWidth("gamma delta"), LineH()));
  EXPECT_EQ(Texts(C.TextLayout("ab supercalifragilistic cd", {0, 0, C.TextWidth("ab"), 100}, DT_WORDBREAK)),
            (std::vector<std::string>{"ab", "supercalifragilistic", "cd"}));
}

TEST_F(TextLayout, PrefixesAndEllipsis) {
  const TRect r{0, 0, 300, 100};
  const std::tuple<const char*, unsigned, const char*> cases[] = {
      {"one\r\ntwo", 0, "onetwo"},        {"&Open", 0, "Open"},           {"Save && Exit", 0, "Save & Exit"},
      {"Trailing&", 0, "Trailing"},       {"a&&&b", 0, "a&b"},            {"&Open", DT_NOPREFIX, "&Open"},
      {"Short", DT_END_ELLIPSIS, "Short"}};
  for (auto [text, flags, shown] : cases) {
    const auto lines = C.TextLayout(text, r, flags | DT_SINGLELINE);
    ASSERT_EQ(lines.size(), 1u) << text;
    EXPECT_EQ(lines[0].Text, shown) << text;
  }
  const TRect tight{0, 0, C.TextWidth("Generating"), 20};
  const std::string cut = C.TextLayout("Generating the site pages", tight, DT_SINGLELINE | DT_END_ELLIPSIS)[0].Text;
  EXPECT_TRUE(cut.size() > 3 && cut.ends_with("...")) << cut;
  EXPECT_LE(C.TextWidth(cut), tight.Width());
  // Not even "..." fits: the ellipsis is all there is.
  EXPECT_EQ(C.TextLayout("Generating", {0, 0, 1, 20}, DT_SINGLELINE | DT_END_ELLIPSIS)[0].Text, "...");
}

TEST_F(TextLayout, CalcRectMeasuresWithoutDrawing) {
  QImage img = FilledImage(300, 100, clWhite);
  C.SetTarget(&img);
  TRect r{4, 6, 4, 6};
  EXPECT_EQ(C.DrawText("Please wait!", r, DT_CALCRECT | DT_SINGLELINE | DT_CENTER), LineH());
  EXPECT_EQ(r, Bounds(4, 6, C.TextWidth("Please wait!"), LineH()));
  EXPECT_EQ(CountPixels(img, clWhite), 300 * 100);
  const int width = C.TextWidth("alpha beta") + 2;  // word break: the width stays, the height grows
  TRect w{0, 0, width, 0};
  EXPECT_EQ(C.DrawText("alpha beta gamma", w, DT_CALCRECT | DT_WORDBREAK), 2 * LineH());
  EXPECT_EQ(w.Bottom, 2 * LineH());
  EXPECT_LE(w.Right, width);
  TRect e{0, 0, 0, 0};  // an empty text still has one line's height
  C.DrawText("", e, DT_CALCRECT);
  EXPECT_EQ(e, (TRect{0, 0, 0, LineH()}));
}

TEST_F(TextLayout, DrawTextClipsToItsRectangleAndFillsOnlyLineBoxes) {
  QImage img = FilledImage(200, 60, clWhite);
  C.SetTarget(&img);
  C.Brush.Style = bsClear;
  C.Font.SetColor(clBlack);
  C.Font.SetHeight(-16);
  TRect r{0, 0, 20, 40};
  C.DrawText("WWWWWWWW", r, DT_SINGLELINE | DT_VCENTER);
  EXPECT_GT(CountPixels(img, {0, 0, 20, 40}, clBlack), 0);
  EXPECT_EQ(CountPixels(img, {20, 0, 200, 40}, clWhite), 180 * 40);
  C.DrawText("WWWWWWWW", r, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
  EXPECT_GT(CountPixels(img, {20, 0, 200, 40}, clBlack), 0);
  EXPECT_FALSE(C.HasClipRect());  // the canvas's clip is back as it was

  img = FilledImage(200, 60, clWhite);
  C.Brush = TBrush{clYellow, bsSolid};
  C.Font.SetColor(clYellow);
  r = {0, 0, 200, 60};
  int box = 0;
  for (const auto& l : C.TextLayout("ab\ncdef", r, DT_CENTER)) box += l.Bounds.Width() * l.Bounds.Height();
  C.DrawText("ab\ncdef", r, DT_CENTER);
  EXPECT_EQ(CountPixels(img, clYellow), box);
}

}  // namespace
