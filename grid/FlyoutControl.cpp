#include "grid/FlyoutControl.h"

#include "ui/Forms.h"

TFlyoutControl::TFlyoutControl(TComponent* AOwner) : TCustomControl(AOwner) {
  // Painting covers the whole window: nothing to erase first.
  SetControlStyle(ControlStyle() << csOpaque);
  SetWindowKind(wkFlyout, nullptr);
}

void TFlyoutControl::FloatOver(TControl* Host) {
  TForm* form = Host ? GetParentForm(Host) : nullptr;
  if (form == FForm && WindowKind() == wkFlyout) return;
  FForm = form;
  SetWindowKind(wkFlyout, Host);
}

// ---------------------------------------------------------------- TRollShadow

TRollShadow::TRollShadow(TComponent* AOwner) : TFlyoutControl(AOwner) {
  SetBounds(0, 0, 32, 32);
  BuildRegion();
}

std::vector<std::vector<TPoint>> TRollShadow::RegionPolygons() {
  return {{{-1, 7}, {7, -1}, {8, 0}, {14, 7}, {0, 6}},               // arrow head pointing up
          {{-1, 15}, {14, 15}, {6, 22}, {6, 22}, {-1, 14}}};         // arrow head pointing down
}

void TRollShadow::BuildRegion() { SetWindowRegion(RegionPolygons(), {RegionEllipse()}); }

void TRollShadow::PlaceAt(TPoint P) {
  BuildRegion();
  FAnchor = P;
  SetBounds(P.X - 7, P.Y - 11, 32, 32);
}

void TRollShadow::Paint() {
  Canvas()->Brush.Color = clGrayText;
  Canvas()->Brush.Style = bsSolid;
  Canvas()->FillRect(ClientRect());
}
