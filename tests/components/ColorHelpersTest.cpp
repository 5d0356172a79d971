#include "GuiTestApp.h"
#include "components/FlatUtils.h"
#include "components/HSLUtils.h"

#include <gtest/gtest.h>

#include <ostream>

using qftest::CountPixels;
using qftest::FilledImage;
using qftest::PixelAt;

namespace {

struct HslCase {
  const char* name;
  TColor rgb;
  double h, s, l;
  int H, S, L;  // on the 240 scale
};

void PrintTo(const HslCase& c, std::ostream* os) { *os << c.name; }

class HslConversions : public ::testing::TestWithParam<HslCase> {};

TEST_P(HslConversions, BothScalesAndBack) {
  const HslCase& c = GetParam();
  double h, s, l;
  RGBToHSL(c.rgb, h, s, l);
  EXPECT_NEAR(h, c.h, 1e-9);
  EXPECT_NEAR(s, c.s, 1e-9);
  EXPECT_NEAR(l, c.l, 1e-9);
  EXPECT_EQ(HSLToRGB(h, s, l), c.rgb);
  int H, S, L;
  RGBToHSLRange(c.rgb, H, S, L);
  EXPECT_EQ(H, c.H);
  EXPECT_EQ(S, c.S);
  EXPECT_EQ(L, c.L);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, HslConversions,
    ::testing::Values(HslCase{"red", RGB(255, 0, 0), 0, 1, 0.5, 0, 240, 120},
                      HslCase{"green", RGB(0, 255, 0), 1.0 / 3, 1, 0.5, 80, 240, 120},  // 239/3 = 79.67
                      HslCase{"blue", RGB(0, 0, 255), 2.0 / 3, 1, 0.5, 159, 240, 120},  // 159.33
                      HslCase{"magenta_wraps_negative_hue", RGB(255, 0, 255), 5.0 / 6, 1, 0.5, 199, 240, 120},
                      HslCase{"white", RGB(255, 255, 255), 0, 0, 1, 0, 0, 240},
                      HslCase{"black", RGB(0, 0, 0), 0, 0, 0, 0, 0, 0},
                      HslCase{"navy_dark_half", RGB(0, 0, 128), 2.0 / 3, 1, 128.0 / 510, 159, 240, 60},
                      HslCase{"light_bar", RGB(240, 251, 255), 196.0 / 360, 1, 247.5 / 255, 130, 240, 233}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Hsl, ResultsAreRoundedToTheNearestWhole) {
  // L of RGB(1, 1, 1) on the scale: 1/255 * 240 = 0.94 -> 1; of RGB(0, 0, 1): 0.47 -> 0.
  int H, S, L;
  RGBToHSLRange(RGB(1, 1, 1), H, S, L);
  EXPECT_EQ(L, 1);
  RGBToHSLRange(RGB(0, 0, 1), H, S, L);
  EXPECT_EQ(L, 0);
  EXPECT_EQ(HSLToRGB(0, 0, 0.5), RGB(128, 128, 128));  // 127.5
  // 255 * 0.3 comes out as exactly 76.5 in doubles: the half goes to the even 76.
  EXPECT_EQ(HSLToRGB(0, 0, 0.3), RGB(76, 76, 76));
}

TEST(Hsl, NoSaturationIsGreyWhateverTheHue) {
  for (double hue : {0.0, 0.2, 0.5, 0.99})
    EXPECT_EQ(HSLToRGB(hue, 0, 0.25), RGB(64, 64, 64)) << hue;  // 63.75 -> 64
  for (int hue : {0, 100, 239}) EXPECT_EQ(HSLRangeToRGB(hue, 0, 120), RGB(128, 128, 128)) << hue;
}

TEST(Hsl, OutOfRangeLightnessStaysWithinTheChannel) {
  EXPECT_EQ(HSLRangeToRGB(0, 0, 300), RGB(255, 255, 255));
  EXPECT_EQ(HSLRangeToRGB(0, 0, -20), RGB(0, 0, 0));
  const TColor c = HSLRangeToRGB(80, 240, 250);
  EXPECT_EQ(GetGValue(c), 255);
}

struct AdvCase {
  const char* name;
  TColor base, own;
  int percent;
  bool darken;
  TColor expected;
};

void PrintTo(const AdvCase& c, std::ostream* os) { *os << c.name; }

class AdvancedColours : public ::testing::TestWithParam<AdvCase> {};

TEST_P(AdvancedColours, DeriveFromTheBaseLightness) {
  const AdvCase& c = GetParam();
  EXPECT_EQ(CalcAdvancedColor(c.base, c.own, c.percent, c.darken), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AdvancedColours,
    ::testing::Values(
        // Percent 0: the own colour, even when it has nothing to do with the base.
        AdvCase{"zero_keeps_own", clWhite, 0x123456, 0, true, 0x123456},
        // White lightened by 10: L = 240 + 10 + 10 > 100, so L = 100: grey 106.
        AdvCase{"lighten_white_is_capped_at_100", clWhite, clRed, 10, false, RGB(106, 106, 106)},
        // L + 10 below the percentage: black whatever the hue.
        AdvCase{"darken_to_black_red", RGB(40, 0, 0), clWhite, 50, true, RGB(0, 0, 0)},
        AdvCase{"darken_to_black_blue", RGB(0, 0, 60), clWhite, 50, true, RGB(0, 0, 0)},
        // Grey 128 (L 120): darken 50 -> L 80 -> 255 * 80/240 = 85.
        AdvCase{"darken_grey", RGB(128, 128, 128), clWhite, 50, true, RGB(85, 85, 85)},
        // Dark grey 64 (L 60): lighten 20 -> 90 -> 95.625 -> 96.
        AdvCase{"lighten_dark_grey", RGB(64, 64, 64), clWhite, 20, false, RGB(96, 96, 96)},
        // System colours are resolved first: button face (212, 208, 200) has L 199.
        AdvCase{"system_colour_base", clBtnFace, clWhite, 50, true,
                CalcAdvancedColor(RGB(212, 208, 200), clWhite, 50, true)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AdvancedColoursSystem, ButtonFaceDarkensToTheSameAsItsRgb) {
  // The L of button face: (212 + 200) / 2 / 255 * 240 = 193.9 -> 194; plus 10 minus 50 = 154.
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
  // Outer frame: red on the left column and top row, blue on the right column
  // and bottom row, which take the top-right and bottom-left corners.
  EXPECT_EQ(PixelAt(img, 1, 1), clRed);
  EXPECT_EQ(PixelAt(img, 9, 1), clRed);
  EXPECT_EQ(PixelAt(img, 10, 1), clBlue);
  EXPECT_EQ(PixelAt(img, 1, 7), clRed);
  EXPECT_EQ(PixelAt(img, 1, 8), clBlue);
  EXPECT_EQ(PixelAt(img, 10, 8), clBlue);
  // The second frame one pixel in.
  EXPECT_EQ(PixelAt(img, 2, 2), clRed);
  EXPECT_EQ(PixelAt(img, 9, 7), clBlue);
  EXPECT_EQ(CountPixels(img, {0, 0, 12, 10}, clRed) + CountPixels(img, {0, 0, 12, 10}, clBlue),
            (2 * 10 + 2 * 6) + (2 * 8 + 2 * 4));
  EXPECT_TRUE(qftest::AllPixels(img, r, clWhite));
  EXPECT_TRUE(qftest::AllPixels(img, {0, 0, 12, 1}, clWhite));

  // Width 0 draws nothing and hands the rectangle back as it was.
  QImage blank = FilledImage(5, 5, clWhite);
  TCanvas b(&blank);
  TRect same{0, 0, 5, 5};
  Frame3D(&b, same, clRed, clRed, 0);
  EXPECT_EQ(same, (TRect{0, 0, 5, 5}));
  EXPECT_EQ(CountPixels(blank, {0, 0, 5, 5}, clWhite), 25);
}

}  // namespace
