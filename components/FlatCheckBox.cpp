#include "components/FlatCheckBox.h"

namespace {
THoverClass gHover;
}  // namespace

TFlatCheckBox::TFlatCheckBox(TComponent* AOwner) : TFlatOptionButton(AOwner, gHover) { SetTabStop(true); }

const THoverClass& TFlatCheckBox::HoverState() { return gHover; }

void TFlatCheckBox::SetChecked(bool value) {
  if (value == Checked()) return;
  SetCheckedField(value);
  Click();
  RedrawMark();
}

void TFlatCheckBox::Released(int, int) {
  if (Hovered()) SetChecked(!Checked());
}

bool TFlatCheckBox::DialogChar(TKeyChar Key, TShiftState Shift) {
  if (IsAccel(Key, Caption()) && CanFocus()) {
    SetFocus();
    SetChecked(!Checked());
    return true;
  }
  if (Key == ' ' && Focused()) {
    SetChecked(!Checked());
    return true;
  }
  return TFlatOptionButton::DialogChar(Key, Shift);
}

void TFlatCheckBox::Paint() {
  TFlatOptionButton::Paint();
  if (!Focused()) return;
  // The mark's fill alone hardly shows which box the keys act on: the
  // caption gets the dotted frame a focused check box shows, a pixel round
  // the text it takes; a box without a caption gets it round its mark.
  TCanvas* c = Canvas();
  TRect frame = MarkRect();
  if (Caption().empty()) {
    InflateRect(frame, 2, 2);
  } else {
    const TRect room = CaptionRect();
    frame = TRect{room.Left, room.Top, room.Right, room.Top};
    c->Font = Font();
    c->DrawText(Caption(), frame, DT_WORDBREAK | DT_CALCRECT);
    if (Layout() == checkboxRight) OffsetRect(frame, room.Right - frame.Right, 0);
    InflateRect(frame, 1, 1);
  }
  IntersectRect(frame, frame, ClientRect());
  c->DrawFocusRect(frame);
}

void TFlatCheckBox::PaintMark(TCanvas* c, const TRect& mark) {
  c->Pen.Width = 1;
  c->Pen.Style = psSolid;
  c->Brush = TBrush{FillColor(), bsSolid};
  c->FillRect(mark);
  if (Checked()) {
    c->Pen.Color = Enabled() ? ColorCheck() : clBtnShadow;
    const int x = mark.Left, y = mark.Top;
    // The tick: three strokes down to the bottom of the V, three up from it.
    const int strokes[6][4] = {{2, 4, 6, 8}, {2, 5, 5, 8}, {2, 6, 5, 9}, {8, 2, 4, 6}, {8, 3, 4, 7}, {8, 4, 5, 7}};
    for (const auto& s : strokes) {
      c->MoveTo(x + s[0], y + s[1]);
      c->LineTo(x + s[2], y + s[3]);
    }
  }
  c->Brush.Color = ColorBorder();
  c->FrameRect(mark);
}
