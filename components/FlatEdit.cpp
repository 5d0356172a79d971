#include "components/FlatEdit.h"

#include "ui/Forms.h"

#include <QApplication>

#include <algorithm>
#include <type_traits>

template <class TBase>
TFlatEditFrame<TBase>::TFlatEditFrame(TComponent* AOwner) : TBase(AOwner) {
  this->SetAutoSize(false);
  this->SetCtl3D(false);
  this->SetBorderStyle(bsNone);
  this->UpdateFrame();  // our edge, now that it is ours
  RedrawBorder();
}

template <class TBase>
TColor TFlatEditFrame<TBase>::ParentsColor() const {
  return this->Parent() ? this->Parent()->Color() : FColorFlat;
}

template <class TBase>
void TFlatEditFrame<TBase>::SetColorFlat(TColor value) {
  FColorFlat = value;
  FParentColor = false;
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetColorFocused(TColor value) {
  FColorFocused = value;
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetColorBorder(TColor value) {
  FColorBorder = value;
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (value) FColorFlat = ParentsColor();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetAdvColorFocused(TGradColors value) {
  FAdvColorFocused = std::clamp(value, 0, 100);
  if (!FUseAdvColors) return;
  DeriveColors();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetAdvColorBorder(TGradColors value) {
  FAdvColorBorder = std::clamp(value, 0, 100);
  if (!FUseAdvColors) return;
  DeriveColors();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  SetParentColor(value);
  DeriveColors();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::DeriveColors() {
  if (!FUseAdvColors) return;
  FColorFocused = CalcAdvancedColor(FColorFlat, FColorFocused, FAdvColorFocused, false);
  FColorBorder = CalcAdvancedColor(FColorFlat, FColorBorder, FAdvColorBorder, true);
}

template <class TBase>
void TFlatEditFrame<TBase>::ParentColorChanged() {
  TBase::ParentColorChanged();
  if (FUseAdvColors) {
    FColorFlat = ParentsColor();
    DeriveColors();
  } else if (FParentColor) {
    FColorFlat = ParentsColor();
  }
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::RedrawBorder() {
  bool look = this->Focused();
  if (!look && FHovered) {
    // A hovered control stays flat while one of its own kind has the focus.
    const TControl* active = TControl::FromWidget(QApplication::focusWidget());
    look = !(active && SameKind(active));
  }
  FLook = look;
  const TColor background = look ? FColorFocused : FColorFlat;
  if (this->Color() != background) this->SetColor(background);
  this->InvalidateFrame();
}

template <class TBase>
void TFlatEditFrame<TBase>::PaintFrame(TCanvas* c, const TRect& rect) {
  const TColor inner = FLook ? FColorFocused : FColorFlat;
  TRect r = rect;
  c->Brush = TBrush{FColorBorder, bsSolid};
  c->FrameRect(r);
  c->Brush.Color = inner;
  for (int i = 0; i < 2; ++i) {
    InflateRect(r, -1, -1);
    c->FrameRect(r);
  }
  if constexpr (std::is_base_of_v<TCustomMemo, TBase>) {
    // The corner between the two scroll bars.
    if (this->ScrollBars() == ssBoth) {
      TRect box = rect;
      InflateRect(box, -2, -2);
      c->FillRect(TRect{box.Right - 17, box.Bottom - 17, box.Right - 1, box.Bottom - 1});
    }
  }
}

template <class TBase>
void TFlatEditFrame<TBase>::FocusGained() {
  TBase::FocusGained();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::FocusLost() {
  TBase::FocusLost();
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::MouseEnter() {
  TBase::MouseEnter();
  if (!Application || !Application->Active()) return;
  FHovered = true;
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::MouseLeave() {
  TBase::MouseLeave();
  FHovered = false;
  RedrawBorder();
}

template <class TBase>
void TFlatEditFrame<TBase>::EnabledChanged() {
  TBase::EnabledChanged();
  RedrawBorder();
}

template class TFlatEditFrame<TCustomEdit>;
template class TFlatEditFrame<TCustomMemo>;

// ---------------------------------------------------------------- TCustomFlatEdit

TCustomFlatEdit::TCustomFlatEdit(TComponent* AOwner) : TFlatEditFrame(AOwner) { SetBounds(0, 0, 121, 19); }

bool TCustomFlatEdit::SameKind(const TControl* control) const { return dynamic_cast<const TFlatEdit*>(control); }

void TCustomFlatEdit::AdjustHeight() { SetHeight(GetFontMetrics(Font()).tmHeight + 6); }

void TCustomFlatEdit::Loaded() { AdjustHeight(); }
