#include "grid/ColumnDragBox.h"

#include "grid/CustomGridViewControl.h"
#include "grid/ThemesSupport.h"

TColumnDragBox::TColumnDragBox(TCustomGridViewControl* Grid)
    : TFlyoutControl(nullptr), FGrid(Grid), FDisplay(std::make_unique<TDefaultStyleDisplay>(Grid)) {
  Hide();
}

void TColumnDragBox::StartDrag() {
  FloatOver(FGrid);
  Show();
  FDragging = true;
  SetMouseCapture(true);
}

void TColumnDragBox::StopDrag() {
  FDragging = false;
  SetMouseCapture(false);
  Hide();
}

void TColumnDragBox::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  FDisplay->Canvas = c;
  FDisplay->UseVisualStyles = FGrid->EnableVisualStyles() && ThemesAvailable();
  if (Column) FDisplay->PaintHeaderCell(*Column, r);
  c->Pen.Color = clBlack;
  c->Pen.Mode = pmCopy;
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Right - 1, r.Top - 1);
}

void TColumnDragBox::MouseMove(TShiftState Shift, int X, int Y) {
  TFlyoutControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const TPoint p = ClientToScreen({X, Y});
  SetBounds(p.X - Width() / 2, p.Y - Height() + 4, Width(), Height());
  if (OnMove) OnMove(p);
}

void TColumnDragBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFlyoutControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  const TPoint p = ClientToScreen({X, Y});
  FDragging = false;
  SetMouseCapture(false);
  Hide();
  if (OnDrop) OnDrop(p);
}

void TColumnDragBox::MouseCaptureLost() {
  TFlyoutControl::MouseCaptureLost();
  if (!FDragging) return;
  FDragging = false;
  Hide();
  if (OnLost) OnLost();
}

// ---------------------------------------------------------------- TDragArrow

TDragArrow::TDragArrow(std::uint8_t Direction) : TFlyoutControl(nullptr) {
  SetBounds(0, 0, 9, 9);
  Hide();
  SetDirection(Direction);
}

std::vector<TPoint> TDragArrow::RegionPolygon(std::uint8_t Direction) {
  if (Direction == 1) return {{-1, 5}, {4, -1}, {9, 5}, {6, 5}, {6, 9}, {3, 9}, {3, 4}, {0, 5}};
  if (Direction == 2) return {{5, 0}, {3, 0}, {3, 4}, {0, 4}, {4, 9}, {9, 4}, {6, 4}, {6, 0}};
  return {};
}

void TDragArrow::SetDirection(std::uint8_t Value) {
  FDirection = Value;
  const std::vector<TPoint> polygon = RegionPolygon(Value);
  SetWindowRegion(polygon.empty() ? std::vector<std::vector<TPoint>>{} : std::vector<std::vector<TPoint>>{polygon});
}

void TDragArrow::Paint() {
  Canvas()->Brush.Color = clRed;
  Canvas()->Brush.Style = bsSolid;
  Canvas()->FillRect(ClientRect());
}
