#include "GuiTestApp.h"
#include "core/Exception.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace qftest;

namespace {

using Pixels = std::set<std::pair<int, int>>;
using Draw = std::function<void(TCanvas&)>;

/** An image with a canvas on it. */
struct Pic {
  explicit Pic(int w, int h) : Img(FilledImage(w, h, clWhite)) {}
  QImage Img;
  TCanvas C{&Img};
  int Count(TColor c) const { return CountPixels(Img, c); }
  TColor Pixel(int x, int y) const { return PixelAt(Img, x, y); }
  void Clear() { Img = FilledImage(Img.width(), Img.height(), clWhite); }
  Pixels Drawn() const {  // the pixels that are not white
    Pixels out;
    for (int y = 0; y < Img.height(); ++y)
      for (int x = 0; x < Img.width(); ++x)
        if (Pixel(x, y) != clWhite) out.insert({x, y});
    return out;
  }
  std::string Missing(const std::vector<TSpot>& spots) const { return qftest::Missing(Img, spots); }
};

TEST(Canvas, LinesLeaveOutTheirEndPixel) {
  const struct { TPoint from, to; Pixels drawn; } cases[] = {
      {{2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}}, {{6, 5}, {2, 5}, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}},
      {{4, 1}, {4, 4}, {{4, 1}, {4, 2}, {4, 3}}},         {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      {{3, 3}, {3, 3}, {}},                               {{9, 2}, {14, 2}, {{9, 2}, {10, 2}, {11, 2}}}};
  for (const auto& c : cases) {
    Pic p(12, 12);
    p.C.MoveTo(c.from.X, c.from.Y);
    p.C.LineTo(c.to.X, c.to.Y);
    EXPECT_EQ(p.Drawn(), c.drawn) << "to " << c.to.X << "," << c.to.Y;
    EXPECT_EQ(p.C.PenPos(), c.to);
  }
  Pic p(10, 10);
  p.C.Polyline({{1, 1}, {4, 1}, {4, 4}});
  EXPECT_EQ(p.Drawn(), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
}

TEST(Canvas, RectanglesCoverExactlyTheClassicPixels) {
  // Pen red, brush blue; `ring` lies wholly in ringColour, `inside` wholly in insideColour, and
  // `drawn` pixels are not white: right and bottom edges stay outside.
  const struct {
    const char* name;
    Draw draw;
    TRect ring;
    TColor ringColour;
    TRect inside;
    TColor insideColour;
    int drawn;
  } cases[] = {
      {"rectangle", [](TCanvas& c) { c.Rectangle(2, 3, 8, 7); }, {2, 3, 8, 7}, clRed, {3, 4, 7, 6}, clBlue, 24},
      {"swapped_corners", [](TCanvas& c) { c.Rectangle(8, 7, 2, 3); }, {2, 3, 8, 7}, clRed, {3, 4, 7, 6}, clBlue, 24},
      {"no_pen_one_short", [](TCanvas& c) { c.Pen.Style = psClear; c.Rectangle(2, 3, 8, 7); }, {}, clRed,
       {2, 3, 7, 6}, clBlue, 15},
      {"wide_pen_inside", [](TCanvas& c) { c.Pen.Width = 2; c.Brush.Style = bsClear; c.Rectangle(1, 1, 9, 9); },
       {1, 1, 9, 9}, clRed, {3, 3, 7, 7}, clWhite, 8 * 8 - 4 * 4},
      {"frame", [](TCanvas& c) { c.FrameRect({2, 3, 8, 7}); }, {2, 3, 8, 7}, clBlue, {}, clBlue, 16},
      {"frame_one_column", [](TCanvas& c) { c.FrameRect({5, 2, 6, 6}); }, {5, 2, 6, 6}, clBlue, {}, clBlue, 4},
      {"frame_single", [](TCanvas& c) { c.FrameRect({4, 4, 5, 5}); }, {4, 4, 5, 5}, clBlue, {}, clBlue, 1},
      {"frame_empty", [](TCanvas& c) { c.FrameRect({5, 5, 5, 9}); }, {}, clBlue, {}, clBlue, 0},
      {"frame_inverted", [](TCanvas& c) { c.FrameRect({6, 6, 2, 2}); }, {}, clBlue, {}, clBlue, 0},
      {"fill", [](TCanvas& c) { c.FillRect({0, 0, 3, 2}); }, {}, clBlue, {0, 0, 3, 2}, clBlue, 6},
      {"fill_inverted", [](TCanvas& c) { c.FillRect({5, 5, 2, 2}); }, {}, clBlue, {}, clBlue, 0},
      {"clear_brush", [](TCanvas& c) { c.Brush.Style = bsClear; c.FillRect({0, 0, 9, 9}); c.FrameRect({0, 0, 9, 9}); },
       {}, clBlue, {}, clBlue, 0},
  };
  for (const auto& c : cases) {
    Pic p(10, 10);
    p.C.Pen.Color = clRed;
    p.C.Brush.Color = clBlue;
    c.draw(p.C);
    EXPECT_EQ(p.Drawn().size(), static_cast<size_t>(c.drawn)) << c.name;
    EXPECT_TRUE(Ring(p.Img, c.ring, c.ringColour)) << c.name;
    EXPECT_TRUE(AllPixels(p.Img, c.inside, c.insideColour)) << c.name;
  }
}

TEST(Canvas, XorNotAndFocusDrawnTwiceRestoreThePicture) {
  const std::pair<const char*, Draw> cases[] = {
      {"xor_line", [](TCanvas& c) { c.Pen = TPen{clRed, 1, psSolid, pmXor}; c.MoveTo(1, 2); c.LineTo(14, 11); }},
      {"not_line", [](TCanvas& c) { c.Pen = TPen{clBlack, 1, psSolid, pmNot}; c.MoveTo(0, 15); c.LineTo(15, 0); }},
      {"xor_rect", [](TCanvas& c) { c.Pen = TPen{clLime, 1, psSolid, pmXor}; c.Brush.Style = bsClear;
                                    c.Rectangle(2, 2, 12, 9); }},
      {"focus_rect", [](TCanvas& c) { c.DrawFocusRect({1, 1, 15, 10}); }},
      {"xor_clipped_line", [](TCanvas& c) { c.SetClipRect({4, 0, 9, 16}); c.Pen = TPen{clBlue, 1, psSolid, pmXor};
                                            c.MoveTo(0, 8); c.LineTo(16, 8); c.ResetClipRect(); }}};
  for (const auto& [name, draw] : cases) {
    QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);  // every pixel differs from its neighbours
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) img.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 53) & 0xFF, ((x + y) * 11) & 0xFF));
    const QImage before = img;
    TCanvas canvas(&img);
    draw(canvas);
    EXPECT_NE(img, before) << name;
    draw(canvas);
    EXPECT_EQ(img, before) << name;
  }
  Pic p(10, 10);  // the focus frame inverts every other pixel of the frame only
  p.C.DrawFocusRect({0, 0, 10, 4});
  EXPECT_EQ(p.Missing({At(0, 0, clBlack), At(1, 0, clWhite), At(9, 1, clBlack), {{1, 1, 9, 3}, clWhite},
                       {{0, 0, 10, 10}, clBlack, 12}}),
            "");
}

