#include "GuiTestApp.h"
#include "TestSupport.h"
#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <ostream>

#include <set>
#include <utility>
#include <vector>

using qftest::AllPixels;
using qftest::CountPixels;
using qftest::FilledImage;
using qftest::PixelAt;

namespace {

// A picture where every pixel differs from its neighbours, for the
// "drawing twice restores it" checks.
QImage Pattern(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, ((x + y) * 11) & 0xFF));
  return img;
}

using Pixels = std::set<std::pair<int, int>>;

// The pixels of img that are not white.
Pixels Drawn(const QImage& img) {
  Pixels out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (PixelAt(img, x, y) != clWhite) out.insert({x, y});
  return out;
}

struct LineCase {
  const char* name;
  TPoint from, to;
  Pixels expected;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineToPixels : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineToPixels, DrawsUpToButNotIncludingTheEndPoint) {
  QImage img = FilledImage(12, 12, clWhite);
  TCanvas c(&img);
  c.Pen.Color = clRed;
  c.MoveTo(GetParam().from.X, GetParam().from.Y);
  c.LineTo(GetParam().to.X, GetParam().to.Y);
  EXPECT_EQ(Drawn(img), GetParam().expected);
  EXPECT_EQ(c.PenPos(), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineToPixels,
    ::testing::Values(LineCase{"right", {2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},
                      LineCase{"left", {6, 5}, {2, 5}, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}},
                      LineCase{"down", {4, 1}, {4, 4}, {{4, 1}, {4, 2}, {4, 3}}},
                      LineCase{"diagonal", {1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
                      LineCase{"one_step", {7, 7}, {8, 7}, {{7, 7}}}, LineCase{"zero_length", {3, 3}, {3, 3}, {}},
                      LineCase{"leaves_the_image", {9, 2}, {14, 2}, {{9, 2}, {10, 2}, {11, 2}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, PolylineDrawsJointsOnceAndLeavesOutTheLastPoint) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  c.Pen.Color = clRed;
  c.Polyline({{1, 1}, {4, 1}, {4, 4}});
  EXPECT_EQ(Drawn(img), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));

  // A closed outline under xor: the joints change once, so they differ from the background.
  QImage pat = Pattern(10, 10);
  const QImage before = pat;
  TCanvas x(&pat);
  x.Pen.Color = clWhite;
  x.Pen.Mode = pmXor;
  x.Polyline({{1, 1}, {6, 1}, {6, 6}, {1, 6}, {1, 1}});
  for (TPoint corner : {TPoint{1, 1}, TPoint{6, 1}, TPoint{6, 6}, TPoint{1, 6}})
    EXPECT_EQ(PixelAt(pat, corner.X, corner.Y), PixelAt(before, corner.X, corner.Y) ^ 0xFFFFFF)
        << corner.X << "," << corner.Y;
}

TEST(Canvas, RectangleOutlinesWithThePenAndFillsWithTheBrush) {
  for (bool swapped : {false, true}) {
    QImage img = FilledImage(10, 10, clWhite);
    TCanvas c(&img);
    c.Pen.Color = clRed;
    c.Brush.Color = clBlue;
    if (swapped)
      c.Rectangle(8, 7, 2, 3);
    else
      c.Rectangle(2, 3, 8, 7);
    SCOPED_TRACE(swapped ? "swapped corners" : "normal");
    EXPECT_TRUE(AllPixels(img, {2, 3, 8, 4}, clRed));  // top row
    EXPECT_TRUE(AllPixels(img, {2, 6, 8, 7}, clRed));  // bottom row
    EXPECT_TRUE(AllPixels(img, {2, 3, 3, 7}, clRed));  // left column
    EXPECT_TRUE(AllPixels(img, {7, 3, 8, 7}, clRed));  // right column
    EXPECT_TRUE(AllPixels(img, {3, 4, 7, 6}, clBlue));
    EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clWhite), 100 - 24);
  }
}

TEST(Canvas, RectangleWithoutPenFillsOnePixelShortAtRightAndBottom) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  c.Pen.Style = psClear;
  c.Brush.Color = clBlue;
  c.Rectangle(2, 3, 8, 7);
  EXPECT_TRUE(AllPixels(img, {2, 3, 7, 6}, clBlue));
  EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clBlue), 5 * 3);
}

