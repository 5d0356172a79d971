#include "shell/About.h"

#include "components/FlatButton.h"
#include "components/VersionInfo.h"
#include "shell/DialogParts.h"
#include "shell/Pictures.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

TLabel* NewCaption(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y,
                   const std::string& caption) {
  TLabel* label = NewLabel(owner, parent, x, y, caption);
  label->SetName(name);
  label->Font().SetColor(clWhite);
  label->Font().SetStyle(fsBold);
  return label;
}

}  // namespace

TYztAbout::TYztAbout(TComponent* AOwner) : TProgramDialog(AOwner) {
  SetName("YztAbout");
  SetCaption("About");
  SetPosition(poOwnerFormCenter);
  SetBounds(0, 0, 389, 431);

  Image1 = NewControl<TImage>(this, this, "Image1", 0, 0, 389, 431);
  Image1->SetAlign(alClient);
  Image1->SetStretch(true);
  TBitmap picture;
  DrawAboutPicture(picture, 389, 431);
  Image1->Picture().SetImage(picture.Image());
  Image1->OnClick = [this](TObject*) { Image1Click(); };

  Label1 = NewCaption(this, this, "Label1", 16, 402, "Version:");
  LVersion = NewCaption(this, this, "LVersion", 72, 402, "0.0.0.0");

  FlatButton1 = NewButton(this, this, "FlatButton1", "Close", 298, 396, 75, 25);
  FlatButton1->SetColor(clGray);
  FlatButton1->SetColorFocused(kSkyBlue);
  FlatButton1->SetColorDown(kSkyBlue);
  FlatButton1->SetColorHighLight(clNavy);
  FlatButton1->SetColorShadow(clNavy);
  FlatButton1->Font().SetColor(clWhite);
  FlatButton1->OnClick = [this](TObject*) { FlatButton1Click(); };
  SetDialogButtons(FlatButton1, FlatButton1);
  SetActiveControl(FlatButton1);

  VerInfo1 = new TVerInfo(this);
  VerInfo1->SetName("VerInfo1");
}

void TYztAbout::PrepareSplash() {
  SetBorderStyle(bsNone);
  LVersion->SetCaption(VerInfo1->FileVersion());
}

TModalResult TYztAbout::MakeSplash() {
  PrepareSplash();
  return ShowModal();
}

void TYztAbout::FlatButton1Click() { Close(); }

void TYztAbout::Image1Click() { Close(); }
