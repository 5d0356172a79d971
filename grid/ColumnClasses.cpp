#include "grid/ColumnClasses.h"

TTextualColumn::TTextualColumn() {
  SetKind(7);
  SetOptions(TColumnOptions(Options()) << coShowTextFitHint);
}

void TTextualColumn::Assign(const TCustomColumn& Source) {
  TCustomColumn::Assign(Source);
  if (auto* textual = dynamic_cast<const TTextualColumn*>(&Source)) {
    SetTextAfter(textual->FTextAfter);
    SetTextBefore(textual->FTextBefore);
  }
}

std::string TTextualColumn::ValueToDisplayText(const std::string& Value) const {
  return FTextAfter + Value + FTextBefore;
}

void TTextualColumn::PrepareEditor(const std::string&) {
  if (ICellEditor* editor = Editor()) editor->SetCellEditing(true);
}

void TPopupColumn::EditorCreated() {
  if (auto* popup = dynamic_cast<IPopupEditor*>(Editor())) {
    // Read when raised, so handlers set later still count.
    popup->SetOnCloseUp([this] {
      if (OnCloseUp) OnCloseUp(*this);
    });
    popup->SetOnSelect([this] {
      if (OnSelect) OnSelect(*this);
    });
  }
}

void TComboBoxColumn::Assign(const TCustomColumn& Source) {
  TTextualColumn::Assign(Source);
  if (auto* combo = dynamic_cast<const TComboBoxColumn*>(&Source)) {
    SetDropDownCount(combo->FDropDownCount);
    SetItems(combo->FItems);
    SetStyle(combo->FStyle);
  }
}

void TComboBoxColumn::PrepareEditor(const std::string& CellText) {
  TTextualColumn::PrepareEditor(CellText);
  auto* combo = dynamic_cast<IComboBoxEditor*>(Editor());
  if (!combo) return;
  combo->SetItems(FItems);
  combo->SetImages(FImages);
  combo->SetItemIndex(FItems.IndexOf(CellText));
  combo->SetShowPreview(FDisplayMode != dmTextOnly);
  combo->SetDropDownCount(FDropDownCount);
  combo->SetReadOnly(FStyle == cbsDropDownList);
}

TCheckBoxColumn::TCheckBoxColumn() {
  SetKind(3);
  SetSortType(stBoolean);
}

TImageColumn::TImageColumn() {
  SetKind(6);
  SetDefaultValue("0");
  SetSortType(stNumeric);
}

void TImageColumn::Assign(const TCustomColumn& Source) {
  TCustomColumn::Assign(Source);
  if (auto* image = dynamic_cast<const TImageColumn*>(&Source)) SetImages(image->FImages);
}
