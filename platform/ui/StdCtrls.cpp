#include "ui/StdCtrls.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

unsigned TLabel::TextFlags() const {
  unsigned flags = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (FWordWrap) flags |= DT_WORDBREAK;
  return flags;
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::TextChanged() {
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  TCanvas* c = Canvas();
  c->Font = Font();
  // A word-wrapped label keeps its width and grows downwards.
  TRect r{0, 0, FWordWrap ? Width() : 0, 0};
  c->DrawText(Caption(), r, TextFlags() | DT_CALCRECT);
  int left = Left();
  if (!FWordWrap && FAlignment == taRightJustify) left += Width() - r.Width();
  if (!FWordWrap && FAlignment == taCenter) left += (Width() - r.Width()) / 2;
  SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  if (!FTransparent) {
    c->Brush = TBrush{Color(), bsSolid};
    c->FillRect(client);
  }
  c->Brush.Style = bsClear;
  c->Font = Font();
  TRect r = client;
  if (Enabled()) {
    c->DrawText(Caption(), r, TextFlags());
    return;
  }
  // Disabled: embossed, a highlight one pixel down and right under a shadow.
  OffsetRect(r, 1, 1);
  c->Font.SetColor(clBtnHighlight);
  c->DrawText(Caption(), r, TextFlags());
  r = client;
  c->Font.SetColor(clBtnShadow);
  c->DrawText(Caption(), r, TextFlags());
}
