#include "ui/Colors.h"
#include "ui/Types.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ColorCase {
  const char* name;
  TColor color;
  TColor rgb;
};

void PrintTo(const ColorCase& c, std::ostream* os) { *os << c.name; }

class ColorResolution : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorResolution, ResolvesThroughTheFixedTable) { EXPECT_EQ(ColorToRGB(GetParam().color), GetParam().rgb); }

INSTANTIATE_TEST_SUITE_P(
    Colors, ColorResolution,
    ::testing::Values(ColorCase{"btn_face", clBtnFace, RGB(212, 208, 200)}, ColorCase{"window", clWindow, 0xFFFFFF},
                      ColorCase{"window_text", clWindowText, 0}, ColorCase{"highlight", clHighlight, RGB(10, 36, 106)},
                      ColorCase{"highlight_text", clHighlightText, 0xFFFFFF},
                      ColorCase{"btn_shadow", clBtnShadow, RGB(128, 128, 128)},
                      ColorCase{"btn_highlight", clBtnHighlight, 0xFFFFFF},
                      ColorCase{"dark_shadow", cl3DDkShadow, RGB(64, 64, 64)},
                      ColorCase{"info_bk", clInfoBk, RGB(255, 255, 225)},
                      ColorCase{"gray_text", clGrayText, RGB(128, 128, 128)},
                      ColorCase{"menu_bar_last_entry", clMenuBar, RGB(212, 208, 200)},
                      // Plain colours pass unchanged, including the special values.
                      ColorCase{"navy", clNavy, 0x800000}, ColorCase{"bar_colour", 16776176, RGB(240, 251, 255)},
                      ColorCase{"none", clNone, clNone},
                      // Unknown system colours: past the table, or junk between index and flag.
                      ColorCase{"index_past_table", SysColor(31), 0}, ColorCase{"index_255", SysColor(255), 0},
                      ColorCase{"junk_bits", static_cast<TColor>(0x80001205u), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Colors, ChannelsOfAPlainValue) {
  const TColor c = RGB(1, 2, 3);
  EXPECT_EQ(c, 0x030201);
  EXPECT_EQ(GetRValue(c), 1);
  EXPECT_EQ(GetGValue(c), 2);
  EXPECT_EQ(GetBValue(c), 3);
  EXPECT_EQ(RGB(256 + 7, -1, 0), RGB(7, 255, 0));  // each channel keeps its low byte
  EXPECT_TRUE(IsSysColor(clBtnFace));
  EXPECT_FALSE(IsSysColor(clWhite));
}

struct IntersectCase {
  const char* name;
  TRect a, b;
  bool meets;
  TRect result;
};

void PrintTo(const IntersectCase& c, std::ostream* os) { *os << c.name; }

class RectIntersect : public ::testing::TestWithParam<IntersectCase> {};

TEST_P(RectIntersect, ExclusiveEdgesMeetOnlyWithCommonPixels) {
  TRect out{9, 9, 9, 9};
  EXPECT_EQ(IntersectRect(out, GetParam().a, GetParam().b), GetParam().meets);
  EXPECT_EQ(out, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Rects, RectIntersect,
    ::testing::Values(IntersectCase{"overlap", {0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}},
                      IntersectCase{"touching_edges", {0, 0, 10, 10}, {10, 0, 20, 10}, false, {}},
                      IntersectCase{"inside", {0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},
                      IntersectCase{"empty_operand", {0, 0, 0, 10}, {0, 0, 10, 10}, false, {}},
                      IntersectCase{"inverted_operand", {10, 10, 0, 0}, {0, 0, 10, 10}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rects, ContainsExcludesRightAndBottom) {
  const TRect r = Bounds(2, 3, 4, 5);
  EXPECT_EQ(r, (TRect{2, 3, 6, 8}));
  EXPECT_TRUE(r.Contains({2, 3}));
  EXPECT_TRUE(r.Contains({5, 7}));
  EXPECT_FALSE(r.Contains({6, 7}));
  EXPECT_FALSE(r.Contains({5, 8}));
  EXPECT_FALSE(r.Contains({1, 3}));
  TRect s = r;
  InflateRect(s, -2, -3);
  EXPECT_TRUE(s.IsEmpty());
  OffsetRect(s, 1, 1);
  EXPECT_EQ(s, (TRect{5, 7, 5, 6}));
  EXPECT_EQ((TRect{0, 0, 11, 4}).CenterPoint(), (TPoint{5, 2}));
}

TEST(ShiftStates, AddRemoveAndCompare) {
  TShiftState s;
  EXPECT_TRUE(s.Empty());
  s << ssShift << ssLeft;
  EXPECT_TRUE(s.Contains(ssShift));
  EXPECT_TRUE(s.Contains(ssLeft));
  EXPECT_FALSE(s.Contains(ssCtrl));
  EXPECT_EQ(s, (TShiftState{ssLeft, ssShift}));
  s >> ssShift >> ssShift;
  EXPECT_EQ(s, TShiftState{ssLeft});
  EXPECT_NE(s, TShiftState{});
}

}  // namespace
