#include "GridWindowTest.h"
#include "grid/SharedCommon.h"

#include "ui/Bitmap.h"

#include <QImage>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

using gridtest::TThemeRecorder;
using qftest::At;
using qftest::Missing;

namespace {

/** A white image with a canvas on it. */
struct TPicture {
  TPicture(int w, int h) : Image(w, h, QImage::Format_ARGB32) {
    Image.fill(Qt::white);
    Canvas.SetTarget(&Image);
  }
  TColor At(int x, int y) const { return Canvas.Pixels(x, y); }
  QImage Image;
  TCanvas Canvas;
};

TEST(GraphicsProvider, BlendAndMixWorkedValues) {
  const struct {
    const char* name;
    TColor c1, c2;
    int weight;
    TColor blended;
  } blends[] = {
      {"white_over_black_full", clWhite, clBlack, 255, RGB(254, 254, 254)},
      {"weight_zero", clBlack, RGB(200, 100, 2), 0, RGB(199, 99, 1)},
      {"half", RGB(255, 0, 100), RGB(0, 255, 100), 128, RGB(127, 126, 99)},
      {"system_colours_resolved", clBtnShadow, clBtnFace, 50, RGB(194, 191, 185)},
  };
  for (const auto& b : blends) {
    EXPECT_EQ(TGraphicsProvider::Blend(b.c1, b.c2, b.weight), b.blended) << b.name;
    EXPECT_EQ(TMaskProvider::Blend(b.c1, b.c2, b.weight), b.blended) << b.name;
  }
  for (int weight : {-1, 256}) {
    for (auto blend : {&TGraphicsProvider::Blend, &TMaskProvider::Blend}) {
      try {
        blend(clWhite, clBlack, weight);
        ADD_FAILURE() << "weight " << weight << " accepted";
      } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Assertion failure (SharedCommon.cpp, line ", 0), 0u) << e.Message();
      }
    }
  }

  const struct {
    TColor c1, c2;
    double fraction;
    TColor mixed;
  } mixes[] = {
      {clWhite, clBlue, 0.25, RGB(191, 191, 255)},
      {clWhite, clBlue, 0, clWhite},
      {clWhite, clBlue, 1, clBlue},
      {clBlack, clWhite, 0.5, RGB(128, 128, 128)},  // 127.5 to the even 128
      {clBlack, RGB(5, 3, 1), 0.5, RGB(2, 2, 0)},   // 2.5, 1.5, 0.5 to even
  };
  for (const auto& m : mixes) EXPECT_EQ(TGraphicsProvider::MixColors(m.c1, m.c2, m.fraction), m.mixed) << m.fraction;
}

TEST(CalcProvider, PlaceBoxIntersectAndOffset) {
  const struct {
    TAlignment h;
    TVerticalAlignment v;
    TRect r;
    int margin;
    TPoint at;
  } places[] = {
      {taCenter, vaMiddle, {0, 0, 20, 20}, 2, {5, 4}},  // 10 - 11 div 2, 10 - 13 div 2
      {taLeftJustify, vaTop, {10, 4, 50, 30}, 2, {12, 6}},
      {taRightJustify, vaBottom, {10, 4, 50, 30}, 2, {37, 15}},
      {taCenter, vaMiddle, {0, 0, 21, 9}, 0, {5, -2}},  // a box taller than the rectangle
  };
  for (const auto& p : places) {
    TPoint at;
    TCalcProvider::PlaceBox(11, 13, at, p.v, p.h, p.r, p.margin);
    EXPECT_EQ(at, p.at) << p.r.Left << "," << p.h;
  }
  EXPECT_TRUE(TCalcProvider::RectsIntersect({0, 0, 10, 10}, {10, 10, 20, 20})) << "touching";
  EXPECT_FALSE(TCalcProvider::RectsIntersect({0, 0, 10, 10}, {11, 0, 20, 10}));
  EXPECT_FALSE(TCalcProvider::RectsIntersect({0, 12, 10, 20}, {0, 0, 10, 11}));
  EXPECT_EQ(TCalcProvider::OffsetEdges({10, 10, 20, 20}, -1, 2, 3, -4), (TRect{9, 12, 23, 16}));
}

TEST(GraphicsProvider, GradientLinesProbed) {
  TPicture one(10, 5);
  TGraphicsProvider::FillVerticalGradient(&one.Canvas, {2, 1, 8, 2}, clRed, clBlue);
  // One line only, the right edge outside.
  EXPECT_EQ(Missing(one.Image, {{{2, 1, 8, 2}, clRed}, At(8, 1, clWhite), At(5, 2, clWhite)}), "");

  TPicture four(6, 6);
  TGraphicsProvider::FillVerticalGradient(&four.Canvas, {0, 1, 6, 5}, clBlack, clWhite);
  // The last line one step short of white.
  EXPECT_EQ(Missing(four.Image, {At(3, 1, clBlack), At(3, 2, RGB(64, 64, 64)), At(3, 3, RGB(128, 128, 128)),
                                 At(3, 4, RGB(191, 191, 191)), At(3, 5, clWhite)}),
            "");

  TPicture none(4, 4);
  TGraphicsProvider::FillVerticalGradient(&none.Canvas, {0, 2, 4, 2}, clBlack, clBlack);
  EXPECT_EQ(none.At(1, 2), clWhite);
}

TEST(GraphicsProvider, ButtonFaceAndClipProbed) {
  for (bool down : {false, true}) {
    TPicture p(12, 10);
    TGraphicsProvider::DrawButtonFace(&p.Canvas, {1, 1, 11, 9}, down);
    const TColor dark = down ? clWindowFrame : clBtnShadow, light = clBtnHighlight;
    // Light along the left and top, dark from the top-right to the bottom-left corner.
    EXPECT_EQ(Missing(p.Image, {At(1, 1, light), At(5, 1, light), At(1, 5, light), At(10, 1, dark), At(1, 8, dark),
                                At(10, 5, dark), At(5, 8, dark), At(5, 5, clBtnFace), At(11, 5, clWhite),
                                At(5, 9, clWhite)}),
              "")
        << down;
  }

  // The focus marks are seen on the grid's current cell.
  TPicture clipped(10, 10);
  TGraphicsProvider::ClipRect(&clipped.Canvas, {2, 2, 5, 5});
  clipped.Canvas.Brush.Color = clRed;
  clipped.Canvas.FillRect({0, 0, 10, 10});
  clipped.Canvas.ResetClipRect();
  EXPECT_EQ(Missing(clipped.Image, {{{2, 2, 5, 5}, clRed}, At(5, 5, clWhite), At(1, 1, clWhite)}), "");
}

TEST(GraphicsProvider, TextLeavesTheBackgroundAndASolidBrush) {
  const std::vector<std::function<void(TCanvas*)>> draws = {
      [](TCanvas* c) { TGraphicsProvider::DrawTextLine(c, {0, 0, 60, 20}, false, "Wide text", taCenter); },
      [](TCanvas* c) { TGraphicsProvider::DrawTextLine(c, {0, 0, 60, 20}, true, "x", taRightJustify); },
      [](TCanvas* c) {
        TGraphicsProvider::DrawTextBlock(c, {0, 0, 60, 20}, "two words", true, vaBottom, taLeftJustify);
      },
  };
  for (size_t i = 0; i < draws.size(); ++i) {
    TPicture p(60, 20);
    p.Canvas.Brush.Color = clRed;
    p.Canvas.Brush.Style = bsSolid;
    draws[i](&p.Canvas);
    EXPECT_EQ(qftest::CountPixels(p.Image, clRed), 0) << "case " << i << ": text drawn over a clear background";
    EXPECT_EQ(p.Canvas.Brush.Style, bsSolid) << i;
  }
}

TEST(DrawProvider, AlphaBitmapsBlendWithWhatLiesUnder) {
  TPicture p(8, 4);
  p.Canvas.Brush.Color = clBlack;
  p.Canvas.FillRect({0, 0, 4, 4});
  TBitmap glass(4, 2);
  glass.SetPixelFormat(pf32bit);
  const std::uint8_t pixels[4][4] = {{255, 255, 255, 255}, {255, 255, 255, 0}, {0, 0, 255, 128}, {10, 20, 30, 255}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) std::copy(pixels[x], pixels[x] + 4, glass.ScanLine(y) + 4 * x);
  TDrawProvider::DrawBitmap(&p.Canvas, 2, 1, glass);
  TBitmap plain(2, 1);
  plain.Canvas()->SetPixels(0, 0, clGreen);
  TDrawProvider::DrawBitmap(&p.Canvas, 0, 3, plain);
  // Opaque white over black, clear over black, half red over white, opaque; outside; a plain bitmap.
  EXPECT_EQ(Missing(p.Image, {At(2, 1, RGB(254, 254, 254)), At(3, 1, clBlack), At(4, 1, RGB(254, 126, 126)),
                              At(5, 2, RGB(29, 19, 9)), At(6, 1, clWhite), At(0, 3, clGreen)}),
            "");
}

TEST(Themes, UnavailableHereAndBoundEntriesAreUsedOnce) {
  EXPECT_FALSE(ThemesAvailable());
  TPicture p(4, 4);
  DrawThemed(nullptr, &p.Canvas, {0, 0, 4, 4}, "header", 1, 1);  // draws nothing, fails nothing
  EXPECT_EQ(p.At(1, 1), clWhite);
  {
    TThemeRecorder themes;
    EXPECT_TRUE(ThemesAvailable());
    DrawThemed(nullptr, &p.Canvas, {0, 0, 4, 4}, "button", 1, 3);
    EXPECT_EQ(themes.Calls, (std::vector<std::string>{"open button", "close"}));
    EXPECT_EQ(themes.At({1, 1}), std::vector<std::string>{"button 1/3"});
    ThemeLibrary().IsThemeActive = []() -> bool { throw std::runtime_error("gone"); };
    try {
      ThemesAvailable();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Error in Themes");
    }
  }
  EXPECT_FALSE(ThemesAvailable());
}

}  // namespace
