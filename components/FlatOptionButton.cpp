#include "components/FlatOptionButton.h"

#include <algorithm>

TFlatOptionButton::TFlatOptionButton(TComponent* AOwner, THoverClass& hoverClass)
    : TCustomControl(AOwner), FHover(this, hoverClass, [this] { RedrawMark(); }, [this] { return FHeld; }) {
  // Clicks come from Checked, not from the layer.
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks});
  SetColor(0xE1EAEB);
  SetParentColor(true);
  SetBounds(0, 0, 121, 17);
}

void TFlatOptionButton::SetColors(TColor& field, TColor value) {
  field = value;
  Invalidate();
}

void TFlatOptionButton::SetAdvColor(TGradColors& field, TGradColors value) {
  field = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatOptionButton::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  SetParentColor(value);
  DeriveColors();
  Invalidate();
}

void TFlatOptionButton::DeriveColors() {
  if (!FUseAdvColors) return;
  FColorFocused = CalcAdvancedColor(Color(), FColorFocused, FAdvColorFocused, false);
  FColorDown = CalcAdvancedColor(Color(), FColorDown, FAdvColorDown, true);
  FColorBorder = CalcAdvancedColor(Color(), FColorBorder, FAdvColorBorder, true);
}

void TFlatOptionButton::ParentColorChanged() {
  TCustomControl::ParentColorChanged();
  if (FUseAdvColors) {
    SetParentColor(true);
    DeriveColors();
  }
  Invalidate();
}

void TFlatOptionButton::SetTransparent(bool value) {
  FTransparent = value;
  Invalidate();
}

void TFlatOptionButton::SetMarkRight(bool value) {
  FMarkRight = value;
  Invalidate();
}

void TFlatOptionButton::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  if (FTransparent) Invalidate();
}

TRect TFlatOptionButton::MarkRect() const {
  const int s = MarkSize();
  const TRect r = ClientRect();
  return FMarkRight ? TRect{r.Right - 1 - s, r.Top + 3, r.Right - 1, r.Top + 3 + s}
                    : TRect{r.Left + 1, r.Top + 3, r.Left + 1 + s, r.Top + 3 + s};
}

TColor TFlatOptionButton::FillColor() const {
  if (!FFocused && !Hovered()) return Color();
  return FHeld ? FColorDown : FColorFocused;
}

void TFlatOptionButton::RedrawMark() { InvalidateRect(MarkRect()); }

void TFlatOptionButton::Paint() {
  TCanvas* c = Canvas();
  if (FTransparent) DrawParentImage(c);
  PaintMark(c, MarkRect());
  const TRect r = ClientRect();
  const TRect text = FMarkRight ? TRect{r.Left + 1, r.Top + 1, r.Right - 16, r.Bottom - 1}
                                : TRect{r.Left + 16, r.Top + 1, r.Right - 1, r.Bottom - 1};
  c->Font = Font();
  DrawFlatCaption(c, Caption(), text, DT_WORDBREAK | (FMarkRight ? DT_RIGHT : DT_LEFT), Enabled());
}

void TFlatOptionButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || !Enabled()) return;
  if (!Focused() && CanFocus()) SetFocus();
  FHeld = true;
  RedrawMark();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFlatOptionButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  FHover.MouseMoved(X, Y);
}

void TFlatOptionButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || !Enabled()) return;
  FHeld = false;
  Released(X, Y);
  RedrawMark();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TFlatOptionButton::DoEnter() {
  FFocused = true;
  RedrawMark();
  TCustomControl::DoEnter();
}

void TFlatOptionButton::DoExit() {
  FFocused = false;
  RedrawMark();
  TCustomControl::DoExit();
}

void TFlatOptionButton::FocusGained() {
  TCustomControl::FocusGained();
  if (!Enabled()) return;
  FFocused = true;
  RedrawMark();
}

void TFlatOptionButton::FocusLost() {
  TCustomControl::FocusLost();
  if (!Enabled()) return;
  FHover.SetHovered(false);
  // A hover that ends here ends for the class's timer too.
  FHover.ReleaseHoverTimer();
  FFocused = false;
  RedrawMark();
}

void TFlatOptionButton::EnabledChanged() {
  TCustomControl::EnabledChanged();
  if (!Enabled()) {
    FHover.SetHovered(false);
    FHeld = false;
    FHover.ReleaseHoverTimer();
  }
  Invalidate();
}