TEST(Canvas, ClipRectLimitsEveryKindOfDrawing) {
  Pic p(20, 20);
  TCanvas& c = p.C;
  c.SetClipRect({5, 5, 10, 10});
  EXPECT_EQ(c.ClipRect(), (TRect{5, 5, 10, 10}));
  c.Brush.Color = clRed;
  c.Pen.Color = clBlue;
  c.Font.SetHeight(-16);
  auto drawAll = [&] {
    c.FillRect({0, 0, 20, 20});
    c.MoveTo(0, 12);
    c.LineTo(20, 12);  // below the clip
    c.Ellipse(0, 0, 20, 20);
    TRect r{0, 0, 20, 20};
    c.DrawText("WWWW", r, DT_LEFT);
  };
  drawAll();
  EXPECT_EQ(p.Count(clWhite), 400 - 25);
  EXPECT_EQ(c.Pixels(4, 4), -1);
  EXPECT_NE(c.Pixels(5, 5), -1);

  c.ResetClipRect();
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 20, 20}));
  EXPECT_EQ(c.Pixels(4, 4), clWhite);
  EXPECT_EQ(c.Pixels(20, 0), -1);
  c.SetClipRect({3, 3, 3, 8});  // empty: nothing gets through
  drawAll();
  EXPECT_EQ(p.Count(clWhite), 400 - 25);
  c.SetClipRect({15, 15, 40, 40});  // past the image: cut to it
  c.Brush.Color = clLime;
  c.FillRect({0, 0, 40, 40});
  EXPECT_EQ(p.Count(clLime), 25);
}