TEST(Canvas, RectangleWithWidePenDrawsInside) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  c.Pen.Color = clRed;
  c.Pen.Width = 2;
  c.Brush.Style = bsClear;
  c.Rectangle(1, 1, 9, 9);
  EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clRed), 8 * 8 - 4 * 4);
  EXPECT_TRUE(AllPixels(img, {3, 3, 7, 7}, clWhite));
  EXPECT_TRUE(AllPixels(img, {0, 0, 10, 1}, clWhite));
}

struct FrameCase {
  const char* name;
  TRect r;
  int count;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class FrameRectPixels : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameRectPixels, CoversTheOutermostPixelsOnly) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  c.Brush.Color = clGreen;
  c.FrameRect(GetParam().r);
  EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clGreen), GetParam().count);
  const TRect r = GetParam().r;
  if (GetParam().count > 0) {
    EXPECT_EQ(PixelAt(img, r.Left, r.Top), clGreen);
    EXPECT_EQ(PixelAt(img, r.Right - 1, r.Bottom - 1), clGreen);
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameRectPixels,
                         ::testing::Values(FrameCase{"box", {2, 3, 8, 7}, 16}, FrameCase{"one_column", {5, 2, 6, 6}, 4},
                                           FrameCase{"one_row", {1, 1, 5, 2}, 4}, FrameCase{"single", {4, 4, 5, 5}, 1},
                                           FrameCase{"two_by_two", {4, 4, 6, 6}, 4},
                                           FrameCase{"empty", {5, 5, 5, 9}, 0}, FrameCase{"inverted", {6, 6, 2, 2}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, FillAndFrameDoNothingWithAClearBrush) {
  QImage img = FilledImage(6, 6, clWhite);
  TCanvas c(&img);
  c.Brush = TBrush{clRed, bsClear};
  c.FillRect({0, 0, 6, 6});
  c.FrameRect({0, 0, 6, 6});
  EXPECT_TRUE(AllPixels(img, {0, 0, 6, 6}, clWhite));
  c.Brush.Style = bsSolid;
  c.FillRect({0, 0, 3, 2});
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 6}, clRed), 6);
  c.FillRect({5, 5, 2, 2});  // inverted: nothing
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 6}, clRed), 6);
}

// Drawing each of these twice must leave the picture as it was, while one
// drawing changes it.
struct TwiceCase {
  const char* name;
  void (*draw)(TCanvas&);
};

void PrintTo(const TwiceCase& c, std::ostream* os) { *os << c.name; }

class DrawTwice : public ::testing::TestWithParam<TwiceCase> {};

