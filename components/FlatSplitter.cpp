#include "components/FlatSplitter.h"

#include "ui/Bitmap.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"

#include <algorithm>

TFlatSplitter::TFlatSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
  SetColor(0xE0E9EF);
  SetParentColor(true);
  SetAlign(alLeft);
  SetWidth(5);
  SetCursor(crHSplit);
}

void TFlatSplitter::SetColorFocused(TColor value) {
  FColorFocused = value;
  Invalidate();
}

void TFlatSplitter::SetColorBorder(TColor value) {
  FColorBorder = value;
  Invalidate();
}

void TFlatSplitter::SetAdvColorBorder(TGradColors value) {
  FAdvColorBorder = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatSplitter::SetAdvColorFocused(TGradColors value) {
  FAdvColorFocused = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatSplitter::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  SetParentColor(value);
  DeriveColors();
  Invalidate();
}

void TFlatSplitter::DeriveColors() {
  if (!FUseAdvColors) return;
  FColorBorder = CalcAdvancedColor(Color(), FColorBorder, FAdvColorBorder, true);
  FColorFocused = CalcAdvancedColor(Color(), FColorFocused, FAdvColorFocused, true);
}

void TFlatSplitter::ParentColorChanged() {
  TGraphicControl::ParentColorChanged();
  if (FUseAdvColors) {
    SetParentColor(true);
    DeriveColors();
  }
  Invalidate();
}

void TFlatSplitter::MouseEnter() {
  TGraphicControl::MouseEnter();
  if (FMouseOver) return;
  FMouseOver = true;
  Invalidate();
}

void TFlatSplitter::MouseLeave() {
  TGraphicControl::MouseLeave();
  if (!FMouseOver) return;
  FMouseOver = false;
  Invalidate();
}

void TFlatSplitter::Paint() {
  if (Width() <= 0 || Height() <= 0) return;
  TBitmap picture(Width(), Height());
  TCanvas* c = picture.Canvas();
  TRect r = ClientRect();
  c->Brush = TBrush{FMouseOver ? FColorFocused : Color(), bsSolid};
  c->FillRect(r);
  Frame3D(c, r, FColorBorder, FColorBorder, 1);
  Canvas()->Draw(0, 0, picture);
}

TControl* TFlatSplitter::FindControl() const {
  const TWinControl* parent = Parent();
  if (!parent) return nullptr;
  TPoint at;
  switch (Align()) {
    case alLeft: at = {Left() - 1, Top()}; break;
    case alRight: at = {Left() + Width(), Top()}; break;
    case alTop: at = {Left(), Top() - 1}; break;
    case alBottom: at = {Left(), Top() + Height()}; break;
    default: return nullptr;
  }
  // An invisible control keeps its old bounds but takes no room.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c != this && c->Visible() && c->BoundsRect().Contains(at)) return c;
  }
  return nullptr;
}

int TFlatSplitter::ControlSize() const { return Horizontal() ? FControl->Width() : FControl->Height(); }

void TFlatSplitter::CalcSplitSize(int X, int Y) {
  FSplit = Horizontal() ? X - FDownPos.X : Y - FDownPos.Y;
  const bool after = Align() == alRight || Align() == alBottom;
  const int raw = after ? ControlSize() - FSplit : ControlSize() + FSplit;
  // No room for both at their least: the neighbour keeps its size.
  const int limited = FMaxSize < FMinSize ? ControlSize() : std::clamp(raw, FMinSize, FMaxSize);
  FNewSize = limited;
  if (limited != raw) FSplit += after ? raw - limited : limited - raw;
}

void TFlatSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || FControl) return;
  FControl = FindControl();
  FDownPos = {X, Y};
  if (!FControl) return;
  FMaxSize = SplitterRoom(Parent(), Horizontal(), FMinSize) + ControlSize();
  CalcSplitSize(X, Y);
  // Escape in the focused control ends the drag.
  if (TForm* form = GetParentForm(this); form && form->ActiveControl()) {
    FActiveControl = form->ActiveControl();
    FOldKeyDown = FActiveControl->OnKeyDown;
    FActiveControl->OnKeyDown = [this](TObject* s, WORD& key, TShiftState shift) { FocusKeyDown(s, key, shift); };
  }
  DrawLine();
}

void TFlatSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FControl) return;
  DrawLine();
  CalcSplitSize(X, Y);
  DrawLine();
}

void TFlatSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FControl || Button != mbLeft) return;
  if (FLineVisible) DrawLine();
  TControl* c = FControl;
  switch (Align()) {
    case alTop: c->SetHeight(FNewSize); break;
    case alLeft: c->SetWidth(FNewSize); break;
    case alBottom: c->SetBounds(c->Left(), c->Top() + c->Height() - FNewSize, c->Width(), FNewSize); break;
    case alRight: c->SetBounds(c->Left() + c->Width() - FNewSize, c->Top(), FNewSize, c->Height()); break;
    default: break;
  }
  StopSizing();
}

void TFlatSplitter::MouseCaptureLost() {
  if (FControl) StopSizing();
}

void TFlatSplitter::FocusKeyDown(TObject* Sender, WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) {
    StopSizing();
    return;
  }
  if (FOldKeyDown) FOldKeyDown(Sender, Key, Shift);
}

void TFlatSplitter::DrawLine() {
  TWinControl* parent = Parent();
  if (!parent) return;
  FLineVisible = !FLineVisible;
  TRect r = BoundsRect();
  if (Horizontal())
    OffsetRect(r, FSplit, 0);
  else
    OffsetRect(r, 0, FSplit);
  parent->InvertRect(r, true);
}

void TFlatSplitter::StopSizing() {
  if (FLineVisible) DrawLine();
  FControl = nullptr;
  if (FActiveControl) {
    // Handing the key event back ends the handler that may be running now;
    // nothing of it is used after this.
    TWinControl* active = FActiveControl;
    FActiveControl = nullptr;
    active->OnKeyDown = std::move(FOldKeyDown);
    FOldKeyDown = nullptr;
  }
  if (OnMoved) OnMoved(this);
}
