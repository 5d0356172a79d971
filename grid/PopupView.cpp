#include "grid/PopupView.h"

#include "grid/SharedCommon.h"
#include "ui/Forms.h"

#include <algorithm>

// ---------------------------------------------------------------- TPopupView

TPopupView::TPopupView(TComponent* AOwner) : TScrollView(AOwner) {
  SetFrameWidth(2);
  VertScrollBar()->SetPageStep(10);
  // Only the vertical bar is ever used, and only while there is more to see.
  HorzScrollBar()->SetVisible(false);
  VertScrollBar()->SetVisible(false);
  SetWindowKind(wkPopup, dynamic_cast<TControl*>(AOwner));
}

void TPopupView::DrawBorder(TCanvas* Canvas, const TRect& Rect) {
  TRect r = Rect;
  Canvas->Brush.Style = bsSolid;
  Canvas->Brush.Color = cl3DDkShadow;
  Canvas->FrameRect(r);
  InflateRect(r, -1, -1);
  Canvas->Brush.Color = clWhite;
  Canvas->FrameRect(r);
}

void TPopupView::Popup(int X, int Y) {
  const int workRight = Screen->WorkAreaRect().Right;
  if (X + Width() > workRight) X = X - (X + Width() - workRight) - 1;
  X = std::max(0, X);
  // The owner may have moved to another window since the last time.
  SetWindowKind(wkPopup, dynamic_cast<TControl*>(Owner()));
  SetBounds(X, Y, Width(), Height());
  FIdle = false;
  FArmed = false;
  Show();
}

void TPopupView::CloseUp() {
  FIdle = true;
  Hide();
  if (OnCloseUp) OnCloseUp(this);
}

void TPopupView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TScrollView::MouseUp(Button, Shift, X, Y);
  if (FIdle) return;
  if (!FArmed) {
    // The release of the click that opened the window.
    FArmed = true;
    return;
  }
  if (ClientRect().Contains({X, Y}))
    SelectAt(X, Y);
  else
    CloseUp();
}

void TPopupView::VisibleChanged() {
  TScrollView::VisibleChanged();
  // Qt closes a pop-up by itself when another window becomes active.
  if (!Visible() && !FIdle) CloseUp();
}

// ---------------------------------------------------------------- TPopupList

TPopupList::TPopupList(TComponent* AOwner) : TPopupView(AOwner) { SetBounds(0, 0, 80, 50); }

void TPopupList::SetItems(const TStringList& Value) {
  FItems = Value;
  Invalidate();
}

void TPopupList::SetItemHeight(int Value) { FItemHeight = std::max(1, Value); }

int TPopupList::VertScrollMax() const { return ItemCount() - ClientHeight() / FItemHeight; }

int TPopupList::GetVertDelta(int OldPos, int NewPos) const { return (OldPos - NewPos) * FItemHeight; }

int TPopupList::ItemAt(int Y) const {
  if (Y < 0) return -1;
  const int index = Y / FItemHeight + VertScrollBar()->Position();
  return index < ItemCount() ? index : -1;
}

void TPopupList::SetItemIndex(int Value) {
  if (ItemCount() == 0) return;
  Value = std::clamp(Value, 0, ItemCount() - 1);
  FPrevItemIndex = FItemIndex;
  FItemIndex = Value;
  TControlScrollBar* bar = VertScrollBar();
  const int visible = std::max(1, ClientHeight() / FItemHeight);
  if (Value < bar->Position())
    bar->SetPosition(Value);
  else if (Value >= bar->Position() + visible)
    bar->SetPosition(Value - visible + 1);
  InvalidateItem(FPrevItemIndex);
  InvalidateItem(FItemIndex);
}

void TPopupList::Popup(int X, int Y) {
  TControlScrollBar* bar = VertScrollBar();
  bar->SetPosition(0);
  bar->SetMax(VertScrollMax());
  bar->SetVisible(bar->Max() >= 1);
  int index = 0;
  if (FInitialIndex >= 0 && FInitialIndex < ItemCount())
    index = FInitialIndex;
  else if (const int found = FItems.IndexOf(Caption()); found >= 0)
    index = found;
  FItemIndex = FPrevItemIndex = index;
  bar->SetPosition(index);
  TPopupView::Popup(X, Y);
}

void TPopupList::InvalidateItem(int Index) {
  const int y = (Index - VertScrollBar()->Position()) * FItemHeight;
  if (y + FItemHeight <= 0 || y >= ClientHeight()) return;
  InvalidateRect({0, y, ClientWidth(), y + FItemHeight});
}

void TPopupList::MouseMove(TShiftState Shift, int X, int Y) {
  TPopupView::MouseMove(Shift, X, Y);
  if (!ClientRect().Contains({X, Y})) return;
  // Below the last item nothing is highlighted anew.
  const int index = ItemAt(Y);
  if (index < 0 || index == FItemIndex) return;
  FPrevItemIndex = FItemIndex;
  FItemIndex = index;
  InvalidateItem(FPrevItemIndex);
  InvalidateItem(FItemIndex);
}

bool TPopupList::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TPopupView::DoMouseWheel(Shift, WheelDelta, MousePos);
  TControlScrollBar* bar = VertScrollBar();
  FWheel.Turn(WheelDelta, [bar](bool up) { up ? bar->LineUp() : bar->LineDown(); });
  return true;
}

void TPopupList::SelectAt(int, int Y) {
  const int index = ItemAt(Y);
  if (index < 0) return;  // a release below the last item chooses nothing
  FInitialIndex = index;
  if (OnSelect) OnSelect(this, FItems[index]);
}

void TPopupList::Paint() {
  TCanvas* c = Canvas();
  c->Font = Font();
  c->Brush.Style = bsSolid;
  const int width = ClientWidth(), height = ClientHeight();
  int y = 0;
  for (int i = VertScrollBar()->Position(); i < ItemCount() && y < height; ++i, y += FItemHeight) {
    const bool highlighted = i == FItemIndex;
    c->Brush.Color = highlighted ? clHighlight : clWindow;
    c->Font.SetColor(highlighted ? clHighlightText : clWindowText);
    const TRect row{0, y, width, y + FItemHeight};
    c->FillRect(row);
    DrawItem(i, row);
  }
  c->Brush.Color = clWindow;
  if (y < height) c->FillRect({0, y, width, height});
}

void TPopupList::DrawItem(int Index, const TRect& Rect) {
  TRect text = Rect;
  text.Left = Rect.Left + 2;
  if (FShowImages && FImages) {
    if (Index < FImages->Count())
      FImages->Draw(Canvas(), Rect.Left + 2, Rect.Top + FItemHeight / 2 - FImages->Height() / 2, Index);
    text.Left = Rect.Left + FImages->Width() + 5;
  }
  TGraphicsProvider::DrawTextLine(Canvas(), text, false, FItems[Index], taLeftJustify);
}