TEST_P(DrawTwice, RestoresThePicture) {
  QImage img = Pattern(16, 16);
  const QImage before = img;
  TCanvas c(&img);
  GetParam().draw(c);
  EXPECT_NE(img, before);
  GetParam().draw(c);
  EXPECT_EQ(img, before);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DrawTwice,
    ::testing::Values(TwiceCase{"xor_line",
                                [](TCanvas& c) {
                                  c.Pen = TPen{clRed, 1, psSolid, pmXor};
                                  c.MoveTo(1, 2);
                                  c.LineTo(14, 11);
                                }},
                      TwiceCase{"not_line",
                                [](TCanvas& c) {
                                  c.Pen = TPen{clBlack, 1, psSolid, pmNot};
                                  c.MoveTo(0, 15);
                                  c.LineTo(15, 0);
                                }},
                      TwiceCase{"xor_rectangle",
                                [](TCanvas& c) {
                                  c.Pen = TPen{clLime, 1, psSolid, pmXor};
                                  c.Brush = TBrush{clWhite, bsClear};
                                  c.Rectangle(2, 2, 12, 9);
                                }},
                      TwiceCase{"focus_rect", [](TCanvas& c) { c.DrawFocusRect({1, 1, 15, 10}); }},
                      TwiceCase{"xor_clipped_line",
                                [](TCanvas& c) {
                                  c.SetClipRect({4, 0, 9, 16});
                                  c.Pen = TPen{clBlue, 1, psSolid, pmXor};
                                  c.MoveTo(0, 8);
                                  c.LineTo(16, 8);
                                  c.ResetClipRect();
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, FocusRectIsDotted) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  c.DrawFocusRect({0, 0, 10, 4});
  // Every other pixel of the frame is inverted to black, the inside is untouched.
  EXPECT_EQ(PixelAt(img, 0, 0), clBlack);
  EXPECT_EQ(PixelAt(img, 1, 0), clWhite);
  EXPECT_EQ(PixelAt(img, 2, 0), clBlack);
  EXPECT_EQ(PixelAt(img, 9, 1), clBlack);
  EXPECT_TRUE(AllPixels(img, {1, 1, 9, 3}, clWhite));
  EXPECT_EQ(CountPixels(img, {0, 0, 10, 10}, clBlack), 12);
}

TEST(Canvas, ClipRectLimitsEveryKindOfDrawing) {
  QImage img = FilledImage(20, 20, clWhite);
  TCanvas c(&img);
  EXPECT_FALSE(c.HasClipRect());
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 20, 20}));
  c.SetClipRect({5, 5, 10, 10});
  EXPECT_TRUE(c.HasClipRect());
  EXPECT_EQ(c.ClipRect(), (TRect{5, 5, 10, 10}));
  c.Brush.Color = clRed;
  c.FillRect({0, 0, 20, 20});
  c.Pen.Color = clBlue;
  c.MoveTo(0, 12);
  c.LineTo(20, 12);  // below the clip: nothing
  c.Ellipse(0, 0, 20, 20);
  c.Font.SetHeight(-16);
  TRect r{0, 0, 20, 20};
  c.DrawText("WWWW", r, DT_LEFT);
  EXPECT_EQ(CountPixels(img, {0, 0, 20, 20}, clWhite), 400 - 25);
  EXPECT_EQ(c.Pixels(4, 4), -1);
  EXPECT_NE(c.Pixels(5, 5), -1);

  c.ResetClipRect();
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 20, 20}));
  EXPECT_EQ(c.Pixels(4, 4), clWhite);
  EXPECT_EQ(c.Pixels(20, 0), -1);
  EXPECT_EQ(c.Pixels(-1, 0), -1);

  // An empty clip lets nothing through; one reaching past the image is cut to it.
  c.SetClipRect({3, 3, 3, 8});
  c.FillRect({0, 0, 20, 20});
  EXPECT_EQ(CountPixels(img, {0, 0, 20, 20}, clWhite), 400 - 25);
  c.SetClipRect({15, 15, 40, 40});
  c.Brush.Color = clLime;
  c.FillRect({0, 0, 40, 40});
  EXPECT_EQ(CountPixels(img, {0, 0, 20, 20}, clLime), 25);
}

TEST(Canvas, EllipseStaysInsideItsRectangleAndTouchesEverySide) {
  QImage img = FilledImage(16, 12, clWhite);
  TCanvas c(&img);
  c.Pen.Color = clRed;
  c.Brush.Color = clBlue;
  c.Ellipse(2, 2, 14, 9);
  const Pixels drawn = Drawn(img);
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (auto [x, y] : drawn) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  EXPECT_EQ(minX, 2);
  EXPECT_EQ(maxX, 13);
  EXPECT_EQ(minY, 2);
  EXPECT_EQ(maxY, 8);
  EXPECT_EQ(PixelAt(img, 8, 5), clBlue);
}

TEST(Canvas, PolygonFillsInsideItsOutline) {
  QImage img = FilledImage(12, 12, clWhite);
  TCanvas c(&img);
  c.Pen.Color = clRed;
  c.Brush.Color = clBlue;
  c.Polygon({{1, 1}, {10, 1}, {10, 10}, {1, 10}});
  EXPECT_EQ(PixelAt(img, 1, 1), clRed);
  EXPECT_EQ(PixelAt(img, 10, 10), clRed);
  EXPECT_EQ(PixelAt(img, 5, 5), clBlue);
  EXPECT_EQ(PixelAt(img, 0, 0), clWhite);
  EXPECT_EQ(PixelAt(img, 11, 11), clWhite);
}

struct EdgeCase {
  const char* name;
  unsigned edge;
  TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
};

void PrintTo(const EdgeCase& c, std::ostream* os) { *os << c.name; }

