#include "components/FlatGroupBox.h"

#include "ui/Bitmap.h"

#include <algorithm>

TFlatGroupBox::TFlatGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() << csAcceptsControls << csOpaque);
  SetColor(clWindow);
  SetParentColor(true);
  SetBounds(0, 0, 185, 105);
}

void TFlatGroupBox::SetColorBorder(TColor value) {
  FColorBorder = value;
  Invalidate();
}

void TFlatGroupBox::SetBorder(TGroupBoxBorder value) {
  FBorder = value;
  Invalidate();
}

void TFlatGroupBox::SetAdvColorBorder(TGradColors value) {
  FAdvColorBorder = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatGroupBox::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  SetParentColor(value);
  DeriveColors();
  Invalidate();
}

void TFlatGroupBox::DeriveColors() {
  if (FUseAdvColors) FColorBorder = CalcAdvancedColor(Color(), FColorBorder, FAdvColorBorder, true);
}

void TFlatGroupBox::ParentColorChanged() {
  TCustomControl::ParentColorChanged();
  if (FUseAdvColors) {
    SetParentColor(true);
    DeriveColors();
  }
  Invalidate();
}

void TFlatGroupBox::SetTransparent(bool value) {
  FTransparent = value;
  Invalidate();
}

void TFlatGroupBox::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  if (FTransparent) Invalidate();
}

bool TFlatGroupBox::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !CanFocus()) return false;
  SetFocus();
  return true;
}

void TFlatGroupBox::Paint() {
  if (ClientWidth() <= 0 || ClientHeight() <= 0) return;
  TBitmap picture(ClientWidth(), ClientHeight());
  TCanvas* c = picture.Canvas();
  const TRect r = ClientRect();
  if (FTransparent) {
    DrawParentImage(c);
  } else {
    c->Brush = TBrush{Color(), bsSolid};
    c->FillRect(r);
  }
  c->Font = Font();
  const int th = c->TextHeight(Caption()), tw = c->TextWidth(Caption());
  const int m = r.Top + th / 2;
  c->Pen = TPen{FColorBorder, 1, psSolid, pmCopy};
  // The top line leaves a gap for the caption, from L + 5 to L + 12 + its width.
  if (FBorder == brFull) {
    c->Polyline({{r.Left + 5, m},
                 {r.Left, m},
                 {r.Left, r.Bottom - 1},
                 {r.Right - 1, r.Bottom - 1},
                 {r.Right - 1, m},
                 {r.Left + 12 + tw, m}});
  } else {
    c->Polyline({{r.Left + 5, m}, {r.Left, m}});
    c->Polyline({{r.Right - 1, m}, {r.Left + 12 + tw, m}});
  }
  DrawFlatCaption(c, Caption(), TRect{r.Left + 10, r.Top, r.Right - 10, r.Top + th}, DT_SINGLELINE, Enabled());
  Canvas()->Draw(0, 0, picture);
}
