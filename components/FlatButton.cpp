#include "components/FlatButton.h"

namespace {
THoverClass gHover;
}  // namespace

TFlatButton::TFlatButton(TComponent* AOwner) : TFlatPushButton(AOwner, gHover) {
  SetControlStyle(ControlStyle() << csOpaque);
  SetTabStop(false);
}

const THoverClass& TFlatButton::HoverState() { return gHover; }

void TFlatButton::SetDefault(bool value) {
  FDefault = value;
  Invalidate();
}

void TFlatButton::SetBounds(int left, int top, int width, int height) {
  TFlatPushButton::SetBounds(left, top, width, height);
  // What shows through the face moved.
  if (TransparentMode() != tmNone) Invalidate();
}

void TFlatButton::Paint() {
  if (ClientWidth() <= 0 || ClientHeight() <= 0) return;
  TBitmap picture(ClientWidth(), ClientHeight());
  PaintButton(picture.Canvas());
  Canvas()->Draw(0, 0, picture);
}

void TFlatButton::PaintBackground(TCanvas* canvas, TColor face) {
  if (TransparentMode() == tmAlways || (TransparentMode() == tmNotFocused && !Hovered())) {
    DrawParentImage(canvas);
    return;
  }
  canvas->Brush = TBrush{face, bsSolid};
  canvas->FillRect(ClientRect());
}

void TFlatButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled() && !Focused() && CanFocus()) SetFocus();
  TFlatPushButton::MouseDown(Button, Shift, X, Y);
}

void TFlatButton::FocusGained() {
  TFlatPushButton::FocusGained();
  if (!Enabled()) return;
  Hover().SetHovered(true);
  Invalidate();
}

void TFlatButton::FocusLost() {
  TFlatPushButton::FocusLost();
  Hover().HoverLeave();
}

void TFlatButton::KeyDown(WORD& Key, TShiftState Shift) {
  TFlatPushButton::KeyDown(Key, Shift);
  if (Key != VK_SPACE) return;
  if (GroupIndex() != 0)
    SetDown(true);
  else
    SetState(bsDown);
  Invalidate();
}

void TFlatButton::KeyUp(WORD& Key, TShiftState Shift) {
  TFlatPushButton::KeyUp(Key, Shift);
  if (Key != VK_SPACE) return;
  if (GroupIndex() != 0)
    SetDown(false);
  else
    SetState(bsUp);
  Click();
  Invalidate();
}

bool TFlatButton::DialogChar(TKeyChar Key, TShiftState) {
  if (!IsAccel(Key, Caption()) || !Enabled()) return false;
  if (GroupIndex() != 0) SetDown(true);
  Click();
  return true;
}