class Edges : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(Edges, DrawTwoBordersInTheClassicColours) {
  QImage img = FilledImage(10, 10, clWhite);
  TCanvas c(&img);
  TRect r{0, 0, 10, 10};
  EXPECT_TRUE(c.DrawEdge(r, GetParam().edge, BF_RECT | BF_ADJUST | BF_MIDDLE));
  EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
  const EdgeCase& e = GetParam();
  EXPECT_EQ(PixelAt(img, 0, 0), ColorToRGB(e.outerTopLeft));
  EXPECT_EQ(PixelAt(img, 0, 5), ColorToRGB(e.outerTopLeft));
  EXPECT_EQ(PixelAt(img, 9, 9), ColorToRGB(e.outerBottomRight));
  // The bottom-right border takes the top-right and bottom-left corners.
  EXPECT_EQ(PixelAt(img, 9, 0), ColorToRGB(e.outerBottomRight));
  EXPECT_EQ(PixelAt(img, 0, 9), ColorToRGB(e.outerBottomRight));
  EXPECT_EQ(PixelAt(img, 1, 1), ColorToRGB(e.innerTopLeft));
  EXPECT_EQ(PixelAt(img, 8, 8), ColorToRGB(e.innerBottomRight));
  EXPECT_TRUE(AllPixels(img, r, clBtnFace));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Edges,
    ::testing::Values(EdgeCase{"raised", EDGE_RAISED, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
                      EdgeCase{"sunken", EDGE_SUNKEN, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
                      EdgeCase{"etched", EDGE_ETCHED, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, EdgeOnSomeSidesOnlyAndWithoutAdjust) {
  QImage img = FilledImage(8, 8, clWhite);
  TCanvas c(&img);
  TRect r{0, 0, 8, 8};
  c.DrawEdge(r, BDR_RAISEDINNER, BF_BOTTOM);
  EXPECT_EQ(r, (TRect{0, 0, 8, 8}));
  EXPECT_TRUE(AllPixels(img, {0, 7, 8, 8}, clBtnShadow));
  EXPECT_EQ(CountPixels(img, {0, 0, 8, 8}, clWhite), 56);
}

TEST(Canvas, FrameControls) {
  // Check box 13 x 13: sunken edge, window-coloured inside, the 21-pixel mark when checked.
  QImage img = FilledImage(13, 13, clWhite);
  TCanvas c(&img);
  const TRect box{0, 0, 13, 13};
  EXPECT_TRUE(c.DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK));
  EXPECT_TRUE(AllPixels(img, {2, 2, 11, 11}, clWindow));
  EXPECT_EQ(PixelAt(img, 0, 0), ColorToRGB(clBtnShadow));
  c.DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  EXPECT_EQ(CountPixels(img, {2, 2, 11, 11}, clWindowText), 21);
  c.DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
  EXPECT_EQ(CountPixels(img, {2, 2, 11, 11}, clGrayText), 21);
  EXPECT_EQ(CountPixels(img, {2, 2, 11, 11}, clBtnFace), 81 - 21);
  // Flat: a one-pixel frame, more room inside.
  c.DrawFrameControl(box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
  EXPECT_TRUE(AllPixels(img, {1, 1, 12, 12}, clWindow));

  // Combo arrow: button face with a 7-5-3-1 triangle.
  QImage arrow = FilledImage(17, 17, clWhite);
  TCanvas a(&arrow);
  EXPECT_TRUE(a.DrawFrameControl({0, 0, 17, 17}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX));
  EXPECT_EQ(CountPixels(arrow, {0, 0, 17, 17}, clBtnText), 16);
  a.DrawFrameControl({0, 0, 17, 17}, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE);
  EXPECT_EQ(CountPixels(arrow, {2, 2, 15, 15}, clGrayText), 16);

  // Push button and menu check.
  QImage button = FilledImage(20, 10, clWhite);
  TCanvas b(&button);
  EXPECT_TRUE(b.DrawFrameControl({0, 0, 20, 10}, DFC_BUTTON, DFCS_BUTTONPUSH));
  EXPECT_TRUE(AllPixels(button, {2, 2, 18, 8}, clBtnFace));
  EXPECT_TRUE(b.DrawFrameControl({0, 0, 9, 9}, DFC_MENU, DFCS_MENUCHECK));
  EXPECT_EQ(CountPixels(button, {0, 0, 9, 9}, clBlack), 21);
  EXPECT_FALSE(b.DrawFrameControl({0, 0, 9, 9}, 77, 0));
}

TEST(Canvas, TextOutFillsItsBoxWithTheBrushAndMovesThePen) {
  QImage img = FilledImage(80, 30, clWhite);
  TCanvas c(&img);
  c.Brush.Color = clYellow;
  c.Font.SetColor(clBlack);
  const TSize size = c.TextExtent("Hello");
  ASSERT_GT(size.cx, 0);
  ASSERT_GT(size.cy, 0);
  c.TextOut(3, 4, "Hello");
  const TRect box = Bounds(3, 4, size.cx, size.cy);
  const int yellow = CountPixels(img, box, clYellow), black = CountPixels(img, box, clBlack);
  EXPECT_EQ(yellow + black, size.cx * size.cy);  // nothing but background and text
  EXPECT_GT(black, 0);
  EXPECT_EQ(CountPixels(img, {0, 0, 80, 30}, clWhite), 80 * 30 - size.cx * size.cy);
  EXPECT_EQ(c.PenPos(), (TPoint{3 + size.cx, 4}));
}

TEST(Canvas, WithoutImageMeasuresAndDrawsNothing) {
  TCanvas c;
  EXPECT_GT(c.TextWidth("abc"), 0);
  EXPECT_EQ(c.TextWidth(""), 0);
  c.FillRect({0, 0, 10, 10});
  c.LineTo(5, 5);
  EXPECT_EQ(c.Pixels(0, 0), -1);
  EXPECT_EQ(c.ClipRect(), TRect{});
}

TEST(Fonts, HeightSizeAndChangeNotice) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Size(), 8);
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  f.SetHeight(-13);  // same value: no notice
  f.SetStyle(fsBold);
  EXPECT_EQ(changes, 2);
  TFont g;
  g.SetColor(clRed);
  f = g;  // takes the values, keeps its own handler
  EXPECT_EQ(changes, 3);
  EXPECT_TRUE(f.SameAs(g));
  f = g;
  EXPECT_EQ(changes, 3);

  // A bigger height gives taller text; bold is wider.
  TCanvas c;
  c.Font.SetHeight(-11);
  const int h11 = c.TextHeight("X"), w11 = c.TextWidth("WWWW");
  c.Font.SetHeight(-20);
  EXPECT_GT(c.TextHeight("X"), h11);
  c.Font.SetHeight(-11);
  c.Font.SetStyle(fsBold);
  EXPECT_GT(c.TextWidth("WWWW"), w11);
  // A positive height is the cell height.
  c.Font.SetStyle(0);
  c.Font.SetHeight(20);
  EXPECT_NEAR(c.TextHeight("X"), 20, 1);
}

// ---------------------------------------------------------------- bitmaps

TEST(Bitmaps, TransparentDrawLeavesOutTheBottomLeftColour) {
  TBitmap bmp(3, 2);
  TCanvas* bc = bmp.Canvas();
  bc->Brush.Color = clRed;
  bc->FillRect({0, 0, 3, 2});
  bc->SetPixels(0, 1, clLime);  // bottom-left: the transparent colour
  bc->SetPixels(2, 0, clLime);
  EXPECT_EQ(bmp.EffectiveTransparentColor(), clLime);

  QImage img = FilledImage(6, 4, clWhite);
  TCanvas c(&img);
  c.Draw(1, 1, bmp);
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 4}, clLime), 2);
  img = FilledImage(6, 4, clWhite);
  bmp.SetTransparent(true);
  c.Draw(1, 1, bmp);
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 4}, clLime), 0);
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 4}, clRed), 4);
  EXPECT_EQ(PixelAt(img, 1, 2), clWhite);
  // An explicit transparent colour wins over the corner pixel.
  bmp.SetTransparentColor(clRed);
  c.Draw(1, 1, bmp);
  EXPECT_EQ(CountPixels(img, {0, 0, 6, 4}, clLime), 2);
}

