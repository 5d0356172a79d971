#include "ui/Colors.h"
#include "ui/Types.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Colors, SystemColoursResolveThroughTheFixedTable) {
  const std::tuple<const char*, TColor, TColor> cases[] = {
      {"btn_face", clBtnFace, RGB(212, 208, 200)},       {"window", clWindow, 0xFFFFFF},
      {"window_text", clWindowText, 0},                  {"highlight", clHighlight, RGB(10, 36, 106)},
      {"btn_shadow", clBtnShadow, RGB(128, 128, 128)},   {"dark_shadow", cl3DDkShadow, RGB(64, 64, 64)},
      {"info_bk", clInfoBk, RGB(255, 255, 225)},         {"menu_bar_last", clMenuBar, RGB(212, 208, 200)},
      {"plain_navy", clNavy, 0x800000},                  {"plain_bar", 16776176, RGB(240, 251, 255)},
      {"none", clNone, clNone},                          {"index_past_table", SysColor(31), 0},
      {"index_255", SysColor(255), 0},                   {"junk_bits", static_cast<TColor>(0x80001205u), 0}};
  for (auto [name, color, rgb] : cases) EXPECT_EQ(ColorToRGB(color), rgb) << name;
  EXPECT_TRUE(IsSysColor(clBtnFace));
  EXPECT_FALSE(IsSysColor(clWhite));
  EXPECT_EQ(RGB(1, 2, 3), 0x030201);
  EXPECT_EQ(RGB(256 + 7, -1, 0), 0x00FF07);  // each channel keeps its low byte
}

TEST(Rects, ExclusiveRightAndBottomEdges) {
  const std::tuple<TRect, TRect, bool, TRect> cases[] = {
      {{0, 0, 10, 10}, {5, 5, 20, 20}, true, {5, 5, 10, 10}}, {{0, 0, 10, 10}, {10, 0, 20, 10}, false, {}},
      {{0, 0, 10, 10}, {2, 3, 4, 5}, true, {2, 3, 4, 5}},     {{0, 0, 0, 10}, {0, 0, 10, 10}, false, {}},
      {{10, 10, 0, 0}, {0, 0, 10, 10}, false, {}}};
  for (const auto& [a, b, meets, result] : cases) {
    TRect out{9, 9, 9, 9};
    EXPECT_EQ(IntersectRect(out, a, b), meets) << b.Left;
    EXPECT_EQ(out, result) << b.Left;
  }
  const TRect r = Bounds(2, 3, 4, 5);
  EXPECT_EQ(r, (TRect{2, 3, 6, 8}));
  EXPECT_TRUE(r.Contains({2, 3}) && r.Contains({5, 7}));
  EXPECT_FALSE(r.Contains({6, 7}) || r.Contains({5, 8}) || r.Contains({1, 3}));
  TRect s = r;
  InflateRect(s, -2, -3);
  EXPECT_TRUE(s.IsEmpty());
  OffsetRect(s, 1, 1);
  EXPECT_EQ(s, (TRect{5, 7, 5, 6}));
  EXPECT_EQ((TRect{0, 0, 11, 4}).CenterPoint(), (TPoint{5, 2}));
}

TEST(ShiftStates, IncludeAndExclude) {
  TShiftState s{ssShift};
  s >> ssShift >> ssShift << ssLeft;  // excluding what is not there changes nothing
  EXPECT_EQ(s, TShiftState{ssLeft});
}

}  // namespace
