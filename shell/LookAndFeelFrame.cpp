#include "shell/LookAndFeelFrame.h"

#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "core/Files.h"
#include "model/FileLogger.h"
#include "model/General.h"
#include "shell/DialogParts.h"
#include "shell/MainFormUnit.h"
#include "shell/TableDetailInterface.h"
#include "ui/ExtCtrls.h"
#include "ui/HtmlView.h"
#include "ui/StdCtrls.h"

namespace {

constexpr TColor kSelectorColor = 16776176;  // RGB 240, 251, 255

TFlatComboBox* NewSelector(TComponent* owner, TWinControl* parent, const std::string& name, int x, int y, int w,
                           std::initializer_list<const char*> items) {
  auto* box = NewControl<TFlatComboBox>(owner, parent, name, x, y, w, 21);
  box->SetStyle(csDropDownList);
  box->SetColor(kSelectorColor);
  for (const char* item : items) box->Items().Add(item);
  box->SetItemIndex(items.size() ? 0 : -1);
  return box;
}

}  // namespace

TLookAndFeel::TLookAndFeel(TComponent* AOwner) : TFrame(AOwner) {
  SetName("LookAndFeelPanel");
  SetBounds(0, 0, 664, 464);
  HtmlSettingsBorder = NewControl<TPanel>(this, this, "HtmlSettingsBorder", 0, 0, 664, 145);
  HtmlSettingsBorder->SetAlign(alTop);
  HtmlSettingsBorder->SetBevelOuter(bvNone);
  TWinControl* box = HtmlSettingsBorder;

  NewLabel(this, box, 16, 19, "Look And Feel:");
  CssSelector = NewSelector(this, box, "CssSelector", 120, 16, 160, {});
  NewLabel(this, box, 16, 49, "Table width:");
  ETableWidth = NewEdit(this, box, "ETableWidth", 120, 47, 60, "80");
  ETableWidth->OnKeyPress = [this](TObject*, TKeyChar& key) { ETableWidthKeyPress(key); };
  CssSelector->OnEnter = [this](TObject*) { CssSelectorEnter(); };
  CssSelector->OnChange = [this](TObject*) { CssSelectorChange(); };
  TableSizeSelector = NewSelector(this, box, "TableSizeSelector", 186, 46, 94, {"%", "pixel"});
  NewLabel(this, box, 16, 79, "Table align:");
  ETableAlign = NewSelector(this, box, "ETableAlign", 120, 76, 160, {"Center", "Left", "Right"});
  ETableAlign->SetColorArrowBackground(13160660);  // RGB 212, 208, 200
  NewLabel(this, box, 310, 19, "Number of rows:");
  ERowNumber = NewEdit(this, box, "ERowNumber", 410, 17, 60, "20");
  ERowNumber->OnKeyPress = [](TObject*, TKeyChar& key) { DigitsOnly(key); };
  NewLabel(this, box, 310, 49, "Page title:");
  EPageTitle = NewEdit(this, box, "EPageTitle", 410, 47, 200, "Brannoch");

  Browser = NewControl<THtmlView>(this, this, "Browser", 0, 145, 664, 319);
  Browser->SetAlign(alClient);
  OnExit = [this](TObject*) { FrameExit(); };
  ThemesFolder = GetAppFolder() + "themes/";
  FillThemes();
}

std::string TLookAndFeel::ThemeName() const { return CssSelector->Text(); }

void TLookAndFeel::FillThemes() {
  const std::string chosen = CssSelector->Text();
  CssSelector->Items().Clear();
  for (const std::string& name : FindFiles(ThemesFolder, "*"))
    if (name != "." && name != ".." && DirectoryExists(ThemesFolder + name)) CssSelector->Items().Add(name);
  CssSelector->SetItemIndex(CssSelector->Items().IndexOf(chosen));
}

void TLookAndFeel::CssSelectorEnter() {
  FillThemes();
  if (CssSelector->Items().Empty()) return;
  CssSelector->SetItemIndex(0);
  CssSelectorChange();
  auto* form = dynamic_cast<TMainForm*>(Owner());
  const std::string css = form && form->Project() ? form->Project()->CSS : std::string();
  const int index = css.empty() ? -1 : CssSelector->Items().IndexOf(css);
  if (index < 0) return;
  CssSelector->SetItemIndex(index);
  CssSelectorChange();
}

std::string TLookAndFeel::PreviewDocument(const std::string& linkLine, const std::string& fragment) {
  return "<html><head>" + linkLine + "</head><body>" + fragment + "</body></html>";
}

void TLookAndFeel::CssSelectorChange() {
  const std::string theme = CssSelector->Text();
  if (theme.empty()) return;
  const std::string folder = ThemesFolder + theme + "/";
  // The fragment first: without it there is nothing to write or show.
  const std::string fragment = ReadFileText(folder + "preview.tbl");
  const std::string link = "<link href=\"" + theme + ".css\" rel=\"stylesheet\" type=\"text/css\">";
  try {
    WriteFileAtomic(folder + "preview.html", link + "\r\n" + fragment);
  } catch (const std::exception& e) {
    // A folder the program may not write to still gets its preview shown.
    WriteLog("  CssSelectorChange " + std::string(e.what()));
  }
  Browser->LoadFromString(PreviewDocument(link, fragment), folder);
}

void TLookAndFeel::ETableWidthKeyPress(TKeyChar& Key) { DigitsOnly(Key); }

void TLookAndFeel::FrameExit() {
  if (auto* form = dynamic_cast<TMainForm*>(Owner()); form && form->Project()) TInterfaceTableDetail(*form).saveLook();
}