TEST(Bitmaps, StretchDrawScalesAndDrawIsClipped) {
  TBitmap bmp(2, 2);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  bmp.Canvas()->SetPixels(1, 0, clBlue);
  bmp.Canvas()->SetPixels(0, 1, clLime);
  bmp.Canvas()->SetPixels(1, 1, clBlack);
  QImage img = FilledImage(8, 8, clWhite);
  TCanvas c(&img);
  c.StretchDraw({2, 2, 6, 6}, bmp);
  EXPECT_TRUE(AllPixels(img, {2, 2, 4, 4}, clRed));
  EXPECT_TRUE(AllPixels(img, {4, 2, 6, 4}, clBlue));
  EXPECT_TRUE(AllPixels(img, {2, 4, 4, 6}, clLime));
  EXPECT_TRUE(AllPixels(img, {4, 4, 6, 6}, clBlack));
  EXPECT_EQ(CountPixels(img, {0, 0, 8, 8}, clWhite), 64 - 16);

  img = FilledImage(8, 8, clWhite);
  c.SetClipRect({0, 0, 8, 7});
  c.Draw(6, 6, bmp);  // partly outside the image and the clip
  EXPECT_EQ(PixelAt(img, 6, 6), clRed);
  EXPECT_EQ(PixelAt(img, 7, 6), clBlue);
  EXPECT_EQ(PixelAt(img, 6, 7), clWhite);
  c.Draw(-1, -1, bmp);
  EXPECT_EQ(PixelAt(img, 0, 0), clBlack);
}

