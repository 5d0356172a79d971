#include "shell/TableDetailInterface.h"

#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "core/Exception.h"
#include "core/TextUtils.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/MainFormUnit.h"

namespace {

int32_t Number(const TFlatEdit* edit) {
  int32_t value = 0;
  if (!TryStrToInt(edit->Text(), value)) throw EConvertError("'" + edit->Text() + "' is not a valid integer value");
  return value;
}

}  // namespace

void TInterfaceTableDetail::fillLook() {
  const TProjectManager& p = *FForm.Project();
  TLookAndFeel& look = *FForm.LookAndFeelPanel;
  look.EPageTitle->SetText(p.SiteCaption);
  look.ERowNumber->SetText(IntToStr(p.RowNumber));
  look.ETableWidth->SetText(IntToStr(p.TableWidth));
  look.TableSizeSelector->SetItemIndex(p.WidthType);
  look.ETableAlign->SetItemIndex(look.ETableAlign->Items().IndexOf(p.TableAlign));
  look.CssSelector->SetItemIndex(look.CssSelector->Items().IndexOf(p.CSS));
}

void TInterfaceTableDetail::saveLook() {
  TProjectManager& p = *FForm.Project();
  TLookAndFeel& look = *FForm.LookAndFeelPanel;
  const int32_t rows = Number(look.ERowNumber);
  const int32_t width = Number(look.ETableWidth);
  p.SiteCaption = look.EPageTitle->Text();
  p.RowNumber = rows;
  p.TableWidth = width;
  p.WidthType = look.TableSizeSelector->ItemIndex();
  p.TableAlign = look.ETableAlign->Text();
  if (!look.CssSelector->Text().empty()) p.CSS = look.CssSelector->Text();
}
