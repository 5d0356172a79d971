#include "components/FlatPushButton.h"

#include "ui/Forms.h"

#include <algorithm>

namespace {

TColor PixelOf(const TBitmap& b, int x, int y) {
  const std::uint8_t* px = b.ScanLine(y) + 4 * x;
  return RGB(px[2], px[1], px[0]);
}

}  // namespace

template <class TBase>
TFlatPushButton<TBase>::TFlatPushButton(TComponent* AOwner, THoverClass& hoverClass)
    : TFlatAdvColors<TBase>(AOwner, 0xE1EAEB, 0xC5D6D9, 0x8396A0),
      FHover(this, hoverClass, [this] { this->Invalidate(); }, [this] { return FPressed; }) {
  // The click comes from the button's own release, not from the layer.
  this->SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
  this->SetColor(0xE1EAEB);
  this->SetParentColor(true);
  this->SetBounds(0, 0, 25, 25);
}

template <class TBase>
void TFlatPushButton<TBase>::SetColorHighLight(TColor value) {
  FColorHighLight = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetColorShadow(TColor value) {
  FColorShadow = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetTransparentMode(TTransparentMode value) {
  FTransparentMode = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  Announce();
}

template <class TBase>
void TFlatPushButton<TBase>::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  Announce();
}

template <class TBase>
void TFlatPushButton<TBase>::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = value;
  if (value) {
    FState = bsExclusive;
    this->Invalidate();
    Announce();
  } else {
    FState = bsUp;
    this->Repaint();
  }
}

template <class TBase>
void TFlatPushButton<TBase>::Announce() {
  TWinControl* parent = this->Parent();
  if (FGroupIndex == 0 || !parent) return;
  std::vector<TFlatPushButton*> group;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TFlatPushButton*>(parent->Controls(i))) group.push_back(b);
  for (TFlatPushButton* b : group) b->ButtonPressed(FGroupIndex, this);
}

template <class TBase>
void TFlatPushButton<TBase>::ButtonPressed(int groupIndex, TFlatPushButton* sender) {
  if (groupIndex != FGroupIndex || sender == this) return;
  if (sender->FDown && FDown) {
    FDown = false;
    FState = bsUp;
    this->Invalidate();
  }
  FAllowAllUp = sender->FAllowAllUp;
}

