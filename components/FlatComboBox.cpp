#include "components/FlatComboBox.h"

#include <algorithm>

TFlatComboBox::TFlatComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {
  SetItemHeight(13);
  PlaceWidgets();  // the edit where this box wants it
}

void TFlatComboBox::SetColorArrow(TColor value) {
  FColorArrow = value;
  Invalidate();
}

void TFlatComboBox::SetColorArrowBackground(TColor value) {
  FColorArrowBackground = value;
  Invalidate();
}

void TFlatComboBox::SetColorBorder(TColor value) {
  FColorBorder = value;
  Invalidate();
}

void TFlatComboBox::SetAdvColorBorder(TGradColors value) {
  FAdvColorBorder = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatComboBox::SetAdvColorArrowBackground(TGradColors value) {
  FAdvColorArrowBackground = std::clamp(value, 0, 100);
  DeriveColors();
  Invalidate();
}

void TFlatComboBox::SetUseAdvColors(bool value) {
  if (value == FUseAdvColors) return;
  FUseAdvColors = value;
  DeriveColors();
  Invalidate();
}

void TFlatComboBox::DeriveColors() {
  if (!FUseAdvColors || !Parent()) return;
  const TColor base = Parent()->Color();
  FColorBorder = CalcAdvancedColor(base, FColorBorder, FAdvColorBorder, true);
  FColorArrowBackground = CalcAdvancedColor(base, FColorArrowBackground, FAdvColorArrowBackground, true);
}

void TFlatComboBox::ParentColorChanged() {
  TCustomComboBox::ParentColorChanged();
  DeriveColors();
  Invalidate();
}

void TFlatComboBox::FontChanged() {
  TCustomComboBox::FontChanged();
  SetItemHeight(13);
}

TRect TFlatComboBox::ButtonRect() const { return TRect{Width() - kButtonWidth - 1, 0, Width() - 1, Height()}; }

TRect TFlatComboBox::ArrowButtonRect() const {
  TRect r = ButtonRect();
  InflateRect(r, 1, 0);
  return r;
}

TRect TFlatComboBox::EditRect() const {
  // A simple box's edit keeps to its row, above the list.
  const int bottom = Style() == csSimple ? EditRowHeight() : Height();
  return TRect{3, 3, std::max(3, Width() - kButtonWidth - 5), std::max(3, bottom - 3)};
}

TRect TFlatComboBox::StripRect() const {
  const int right = Width() - 2;
  return TRect{right - kButtonWidth - 8, 3, right - kButtonWidth - 3, std::max(3, Height() - 3)};
}

TPoint TFlatComboBox::ArrowOrigin() const {
  const TRect b = ArrowButtonRect();
  return {b.Width() / 2 - 6 + b.Left, b.Height() / 2 - 1 + b.Top};
}

void TFlatComboBox::PaintArrow(TCanvas* c, TPoint o, TColor color, bool up) {
  // Rows of 5, 3 and 1 pixels under (X + 4 .. X + 8), or the other way up.
  c->Brush = TBrush{color, bsSolid};
  for (int row = 0; row < 3; ++row) {
    const int half = up ? row : 2 - row;
    c->FillRect(TRect{o.X + 6 - half, o.Y + row, o.X + 7 + half, o.Y + row + 1});
  }
}

void TFlatComboBox::PaintFace() {
  TCanvas* c = Canvas();
  const int w = Width(), h = Height();
  const bool simple = Style() == csSimple;
  c->Brush = TBrush{Color(), bsSolid};
  // Without a button the box's own colour fills its place.
  c->FillRect(TRect{0, 0, simple ? w : w - kButtonWidth - 4, h});
  // The border: the frame colour outside, two rings of the text area's colour.
  TRect r{0, 0, w - kButtonWidth - 1, h};
  c->Brush.Color = FColorBorder;
  c->FrameRect(r);
  c->Brush.Color = Color();
  for (int i = 0; i < 2; ++i) {
    InflateRect(r, -1, -1);
    c->FrameRect(r);
  }
  // An open list of a box that types: the text area's inner ring turns clWindow.
  if (Style() == csDropDown && DroppedDown()) {
    c->Brush.Color = clWindow;
    c->FrameRect(TRect{2, 2, w - kButtonWidth - 3, h - 2});
  }
  if (simple) return;
  const TRect button = ArrowButtonRect();
  c->Brush.Color = FColorArrowBackground;
  c->FillRect(button);
  c->Brush.Color = FColorBorder;
  c->FrameRect(button);
  const TPoint o = ArrowOrigin();
  if (Enabled()) {
    PaintArrow(c, o, FColorArrow, DroppedDown());
  } else {
    PaintArrow(c, {o.X + 1, o.Y + 1}, clWhite, false);
    PaintArrow(c, o, 0x808080, false);
  }
}

void TFlatComboBox::PaintText(const TRect& r) {
  TCanvas* c = Canvas();
  const bool chosen = Focused() && !DroppedDown() && Enabled();
  TCustomComboBox::PaintText(r);
  // The strip between the text and the button; the focused box's highlight
  // runs up to the button in a frame round the text, over the focus rectangle.
  c->Brush = TBrush{chosen ? clHighlight : Color(), bsSolid};
  c->FillRect(StripRect());
  if (chosen) {
    c->Brush.Color = clHighlight;
    c->FrameRect(TRect{3, 3, Width() - kButtonWidth - 5, Height() - 3});
  }
}

void TFlatComboBox::PaintSimpleListFrame(TCanvas* canvas, const TRect& rect) {
  // Flat as the box: the frame colour outside, the text area's colour inside.
  TRect r = rect;
  canvas->Brush = TBrush{FColorBorder, bsSolid};
  canvas->FrameRect(r);
  InflateRect(r, -1, -1);
  canvas->Brush.Color = Color();
  canvas->FrameRect(r);
}