TEST(Canvas, EllipseAndPolygonStayWithinTheirPoints) {
  const std::pair<Draw, TRect> cases[] = {
      {[](TCanvas& c) { c.Ellipse(2, 2, 14, 9); }, {2, 2, 14, 9}},
      {[](TCanvas& c) { c.Polygon({{1, 1}, {10, 1}, {10, 10}, {1, 10}}); }, {1, 1, 11, 11}}};
  for (const auto& [draw, box] : cases) {
    Pic p(16, 12);
    p.C.Pen.Color = clRed;
    p.C.Brush.Color = clBlue;
    draw(p.C);
    TRect got{99, 99, -1, -1};
    for (auto [x, y] : p.Drawn())
      got = {std::min(got.Left, x), std::min(got.Top, y), std::max(got.Right, x + 1), std::max(got.Bottom, y + 1)};
    EXPECT_EQ(got, box) << box.Right;
    EXPECT_EQ(p.Pixel(box.CenterPoint().X, box.CenterPoint().Y), clBlue) << box.Right;
  }
}

TEST(Canvas, EdgesAndFrameControlsInTheClassicColours) {
  const std::tuple<unsigned, TColor, TColor, TColor, TColor> edges[] = {
      {EDGE_RAISED, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
      {EDGE_SUNKEN, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
      {EDGE_ETCHED, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow}};
  for (const auto& [edge, outerTL, outerBR, innerTL, innerBR] : edges) {
    SCOPED_TRACE(edge);
    Pic p(10, 10);
    TRect r{0, 0, 10, 10};
    EXPECT_TRUE(p.C.DrawEdge(r, edge, BF_RECT | BF_ADJUST | BF_MIDDLE));
    EXPECT_EQ(r, (TRect{2, 2, 8, 8}));
    // The bottom-right border takes the top-right and bottom-left corners.
    EXPECT_EQ(p.Missing({At(0, 5, outerTL), At(9, 0, outerBR), At(0, 9, outerBR), At(1, 1, innerTL),
                         At(8, 8, innerBR), {r, clBtnFace}}),
              "");
  }
  Pic p(8, 8);  // one side, no adjust
  TRect r{0, 0, 8, 8};
  p.C.DrawEdge(r, BDR_RAISEDINNER, BF_BOTTOM);
  EXPECT_EQ(r, (TRect{0, 0, 8, 8}));
  EXPECT_EQ(p.Drawn().size(), 8u);

  // Drawn control, its area, a colour and how many pixels of it the area holds.
  const std::tuple<unsigned, unsigned, TRect, TColor, int> controls[] = {
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, {2, 2, 11, 11}, clWindowText, 21},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, {2, 2, 11, 11}, clGrayText, 21},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, {2, 2, 11, 11}, clBtnFace, 81 - 21},
      {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT, {1, 1, 12, 12}, clWindow, 121},
      {DFC_BUTTON, DFCS_BUTTONPUSH, {2, 2, 11, 11}, clBtnFace, 81},
      {DFC_MENU, DFCS_MENUCHECK, {0, 0, 13, 13}, clBlack, 21},
      {DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE, {2, 2, 11, 11}, clGrayText, 16}};
  for (const auto& [kind, state, area, colour, count] : controls) {
    QImage img = FilledImage(13, 13, clFuchsia);
    TCanvas c(&img);
    EXPECT_TRUE(c.DrawFrameControl({0, 0, 13, 13}, kind, state));
    EXPECT_EQ(CountPixels(img, area, colour), count) << kind << " " << state;
  }
  EXPECT_FALSE(p.C.DrawFrameControl({0, 0, 9, 9}, 77, 0));
}

