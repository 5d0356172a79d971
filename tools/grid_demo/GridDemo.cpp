// grid_demo: a window with the column grid of the main window, for a person
// to click through: edit captions, tick check boxes, choose from the lists,
// sort by a header click, resize and drag columns, resize rows in the
// indicator, and switch the header style.

#include "DemoGrid.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"

namespace {

class TGridDemoForm : public TForm {
public:
  explicit TGridDemoForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Grid demo");
    SetBounds(100, 100, 900, 400);
    FImages = MakeDemoImages();
    FGrid = MakeDemoGrid(this, FImages.get(), ClientWidth(), ClientHeight() - 32);
    FGrid->SetAnchors({akLeft, akTop, akRight, akBottom});
    FGrid->SetOptions(TGridOptions(FGrid->Options()) << goRowResizing << goCanHideColumn);
    FGrid->SetCaption("No fields");
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetCaption("Header style:");
    label->SetBounds(8, ClientHeight() - 25, 80, 16);
    label->SetAnchors({akLeft, akBottom});
    auto* styles = new TComboBox(this);
    styles->SetParent(this);
    styles->SetStyle(csDropDownList);
    for (const char* style : {"hsAuto", "hsFlatBorders", "hsOldStyle", "hsOutlook"}) styles->Items().Add(style);
    styles->SetItemIndex(0);
    styles->SetBounds(92, ClientHeight() - 28, 130, 21);
    styles->SetAnchors({akLeft, akBottom});
    styles->OnChange = [this, styles](TObject*) {
      FGrid->SetHeaderStyle(static_cast<THeaderStyle>(styles->ItemIndex()));
    };
    auto* clear = new TButton(this);
    clear->SetParent(this);
    clear->SetCaption("Clear rows");
    clear->SetBounds(236, ClientHeight() - 29, 90, 23);
    clear->SetAnchors({akLeft, akBottom});
    clear->OnClick = [this](TObject*) { FGrid->ClearRows(); };
  }

private:
  std::unique_ptr<TImageList> FImages;
  TGridView* FGrid = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.SetTitle("Grid demo");
  TGridDemoForm* form = nullptr;
  app.CreateForm(form);
  app.Run();
  return 0;
}
