#include "grid/SharedCommon.h"

#include <cmath>
#include <string_view>

namespace {

// The classic assertion message names the unit's source and the line.
[[noreturn]] void AssertionFailure(int line) {
  std::string_view file = __FILE__;
  if (auto slash = file.find_last_of('/'); slash != std::string_view::npos) file.remove_prefix(slash + 1);
  throw EAssertionFailed("Assertion failure (" + std::string(file) + ", line " + std::to_string(line) + ")");
}

TColor BlendChannels(TColor color1, TColor color2, int weight) {
  const TColor a = ColorToRGB(color1), b = ColorToRGB(color2);
  auto mix = [&](int ca, int cb) { return (ca * weight + cb * (255 - weight)) >> 8; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

}  // namespace

// ---------------------------------------------------------------- TCalcProvider

bool TCalcProvider::RectsIntersect(const TRect& R1, const TRect& R2) {
  return !(R1.Right < R2.Left || R1.Left > R2.Right || R1.Bottom < R2.Top || R1.Top > R2.Bottom);
}

void TCalcProvider::PlaceBox(int Width, int Height, TPoint& Point, TVerticalAlignment VertAlign,
                             TAlignment HorzAlign, const TRect& Rect, int Margin) {
  const TPoint centre = Rect.CenterPoint();
  switch (HorzAlign) {
    case taLeftJustify: Point.X = Rect.Left + Margin; break;
    case taRightJustify: Point.X = Rect.Right - (Margin + Width); break;
    case taCenter: Point.X = centre.X - Width / 2; break;
  }
  switch (VertAlign) {
    case vaTop: Point.Y = Rect.Top + Margin; break;
    case vaMiddle: Point.Y = centre.Y - Height / 2; break;
    case vaBottom: Point.Y = Rect.Bottom - (Margin + Height); break;
  }
}

TRect TCalcProvider::OffsetEdges(const TRect& Rect, int dLeft, int dTop, int dRight, int dBottom) {
  return {Rect.Left + dLeft, Rect.Top + dTop, Rect.Right + dRight, Rect.Bottom + dBottom};
}

// ---------------------------------------------------------------- TGraphicsProvider

TColor TGraphicsProvider::Blend(TColor Color1, TColor Color2, int Weight) {
  if (Weight < 0 || Weight > 255) AssertionFailure(__LINE__);
  return BlendChannels(Color1, Color2, Weight);
}

TColor TGraphicsProvider::MixColors(TColor Color1, TColor Color2, double Fraction) {
  const TColor a = ColorToRGB(Color1), b = ColorToRGB(Color2);
  // nearbyint rounds half to even in the default rounding mode, as the classic Round does.
  auto mix = [&](int ca, int cb) { return static_cast<int>(std::nearbyint(cb * Fraction + ca * (1 - Fraction))); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void TGraphicsProvider::ClipRect(TCanvas* Canvas, const TRect& Rect) { Canvas->SetClipRect(Rect); }

void TGraphicsProvider::DrawButtonFace(TCanvas* Canvas, const TRect& Rect, bool Down) {
  TRect face = Rect;
  InflateRect(face, -1, -1);
  Canvas->Brush.Style = bsSolid;
  Canvas->Brush.Color = clBtnFace;
  Canvas->FillRect(face);
  // Highlight along the left and top; the dark side takes the top-right and
  // bottom-left corners.
  const int right = Rect.Right - 1, bottom = Rect.Bottom - 1;
  Canvas->Pen.Color = clBtnHighlight;
  Canvas->MoveTo(Rect.Left, bottom);
  Canvas->LineTo(Rect.Left, Rect.Top);
  Canvas->LineTo(right, Rect.Top);
  Canvas->Pen.Color = Down ? clWindowFrame : clBtnShadow;
  Canvas->LineTo(right, bottom);
  Canvas->LineTo(Rect.Left - 1, bottom);
}

void TGraphicsProvider::DrawFocus(TCanvas* Canvas, const TRect& Rect, bool Solid) {
  if (Solid) {
    Canvas->Brush.Style = bsSolid;
    Canvas->Brush.Color = clHighlight;
    Canvas->FrameRect(Rect);
  } else {
    Canvas->DrawFocusRect(Rect);
  }
}

void TGraphicsProvider::FillVerticalGradient(TCanvas* Canvas, const TRect& Rect, TColor Color1, TColor Color2) {
  const int h = Rect.Bottom - Rect.Top;
  if (h == 0) return;
  for (int y = Rect.Top; y < Rect.Bottom; ++y) {
    Canvas->Pen.Color = MixColors(Color1, Color2, static_cast<double>(y - Rect.Top) / h);
    Canvas->MoveTo(Rect.Left, y);
    Canvas->LineTo(Rect.Right, y);
  }
}

namespace {

unsigned HorzFlag(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    case taLeftJustify: break;
  }
  return DT_LEFT;
}

void DrawClear(TCanvas* canvas, const TRect& rect, const std::string& text, unsigned flags) {
  TRect r = rect;
  canvas->Brush.Style = bsClear;
  canvas->DrawText(text, r, flags);
  canvas->Brush.Style = bsSolid;
}

}  // namespace

void TGraphicsProvider::DrawTextLine(TCanvas* Canvas, const TRect& Rect, bool RightToLeft, const std::string& Text,
                                     TAlignment Alignment) {
  unsigned flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING | HorzFlag(Alignment);
  if (RightToLeft) flags |= DT_RTLREADING;
  DrawClear(Canvas, Rect, Text, flags);
}

void TGraphicsProvider::DrawTextBlock(TCanvas* Canvas, const TRect& Rect, const std::string& Text, bool WordWrap,
                                      TVerticalAlignment VertAlign, TAlignment Alignment) {
  unsigned flags = DT_NOPREFIX | HorzFlag(Alignment);
  if (VertAlign == vaMiddle) flags |= DT_VCENTER;
  if (VertAlign == vaBottom) flags |= DT_BOTTOM;
  flags |= WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  DrawClear(Canvas, Rect, Text, flags);
}

// ---------------------------------------------------------------- TMaskProvider

TColor TMaskProvider::Blend(TColor Color1, TColor Color2, int Weight) {
  if (Weight < 0 || Weight > 255) AssertionFailure(__LINE__);
  return BlendChannels(Color1, Color2, Weight);
}

// ---------------------------------------------------------------- TDrawProvider

void TDrawProvider::DrawBitmap(TCanvas* Canvas, int X, int Y, const TBitmap& Bitmap) {
  if (Bitmap.PixelFormat() != pf32bit) {
    Canvas->Draw(X, Y, Bitmap);
    return;
  }
  const int w = Bitmap.Width(), h = Bitmap.Height();
  if (w == 0 || h == 0) return;
  TBitmap background(w, h), result(w, h);
  background.Canvas()->CopyRect({0, 0, w, h}, *Canvas, {X, Y, X + w, Y + h});
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = Bitmap.ScanLine(y);
    const std::uint8_t* under = background.ScanLine(y);
    std::uint8_t* out = result.ScanLine(y);
    for (int x = 0; x < w; ++x, src += 4, under += 4, out += 4) {
      const TColor c = TMaskProvider::Blend(RGB(src[2], src[1], src[0]), RGB(under[2], under[1], under[0]), src[3]);
      out[0] = static_cast<std::uint8_t>(GetBValue(c));
      out[1] = static_cast<std::uint8_t>(GetGValue(c));
      out[2] = static_cast<std::uint8_t>(GetRValue(c));
      out[3] = 255;
    }
  }
  Canvas->Draw(X, Y, result);
}

// ---------------------------------------------------------------- cursors

TResourceDrawer CursorDrawer(std::function<void(TCanvas*)> Draw, TPoint HotSpot) {
  return [Draw = std::move(Draw), HotSpot](TBitmap& bitmap, TPoint& hotSpot) {
    constexpr TColor key = clFuchsia;
    bitmap.SetSize(32, 32);
    TCanvas* c = bitmap.Canvas();
    c->Brush.Color = key;
    c->Brush.Style = bsSolid;
    c->FillRect({0, 0, 32, 32});
    c->Pen.Color = clBlack;
    c->Brush.Color = clWhite;
    Draw(c);
    bitmap.SetTransparentColor(key);
    bitmap.SetTransparent(true);
    hotSpot = HotSpot;
  };
}
