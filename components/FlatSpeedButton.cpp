#include "components/FlatSpeedButton.h"

namespace {
THoverClass gHover;
}  // namespace

TFlatSpeedButton::TFlatSpeedButton(TComponent* AOwner) : TFlatPushButton(AOwner, gHover) {}

const THoverClass& TFlatSpeedButton::HoverState() { return gHover; }

void TFlatSpeedButton::Paint() { PaintButton(Canvas()); }

void TFlatSpeedButton::PaintBackground(TCanvas* canvas, TColor face) {
  if (TransparentMode() == tmAlways || (TransparentMode() == tmNotFocused && !Hovered())) return;
  canvas->Brush = TBrush{face, bsSolid};
  canvas->FillRect(ClientRect());
}
