#include "components/FlatOptionButton.h"

#include <algorithm>

TFlatOptionButton::TFlatOptionButton(TComponent* AOwner, THoverClass& hoverClass)
    : TFlatAdvColors(AOwner, clWhite, 0xC5D6D9, 0x8396A0),
      FHover(this, hoverClass, [this] { RedrawMark(); }, [this] { return FHeld; }) {
  // Clicks come from Checked, not from the layer.
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks});
  SetColor(0xE1EAEB);
  SetParentColor(true);
  SetBounds(0, 0, 121, 17);
}

void TFlatOptionButton::SetMarkColor(TColor value) {
  FColorMark = value;
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
  TFlatAdvColors::SetBounds(left, top, width, height);
  if (FTransparent) Invalidate();
}

TRect TFlatOptionButton::MarkRect() const {
  const int s = MarkSize();
  const TRect r = ClientRect();
  return FMarkRight ? TRect{r.Right - 1 - s, r.Top + 3, r.Right - 1, r.Top + 3 + s}
                    : TRect{r.Left + 1, r.Top + 3, r.Left + 1 + s, r.Top + 3 + s};
}

TRect TFlatOptionButton::CaptionRect() const {
  const TRect r = ClientRect();
  return FMarkRight ? TRect{r.Left + 1, r.Top + 1, r.Right - 16, r.Bottom - 1}
                    : TRect{r.Left + 16, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

TColor TFlatOptionButton::FillColor() const {
  if (!FFocused && !Hovered()) return Color();
  return FHeld ? ColorDown() : ColorFocused();
}

void TFlatOptionButton::RedrawMark() { InvalidateRect(MarkRect()); }

void TFlatOptionButton::Paint() {
  TCanvas* c = Canvas();
  if (FTransparent) DrawParentImage(c);
  PaintMark(c, MarkRect());
  c->Font = Font();
  DrawFlatCaption(c, Caption(), CaptionRect(), DT_WORDBREAK | (FMarkRight ? DT_RIGHT : DT_LEFT), Enabled());
}

void TFlatOptionButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || !Enabled()) return;
  if (!Focused() && CanFocus()) SetFocus();
  FHeld = true;
  RedrawMark();
  TFlatAdvColors::MouseDown(Button, Shift, X, Y);
}

void TFlatOptionButton::MouseMove(TShiftState Shift, int X, int Y) {
  TFlatAdvColors::MouseMove(Shift, X, Y);
  FHover.MouseMoved(X, Y);
}

void TFlatOptionButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft || !Enabled()) return;
  FHeld = false;
  Released(X, Y);
  RedrawMark();
  TFlatAdvColors::MouseUp(Button, Shift, X, Y);
}

void TFlatOptionButton::DoEnter() {
  FFocused = true;
  RedrawMark();
  TFlatAdvColors::DoEnter();
}

void TFlatOptionButton::DoExit() {
  FFocused = false;
  RedrawMark();
  TFlatAdvColors::DoExit();
}

void TFlatOptionButton::FocusGained() {
  TFlatAdvColors::FocusGained();
  if (!Enabled()) return;
  FFocused = true;
  RedrawMark();
}

void TFlatOptionButton::FocusLost() {
  TFlatAdvColors::FocusLost();
  if (!Enabled()) return;
  FHover.SetHovered(false);
  // A hover that ends here ends for the class's timer too.
  FHover.ReleaseHoverTimer();
  FFocused = false;
  RedrawMark();
}

void TFlatOptionButton::EnabledChanged() {
  TFlatAdvColors::EnabledChanged();
  if (!Enabled()) {
    FHover.SetHovered(false);
    FHeld = false;
    FHover.ReleaseHoverTimer();
  }
  Invalidate();
}