TEST(Canvas, TextOutFillsItsBoxAndMovesThePen) {
  Pic p(80, 30);
  p.C.Brush.Color = clYellow;
  p.C.Font.SetColor(clBlack);
  const TSize size = p.C.TextExtent("Hello");
  p.C.TextOut(3, 4, "Hello");
  const TRect box = Bounds(3, 4, size.cx, size.cy);
  EXPECT_GT(CountPixels(p.Img, box, clBlack), 0);
  EXPECT_EQ(CountPixels(p.Img, box, clYellow) + CountPixels(p.Img, clBlack), size.cx * size.cy);
  EXPECT_EQ(p.Count(clWhite), 80 * 30 - size.cx * size.cy);
  EXPECT_EQ(p.C.PenPos(), (TPoint{3 + size.cx, 4}));
  TCanvas none;  // without an image: measures, draws nothing
  EXPECT_GT(none.TextWidth("abc"), 0);
  none.FillRect({0, 0, 10, 10});
  EXPECT_EQ(none.Pixels(0, 0), -1);
}

TEST(Fonts, HeightSizeAndChangeNotice) {
  TFont f;
  int changes = 0;
  f.OnChange = [&] { ++changes; };
  f.SetSize(10);
  EXPECT_EQ(f.Height(), -13);
  f.SetHeight(-13);  // same value: no notice
  TFont g;
  g.SetStyle(fsBold);
  f = g;  // takes the values, keeps its own handler
  f = g;
  EXPECT_EQ(changes, 2);
  TCanvas c;  // wider in bold; a positive height is the cell height
  const int plain = c.TextWidth("WWWW");
  c.Font = f;
  EXPECT_GT(c.TextWidth("WWWW"), plain);
  c.Font.SetHeight(20);
  EXPECT_NEAR(c.TextHeight("X"), 20, 1);
}

