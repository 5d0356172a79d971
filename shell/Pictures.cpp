#include "shell/Pictures.h"

#include <algorithm>
#include <vector>

namespace {

constexpr TColor kKey = clFuchsia;

void Clear(TBitmap& b, int width, int height) {
  b.SetSize(width, height);
  TCanvas* c = b.Canvas();
  c->Pen = TPen{};
  c->Brush = TBrush{};
  c->Brush.Color = kKey;
  c->FillRect({0, 0, width, height});
}

void Shape(TCanvas* c, TColor fill, TColor line) {
  c->Brush.Style = bsSolid;
  c->Brush.Color = fill;
  c->Pen.Color = line;
}

void Database(TCanvas* c) {
  Shape(c, RGB(255, 214, 120), RGB(150, 95, 0));
  c->Rectangle(2, 4, 14, 13);
  c->Ellipse(2, 9, 14, 15);
  c->Brush.Color = RGB(255, 236, 180);
  c->Ellipse(2, 1, 14, 7);
  c->Pen.Color = RGB(255, 214, 120);  // the seam where body and bottom meet
  c->MoveTo(3, 12);
  c->LineTo(13, 12);
}

void Table(TCanvas* c) {
  Shape(c, clWhite, RGB(60, 90, 140));
  c->Rectangle(1, 2, 15, 14);
  c->Brush.Color = RGB(90, 130, 200);
  c->FillRect({2, 3, 14, 6});
  for (int y : {9, 12}) {
    c->MoveTo(2, y);
    c->LineTo(14, y);
  }
  c->MoveTo(6, 6);
  c->LineTo(6, 13);
}

void Key(TCanvas* c) {
  Shape(c, RGB(250, 205, 40), RGB(130, 90, 0));
  c->Ellipse(1, 4, 9, 12);
  c->Rectangle(8, 7, 15, 9);
  c->Rectangle(11, 8, 13, 12);
  c->Brush.Color = kKey;
  c->Ellipse(3, 6, 6, 9);
}

void Page(TCanvas* c) {
  Shape(c, clWhite, RGB(80, 80, 80));
  c->Polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
  c->MoveTo(10, 1);
  c->LineTo(10, 4);
  c->LineTo(13, 4);
}

void Folder(TCanvas* c) {
  Shape(c, RGB(240, 200, 80), RGB(140, 100, 20));
  c->Polygon({{1, 3}, {6, 3}, {7, 5}, {14, 5}, {14, 14}, {1, 14}});
  c->Brush.Color = RGB(255, 228, 130);
  c->Polygon({{3, 8}, {15, 8}, {13, 14}, {1, 14}});
}

void Floppy(TCanvas* c) {
  Shape(c, RGB(50, 90, 170), RGB(20, 40, 90));
  c->Rectangle(1, 1, 15, 15);
  c->Brush.Color = clWhite;
  c->FillRect({4, 2, 12, 7});
  c->Brush.Color = RGB(180, 180, 190);
  c->FillRect({4, 10, 12, 15});
  c->Brush.Color = RGB(50, 90, 170);
  c->FillRect({9, 11, 11, 14});
}

void Cog(TCanvas* c, int cx, int cy, int r, TColor fill) {
  Shape(c, fill, RGB(60, 60, 60));
  for (int i = 0; i < 4; ++i) {
    const int dx = i % 2 == 0 ? r : 0, dy = i % 2 == 0 ? 0 : r;
    const int sx = i < 2 ? 1 : -1;
    c->FillRect({cx + sx * dx - 1, cy + sx * dy - 1, cx + sx * dx + 2, cy + sx * dy + 2});
  }
  c->Ellipse(cx - r + 1, cy - r + 1, cx + r, cy + r);
  c->Brush.Color = kKey;
  c->Ellipse(cx - 1, cy - 1, cx + 2, cy + 2);
}

void Sliders(TCanvas* c) {
  Page(c);
  c->Pen.Color = RGB(60, 110, 60);
  for (int y : {6, 9, 12}) {
    c->MoveTo(5, y);
    c->LineTo(12, y);
  }
  c->Brush.Color = RGB(90, 170, 90);
  c->FillRect({9, 5, 11, 8});
  c->FillRect({5, 8, 7, 11});
  c->FillRect({8, 11, 10, 14});
}

void Update(TCanvas* c) {
  Shape(c, RGB(70, 170, 70), RGB(20, 100, 20));
  c->Ellipse(1, 1, 15, 15);
  c->Brush.Color = kKey;
  c->Ellipse(4, 4, 12, 12);
  c->FillRect({8, 0, 16, 8});  // open the ring at the top right
  Shape(c, RGB(70, 170, 70), RGB(20, 100, 20));
  c->Polygon({{9, 1}, {14, 6}, {9, 7}});
}

void Help(TCanvas* c) {
  Shape(c, RGB(40, 100, 200), RGB(10, 50, 120));
  c->Ellipse(0, 0, 16, 16);
  c->Font.SetName("DejaVu Sans");
  c->Font.SetHeight(-12);
  c->Font.SetStyle(fsBold);
  c->Font.SetColor(clWhite);
  c->Brush.Style = bsClear;
  TRect r{0, 0, 16, 16};
  c->DrawText("?", r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
}

void Generate(TCanvas* c) {
  Page(c);
  Shape(c, RGB(250, 200, 30), RGB(150, 90, 0));
  c->Polygon({{9, 2}, {4, 9}, {8, 9}, {6, 15}, {12, 7}, {8, 7}});
}

// A colour between a and b, t of steps of the way.
TColor Blend(TColor a, TColor b, int t, int steps) {
  auto channel = [&](int shift) {
    const int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    return x + (y - x) * t / std::max(1, steps);
  };
  return RGB(channel(0), channel(8), channel(16));
}

}  // namespace

std::unique_ptr<TImageList> MakeProgramImages() {
  auto list = std::make_unique<TImageList>(16, 16);
  for (int i = 0; i < 9; ++i) {
    TBitmap b;
    Clear(b, 16, 16);
    if (i == 0) Database(b.Canvas());
    if (i == 2) Table(b.Canvas());
    if (i == 6) Key(b.Canvas());
    list->AddMasked(b, kKey);
  }
  return list;
}

void DrawToolGlyph(TBitmap& bitmap, TToolGlyph glyph) {
  Clear(bitmap, 16, 16);
  TCanvas* c = bitmap.Canvas();
  switch (glyph) {
    case tgNew: Page(c); break;
    case tgOpen: Folder(c); break;
    case tgSave: Floppy(c); break;
    case tgSaveAs:
      Floppy(c);
      c->Brush.Color = RGB(250, 200, 30);
      for (int x : {5, 8, 11}) c->FillRect({x, 4, x + 2, 6});
      break;
    case tgDefaultSettings: Cog(c, 8, 8, 7, RGB(190, 190, 200)); break;
    case tgProjectSettings: Sliders(c); break;
    case tgUpdate: Update(c); break;
    case tgHelp: Help(c); break;
    case tgGenerate: Generate(c); break;
  }
  // The bottom-left pixel names the colour left out.
  c->SetPixels(0, 15, kKey);
}

void DrawAboutPicture(TBitmap& bitmap, int width, int height) {
  bitmap.SetSize(width, height);
  TCanvas* c = bitmap.Canvas();
  c->Pen = TPen{};
  c->Brush = TBrush{};
  const int horizon = height * 56 / 100;

  // Sky: deep blue at the top, warm light at the horizon.
  for (int y = 0; y < horizon; ++y) {
    c->Brush.Color = Blend(RGB(24, 52, 120), RGB(250, 214, 150), y, horizon);
    c->FillRect({0, y, width, y + 1});
  }
  // The sun, half risen behind the hedge.
  Shape(c, RGB(255, 240, 190), RGB(255, 240, 190));
  c->Ellipse(width * 62 / 100, horizon - 34, width * 62 / 100 + 60, horizon + 26);

  // The field: furrows running to one point on the horizon, two greens by turns.
  const TPoint vanish{width / 2, horizon};
  const int step = 48;
  Shape(c, RGB(108, 160, 66), RGB(108, 160, 66));
  c->FillRect({0, horizon, width, height});
  for (int x = -width * 2, n = 0; x < width * 3; x += step, ++n) {
    Shape(c, n % 2 ? RGB(96, 150, 60) : RGB(122, 172, 74), n % 2 ? RGB(96, 150, 60) : RGB(122, 172, 74));
    c->Polygon({vanish, {x, height}, {x + step, height}});
  }
  // A hedge along the horizon, and a path up the middle.
  Shape(c, RGB(40, 84, 40), RGB(40, 84, 40));
  c->FillRect({0, horizon - 4, width, horizon + 3});
  for (int x = 6; x < width; x += 23) c->Ellipse(x - 9, horizon - 12, x + 9, horizon + 2);
  Shape(c, RGB(196, 170, 120), RGB(170, 140, 90));
  c->Polygon({{vanish.X - 1, horizon + 3}, {vanish.X + 1, horizon + 3}, {width / 2 + 30, height}, {width / 2 - 30, height}});

  // The name, with a soft shadow, and what the program does.
  c->Brush.Style = bsClear;
  c->Font.SetName("DejaVu Sans");
  c->Font.SetStyle(fsBold);
  c->Font.SetHeight(-38);
  TRect title{0, 34, width, 84};
  const unsigned centred = DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  c->Font.SetColor(RGB(10, 24, 60));
  TRect shadow = title;
  OffsetRect(shadow, 2, 2);
  c->DrawText("Quarrowfield", shadow, centred);
  c->Font.SetColor(clWhite);
  c->DrawText("Quarrowfield", title, centred);
  c->Font.SetStyle(0);
  c->Font.SetHeight(-14);
  c->Font.SetColor(RGB(230, 236, 250));
  TRect line{0, 92, width, 112};
  c->DrawText("PHP pages from your MySQL tables", line, centred);
}
