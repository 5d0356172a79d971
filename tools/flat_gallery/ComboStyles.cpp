#include "ComboStyles.h"

#include "components/FlatComboBox.h"
#include "components/FlatPanel.h"
#include "components/MenuPainter.h"
#include "ui/Forms.h"

#include <string>

const char* const kColourNames[5] = {"Red", "Green", "Blue", "Navy", "Olive"};

namespace {

constexpr TColor kColours[5] = {RGB(200, 40, 40), RGB(40, 160, 60), RGB(40, 90, 200), clNavy, clOlive};

}  // namespace

void UseColourItems(TCustomComboBox* combo) {
  for (const char* name : kColourNames) combo->Items().Add(name);
  combo->OnDrawItem = [combo](TWinControl*, int index, const TRect& r, TOwnerDrawState) {
    // The brush and font come set for the state: the row first, then the swatch and the name.
    TCanvas* c = static_cast<TCustomComboBox*>(combo)->Canvas();
    c->FillRect(r);
    if (index < 0 || index >= 5) return;
    const TColor text = c->Font.Color();
    c->Brush.Color = clBlack;
    const TRect swatch{r.Left + 2, r.Top + 2, r.Left + 2 + 2 * (r.Height() - 4), r.Bottom - 2};
    c->FrameRect(swatch);
    c->Brush.Color = kColours[index];
    c->FillRect(TRect{swatch.Left + 1, swatch.Top + 1, swatch.Right - 1, swatch.Bottom - 1});
    c->Brush.Style = bsClear;
    c->Font.SetColor(text);
    TRect t{swatch.Right + 4, r.Top, r.Right, r.Bottom};
    c->DrawText(kColourNames[index], t, DT_SINGLELINE | DT_VCENTER);
    c->Brush.Style = bsSolid;
  };
  combo->OnMeasureItem = [](TWinControl*, int index, int& height) { height += 4 * (index % 3); };
}

void AddComboStyles(TForm* form, const std::function<void(const std::string&)>& status) {
  constexpr int kBand = 126, kStatus = 22;
  form->SetHeight(form->Height() + kBand);
  auto* band = Add<TFlatPanel>(form, 0, form->ClientHeight() - kStatus - kBand, form->ClientWidth(), kBand);
  band->SetAlign(alBottom);

  const struct {
    const char* caption;
    TComboBoxStyle style;
  } styles[] = {{"csSimple", csSimple},
                {"csDropDownList", csDropDownList},
                {"csOwnerDrawFixed", csOwnerDrawFixed},
                {"csOwnerDrawVariable", csOwnerDrawVariable}};
  int x = 8;
  for (const auto& s : styles) {
    auto* caption = Add<TLabel>(band, x, 6, 120, 15);
    caption->SetCaption(s.caption);
    const bool simple = s.style == csSimple;
    auto* combo = Add<TFlatComboBox>(band, x, 24, 120, simple ? 94 : 21);
    combo->SetStyle(s.style);
    if (combo->OwnerDraw()) {
      combo->SetItemHeight(16);
      UseColourItems(combo);
    } else {
      for (const char* item : {"MySQL", "MariaDB", "PostgreSQL", "SQLite"}) combo->Items().Add(item);
    }
    combo->SetItemIndex(1);
    combo->OnChange = [combo, status, s](TObject*) { status(std::string(s.caption) + ": " + combo->Text()); };
    x += 128;
  }

  // A standard control, flat through a painter that takes up nothing else;
  // it takes up what the form owns.
  auto* list = new TListBox(form);
  list->SetParent(band);
  list->SetBounds(x, 24, 100, 94);
  for (const char* name : kColourNames) list->Items().Add(name);
  list->SetItemIndex(0);
  list->OnClick = [list, status](TObject*) { status("List box: " + list->Items()[list->ItemIndex()]); };
  auto* caption = Add<TLabel>(band, x, 6, 100, 15);
  caption->SetCaption("painted TListBox");
  auto* painter = new TMenuPainter(form);
  painter->SetXPContainers(TXPContainers{xccPanel});
  painter->SetXPControls(TXPControls{xcListBox, xcCombo});
  painter->SetActive(true);
  painter->Loaded();
}