TEST(Bitmaps, DrawTransparentStretchedClippedAndCopied) {
  TBitmap bmp(3, 2);
  bmp.Canvas()->Brush.Color = clRed;
  bmp.Canvas()->FillRect({0, 0, 3, 2});
  bmp.Canvas()->SetPixels(0, 1, clLime);  // bottom-left: the transparent colour
  bmp.Canvas()->SetPixels(2, 0, clLime);
  Pic p(6, 4);
  p.C.Draw(1, 1, bmp);
  EXPECT_EQ(p.Drawn().size(), 6u);
  p.Clear();
  bmp.SetTransparent(true);
  p.C.Draw(1, 1, bmp);
  EXPECT_EQ(p.Drawn(), (Pixels{{1, 1}, {2, 1}, {2, 2}, {3, 2}}));
  bmp.SetTransparentColor(clRed);  // an explicit colour wins over the corner
  p.C.Draw(1, 1, bmp);
  EXPECT_EQ(p.Count(clLime), 2);

  TBitmap quad(2, 2);
  const TColor colours[] = {clRed, clBlue, clLime, clBlack};
  for (int i = 0; i < 4; ++i) quad.Canvas()->SetPixels(i % 2, i / 2, colours[i]);
  Pic s(8, 8);
  s.C.StretchDraw({2, 2, 6, 6}, quad);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(AllPixels(s.Img, Bounds(2 + 2 * (i % 2), 2 + 2 * (i / 2), 2, 2), colours[i]));
  EXPECT_EQ(s.Count(clWhite), 64 - 16);
  s.Clear();
  s.C.SetClipRect({0, 0, 8, 7});
  s.C.Draw(6, 6, quad);  // partly outside the image and the clip
  EXPECT_EQ(s.Drawn(), (Pixels{{6, 6}, {7, 6}}));
  s.C.Draw(-1, -1, quad);
  EXPECT_EQ(s.Pixel(0, 0), clBlack);
  Pic d(10, 10);
  d.C.CopyRect({0, 0, 2, 2}, s.C, {6, 5, 8, 7});
  EXPECT_EQ(d.Missing({At(0, 0, clWhite), At(0, 1, clRed), At(1, 1, clBlue)}), "");
  d.C.CopyRect({4, 4, 8, 8}, s.C, {7, 6, 8, 7});  // scaled up
  EXPECT_TRUE(AllPixels(d.Img, {4, 4, 8, 8}, clBlue));
}

TEST(Bitmaps, ScanLineSizeFilesAndImageLists) {
  TBitmap bmp(4, 3);
  bmp.Canvas()->SetPixels(1, 2, RGB(1, 2, 3));
  const std::uint8_t* line = bmp.ScanLine(2);
  EXPECT_EQ((std::vector<int>{line[4], line[5], line[6], line[7]}), (std::vector<int>{3, 2, 1, 255}));
  EXPECT_THROW(bmp.ScanLine(3), EListError);
  bmp.SetSize(6, 2);  // keeps what fits, new pixels white
  bmp.Canvas()->SetPixels(2, 1, clNavy);
  qftest::TempDir dir;
  bmp.SaveToFile(dir.File("b.png"));
  TBitmap back;
  back.LoadFromFile(dir.File("b.png"));
  TCanvas* b = back.Canvas();
  EXPECT_EQ((std::vector<TColor>{b->Pixels(5, 1), b->Pixels(2, 1), b->Pixels(1, 2)}),
            (std::vector<TColor>{clWhite, clNavy, -1}));
  qftest::WriteFile(dir.File("bad.png"), "not a picture");
  for (const char* bad : {"missing.png", "bad.png"}) EXPECT_THROW(back.LoadFromFile(dir.File(bad)), EFOpenError);
  EXPECT_THROW(bmp.SaveToFile(dir.File("no/such/folder/b.png")), EFCreateError);

  TBitmap strip(32, 16);  // two images: white, then lime with one masked pixel
  strip.Canvas()->Brush.Color = clLime;
  strip.Canvas()->FillRect({16, 0, 32, 16});
  strip.Canvas()->SetPixels(20, 5, clFuchsia);
  TImageList list(16, 16);
  EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 2);
  Pic p(20, 20);
  for (int bad : {2, -1}) list.Draw(&p.C, 0, 0, bad);
  EXPECT_EQ(p.Count(clWhite), 400);
  list.Draw(&p.C, 2, 2, 1);
  EXPECT_EQ(p.Drawn().size(), 255u);
  EXPECT_EQ(p.Count(clLime), 255);
  list.Draw(&p.C, 0, 0, 0, false);  // disabled: greyed
  EXPECT_TRUE(AllPixels(p.Img, {0, 0, 16, 16}, clBtnShadow));
  TBitmap one;
  EXPECT_FALSE(list.GetBitmap(5, one));
  list.Delete(9);
  list.Delete(0);
  EXPECT_TRUE(list.GetBitmap(0, one));
  EXPECT_EQ(one.Canvas()->Pixels(15, 15), clLime);
}

}  // namespace
