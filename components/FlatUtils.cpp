#include "components/FlatUtils.h"

#include "components/HSLUtils.h"

TColor CalcAdvancedColor(TColor base, TColor own, TGradColors percent, bool darken) {
  if (percent == 0) return own;
  int h, s, l;
  RGBToHSLRange(ColorToRGB(base), h, s, l);
  l += 10;
  if (darken) {
    l -= percent;
    if (l < 0) l = 0;
  } else {
    l += percent;
    if (l > 100) l = 100;  // the cap is 100, not the scale: light colours come out darker
  }
  return HSLRangeToRGB(h, s, l);
}

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  canvas->Pen.Width = 1;
  --rect.Bottom;
  --rect.Right;
  for (int i = 0; i < width; ++i) {
    canvas->Pen.Color = topColor;
    canvas->Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    canvas->Pen.Color = bottomColor;
    canvas->Polyline({{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}
