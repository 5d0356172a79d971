#include "components/FlatPanel.h"

#include "components/FlatUtils.h"
#include "ui/Bitmap.h"

TFlatPanel::TFlatPanel(TComponent* AOwner) : TCustomPanel(AOwner) { SetParentColor(true); }

void TFlatPanel::SetColorHighLight(TColor value) {
  FColorHighLight = value;
  Invalidate();
}

void TFlatPanel::SetColorShadow(TColor value) {
  FColorShadow = value;
  Invalidate();
}

void TFlatPanel::SetTransparent(bool value) {
  FTransparent = value;
  Invalidate();
}

void TFlatPanel::Paint() {
  if (ClientWidth() <= 0 || ClientHeight() <= 0) return;
  TBitmap picture(ClientWidth(), ClientHeight());
  TCanvas* c = picture.Canvas();
  TRect r = ClientRect();
  if (FTransparent) {
    DrawParentImage(c);
  } else {
    c->Brush = TBrush{Color(), bsSolid};
    c->FillRect(r);
  }
  Frame3D(c, r, FColorHighLight, FColorShadow, 1);
  c->Font = Font();
  const unsigned align = Alignment() == taLeftJustify ? DT_LEFT : Alignment() == taRightJustify ? DT_RIGHT : DT_CENTER;
  DrawFlatCaption(c, Caption(), ClientRect(), DT_VCENTER | DT_SINGLELINE | align, Enabled());
  Canvas()->Draw(0, 0, picture);
}
