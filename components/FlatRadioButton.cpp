#include "components/FlatRadioButton.h"

#include <vector>

namespace {
THoverClass gHover;
}  // namespace

TFlatRadioButton::TFlatRadioButton(TComponent* AOwner) : TFlatOptionButton(AOwner, gHover) { SetTabStop(false); }

const THoverClass& TFlatRadioButton::HoverState() { return gHover; }

void TFlatRadioButton::SetChecked(bool value) {
  if (value == Checked()) return;
  SetTabStop(value);
  SetCheckedField(value);
  if (value) {
    if (TWinControl* parent = Parent()) {
      std::vector<TFlatRadioButton*> others;
      for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* r = dynamic_cast<TFlatRadioButton*>(parent->Controls(i));
            r && r != this && r->FGroupIndex == FGroupIndex)
          others.push_back(r);
      for (TFlatRadioButton* r : others) r->SetChecked(false);
    }
    Click();
  }
  RedrawMark();
}

void TFlatRadioButton::Released(int X, int Y) {
  // The bounds count as inside.
  if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height() && !Checked()) SetChecked(true);
}

void TFlatRadioButton::DoEnter() {
  if (MouseHeld() && Hovered()) SetChecked(true);
  TFlatOptionButton::DoEnter();
}

bool TFlatRadioButton::DialogChar(TKeyChar Key, TShiftState Shift) {
  if (IsAccel(Key, Caption()) && CanFocus()) {
    SetFocus();
    return true;
  }
  return TFlatOptionButton::DialogChar(Key, Shift);
}

void TFlatRadioButton::PaintMark(TCanvas* c, const TRect& mark) {
  c->Pen = TPen{ColorBorder(), 1, psSolid, pmCopy};
  c->Brush = TBrush{FillColor(), bsSolid};
  c->Ellipse(mark);
  if (!Checked()) return;
  const TColor dot = Enabled() ? ColorDot() : clBtnShadow;
  c->Pen.Color = dot;
  c->Brush.Color = dot;
  c->Ellipse(mark.Left + 3, mark.Top + 3, mark.Left + 7, mark.Top + 7);
}