template <class TBase>
void TFlatPushButton<TBase>::SetGlyph(const TBitmap& value) {
  FGlyph.Assign(value);
  if (!FGlyph.Empty() && FGlyph.Width() % FGlyph.Height() == 0) {
    const int cells = FGlyph.Width() / FGlyph.Height();
    FNumGlyphs = cells > 4 ? 1 : cells;
  }
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetNumGlyphs(TNumGlyphs value) {
  value = std::clamp(value, 1, 4);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetLayout(TButtonLayout value) {
  FLayout = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetMargin(int value) {
  if (value == FMargin || value < -1) return;
  FMargin = value;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::SetSpacing(int value) {
  FSpacing = value;
  this->Invalidate();
}

template <class TBase>
int TFlatPushButton<TBase>::GlyphCell(TNumGlyphs numGlyphs, TButtonState state) {
  switch (state) {
    case bsUp: return 1;
    case bsDisabled: return numGlyphs >= 2 ? 2 : 1;
    case bsDown: return numGlyphs >= 3 ? 3 : 1;
    case bsExclusive: return numGlyphs >= 4 ? 4 : numGlyphs == 3 ? 3 : 1;
  }
  return 1;
}

template <class TBase>
void TFlatPushButton<TBase>::Click() {
  if (this->Parent())
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TInherited::Click();
}

template <class TBase>
void TFlatPushButton<TBase>::DblClick() {
  if (FDown) TInherited::DblClick();
}

template <class TBase>
void TFlatPushButton<TBase>::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TInherited::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !this->Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    this->Invalidate();
  }
  FPressed = true;
}

template <class TBase>
void TFlatPushButton<TBase>::MouseMove(TShiftState Shift, int X, int Y) {
  TInherited::MouseMove(Shift, X, Y);
  FHover.MouseMoved(X, Y);
  if (!FPressed) return;
  const TButtonState state = FDown ? bsExclusive : Inside(X, Y) ? bsDown : bsUp;
  if (state == FState) return;
  FState = state;
  this->Invalidate();
}

template <class TBase>
void TFlatPushButton<TBase>::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TInherited::MouseUp(Button, Shift, X, Y);
  if (!FPressed) return;
  FPressed = false;
  const bool click = Inside(X, Y);
  if (FGroupIndex == 0) {
    FState = bsUp;
    FHover.SetHovered(false);
    if (click) this->Invalidate();
  } else if (click) {
    SetDown(!FDown);
    if (FDown) this->Repaint();
  } else {
    // A release outside that no move announced leaves no pressed look behind.
    FState = FDown ? bsExclusive : bsUp;
    this->Repaint();
  }
  if (click)
    Click();
  else
    FHover.HoverLeave();
  FHover.SyncHover();
}

template <class TBase>
void TFlatPushButton<TBase>::EnabledChanged() {
  TInherited::EnabledChanged();
  if (!this->Enabled()) {
    FHover.SetHovered(false);
    FPressed = false;
    FState = bsDisabled;
    FHover.ReleaseHoverTimer();
  }
  FHover.SyncHover();
  this->Invalidate();
}

template <class TBase>
bool TFlatPushButton<TBase>::DialogChar(TKeyChar Key, TShiftState Shift) {
  if (TControl::IsAccel(Key, this->Caption()) && this->Enabled()) {
    Click();
    return true;
  }
  return TInherited::DialogChar(Key, Shift);
}

template <class TBase>
void TFlatPushButton<TBase>::PaintButton(TCanvas* c) {
  const bool hasGlyph = !FGlyph.Empty();
  TColor transparent = hasGlyph ? PixelOf(FGlyph, 0, FGlyph.Height() - 1) : clNone;
  c->Font = this->Font();
  const TPoint offset = FState == bsDown || FState == bsExclusive ? TPoint{1, 1} : TPoint{0, 0};
  PlaceGlyphAndText(c, this->ClientRect(), offset, this->Caption(), FLayout, FMargin, FSpacing, &FGlyph, FNumGlyphs,
                    FGlyphPos, FTextBounds);
  if (!this->Enabled()) {
    FState = bsDisabled;
    FPressed = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }

  const bool hovered = FHover.Hovered();
  TColor face = this->Color();
  switch (FState) {
    case bsUp: face = hovered ? this->ColorFocused() : this->Color(); break;
    case bsDisabled: face = this->Color(); break;
    case bsDown: face = this->ColorDown(); break;
    case bsExclusive: face = hovered ? this->ColorFocused() : this->ColorDown(); break;
  }
  PaintBackground(c, face);

  TRect r = this->ClientRect();
  switch (FState) {
    case bsUp:
      if (hovered)
        Frame3D(c, r, FColorHighLight, FColorShadow, 1);
      else
        Frame3D(c, r, this->ColorBorder(), this->ColorBorder(), RestingBorderWidth());
      break;
    case bsDisabled: Frame3D(c, r, this->ColorBorder(), this->ColorBorder(), 1); break;
    case bsDown:
    case bsExclusive: Frame3D(c, r, FColorShadow, FColorHighLight, 1); break;
  }

  if (hasGlyph) {
    const int cells = std::max(1, FNumGlyphs), cellWidth = FGlyph.Width() / cells;
    const int cell = GlyphCell(cells, FState) - 1;
    const int left = cell * cellWidth, right = cell == cells - 1 ? FGlyph.Width() : left + cellWidth;
    const int h = FGlyph.Height();
    if (right > left) {
      TBitmap part(right - left, h);
      part.Canvas()->CopyRect(TRect{0, 0, right - left, h}, *FGlyph.Canvas(), TRect{left, 0, right, h});
      std::unique_ptr<TBitmap> grey;
      const TBitmap* shown = &part;
      if (cells == 1 && FState == bsDisabled) {
        grey = CreateDisabledBitmap(part, clBlack, clBtnFace, clBtnHighlight, clBtnShadow, true);
        shown = grey.get();
        transparent = PixelOf(*grey, 0, h - 1);
      }
      TImageList list(shown->Width(), h);
      list.AddMasked(*shown, transparent);
      list.Draw(c, FGlyphPos.X, FGlyphPos.Y, 0);
    }
  }

  DrawFlatCaption(c, this->Caption(), FTextBounds, DT_CENTER | DT_VCENTER | DT_SINGLELINE, FState != bsDisabled);
}

template class TFlatPushButton<TGraphicControl>;
template class TFlatPushButton<TCustomControl>;