TEST(Bitmaps, ScanLineBytesAndSizeChanges) {
  TBitmap bmp(4, 3);
  bmp.Canvas()->SetPixels(1, 2, RGB(1, 2, 3));
  const std::uint8_t* line = bmp.ScanLine(2);
  EXPECT_EQ(line[4], 3);  // blue
  EXPECT_EQ(line[5], 2);  // green
  EXPECT_EQ(line[6], 1);  // red
  EXPECT_EQ(line[7], 255);
  EXPECT_THROW(bmp.ScanLine(3), EListError);
  EXPECT_THROW(bmp.ScanLine(-1), EListError);

  bmp.SetSize(6, 2);  // keeps what fits, new pixels white
  EXPECT_EQ(bmp.Width(), 6);
  EXPECT_EQ(bmp.Canvas()->Pixels(5, 1), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), -1);
  bmp.Canvas()->SetPixels(5, 1, clRed);
  EXPECT_EQ(bmp.Canvas()->Pixels(5, 1), clRed);
  bmp.SetSize(-3, 0);
  EXPECT_TRUE(bmp.Empty());
}

TEST(Bitmaps, FilesRoundTripAndMissingFilesRaise) {
  qftest::TempDir dir;
  TBitmap bmp(3, 3);
  bmp.Canvas()->SetPixels(2, 1, clNavy);
  bmp.SaveToFile(dir.File("b.png"));
  TBitmap back;
  back.LoadFromFile(dir.File("b.png"));
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.Canvas()->Pixels(2, 1), clNavy);
  EXPECT_THROW(back.LoadFromFile(dir.File("missing.png")), EFOpenError);
  qftest::WriteFile(dir.File("bad.png"), "not a picture");
  EXPECT_THROW(back.LoadFromFile(dir.File("bad.png")), EFOpenError);
  EXPECT_THROW(bmp.SaveToFile(dir.File("no/such/folder/b.png")), EFCreateError);
}

TEST(Bitmaps, CopyRectScales) {
  QImage src = FilledImage(4, 4, clRed);
  TCanvas s(&src);
  s.SetPixels(3, 3, clBlue);
  QImage dst = FilledImage(10, 10, clWhite);
  TCanvas d(&dst);
  d.CopyRect({0, 0, 2, 2}, s, {2, 2, 4, 4});
  EXPECT_EQ(PixelAt(dst, 0, 0), clRed);
  EXPECT_EQ(PixelAt(dst, 1, 1), clBlue);
  d.CopyRect({4, 4, 8, 8}, s, {3, 3, 4, 4});
  EXPECT_TRUE(AllPixels(dst, {4, 4, 8, 8}, clBlue));
}

TEST(ImageLists, SplitDrawAndBadIndexes) {
  TBitmap strip(32, 16);
  strip.Canvas()->Brush.Color = clRed;
  strip.Canvas()->FillRect({0, 0, 16, 16});
  strip.Canvas()->Brush.Color = clLime;
  strip.Canvas()->FillRect({16, 0, 32, 16});
  strip.Canvas()->SetPixels(20, 5, clFuchsia);
  TImageList list(16, 16);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);

  QImage img = FilledImage(20, 20, clWhite);
  TCanvas c(&img);
  list.Draw(&c, 2, 2, 1);
  EXPECT_EQ(PixelAt(img, 2, 2), clLime);
  EXPECT_EQ(PixelAt(img, 6, 7), clWhite);  // the masked pixel
  EXPECT_EQ(CountPixels(img, {0, 0, 20, 20}, clLime), 255);

  img = FilledImage(20, 20, clWhite);
  list.Draw(&c, 0, 0, 2);
  list.Draw(&c, 0, 0, -1);
  list.Draw(nullptr, 0, 0, 0);
  EXPECT_TRUE(AllPixels(img, {0, 0, 20, 20}, clWhite));

  list.Draw(&c, 0, 0, 0, false);  // disabled: greyed
  EXPECT_TRUE(AllPixels(img, {0, 0, 16, 16}, clBtnShadow));

  TBitmap one;
  EXPECT_TRUE(list.GetBitmap(1, one));
  EXPECT_EQ(one.Width(), 16);
  EXPECT_EQ(one.Canvas()->Pixels(0, 0), clLime);
  EXPECT_FALSE(list.GetBitmap(5, one));
  list.Delete(0);
  list.Delete(9);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
