#include "components/FlatGauge.h"

#include <algorithm>
#include <cstdint>

TFlatGauge::TFlatGauge(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(Left(), Top(), 145, 25);
  SetMinValue(0);
  SetMaxValue(100);
  SetProgress(25);
  SetShowText(true);
  SetBarColor(0x996633);
  SetColorBorder(0x8396A0);
  SetParentColor(true);
}

void TFlatGauge::SetMinValue(int value) {
  if (value == FMinValue) return;
  FMinValue = std::min(value, FMaxValue);
  if (FCurValue < FMinValue) FCurValue = FMinValue;
  Repaint();
}

void TFlatGauge::SetMaxValue(int value) {
  if (value == FMaxValue) return;
  FMaxValue = std::max(value, FMinValue);
  if (FCurValue > FMaxValue) FCurValue = FMaxValue;
  Repaint();
}

void TFlatGauge::SetProgress(int value) {
  value = std::clamp(value, FMinValue, FMaxValue);
  if (value == FCurValue) return;
  FCurValue = value;
  Repaint();
}

void TFlatGauge::SetShowText(bool value) {
  if (value == FShowText) return;
  FShowText = value;
  Repaint();
}

void TFlatGauge::SetBarColor(TColor color) {
  FBarColor = color;
  Invalidate();
}

void TFlatGauge::SetColorBorder(TColor color) {
  FBorderColor = color;
  Invalidate();
}

void TFlatGauge::SetAdvColorBorder(TGradColors value) {
  FAdvColorBorder = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatGauge::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  SetParentColor(value);
  DeriveColors();
  Invalidate();
}

void TFlatGauge::SetTransparent(bool value) {
  FTransparent = value;
  Invalidate();
}

void TFlatGauge::DeriveColors() {
  if (!FUseAdvColors) return;
  FBorderColor = CalcAdvancedColor(Color(), FBorderColor, FAdvColorBorder, true);
}

void TFlatGauge::ParentColorChanged() {
  TGraphicControl::ParentColorChanged();
  if (FUseAdvColors) {
    SetParentColor(true);
    DeriveColors();
  }
  Invalidate();
}

TRect TFlatGauge::InnerRect() const {
  TRect r = ClientRect();
  InflateRect(r, -2, -2);
  return r;
}

TRect TFlatGauge::BarRect() const {
  const TRect inner = InnerRect();
  const std::int64_t range = static_cast<std::int64_t>(FMaxValue) - FMinValue;
  // In whole numbers: the truncated quotient without the rounding errors of
  // a floating-point one (which would make 29 of 100 come out as 28).
  const std::int64_t width =
      range == 0 ? inner.Width()
                 : static_cast<std::int64_t>(inner.Width()) * (static_cast<std::int64_t>(FCurValue) - FMinValue) / range;
  return TRect{inner.Left, inner.Top, inner.Left + static_cast<int>(width), inner.Bottom};
}

int TFlatGauge::PercentDone() const {
  const std::int64_t range = static_cast<std::int64_t>(FMaxValue) - FMinValue;
  if (range == 0) return 100;
  return static_cast<int>((static_cast<std::int64_t>(FCurValue) - FMinValue) * 100 / range);
}

std::string TFlatGauge::Text() const { return std::to_string(PercentDone()) + " %"; }

void TFlatGauge::Paint() {
  TCanvas* c = Canvas();
  TRect client = ClientRect();
  if (!FTransparent) {
    c->Brush = TBrush{Color(), bsSolid};
    c->FillRect(client);
  }
  Frame3D(c, client, FBorderColor, FBorderColor, 1);

  const TRect inner = InnerRect();
  const TRect bar = BarRect();
  c->Brush = TBrush{FBarColor, bsSolid};
  c->FillRect(bar);

  if (!FShowText) return;
  const std::string text = Text();
  c->Font = Font();
  c->Brush.Style = bsClear;
  const unsigned flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  TRect r = inner;
  c->DrawText(text, r, flags);
  // Again over the bar only, in the background colour.
  c->SetClipRect(bar);
  c->Font.SetColor(Color());
  r = inner;
  c->DrawText(text, r, flags);
  c->ResetClipRect();
}
