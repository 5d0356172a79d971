#pragma once
/** The column classes of the grid: text, pop-up, combo-box, check-box and
 *  image columns. */

#include "core/StringList.h"
#include "grid/Columns.h"
#include "ui/Bitmap.h"

#include <string>

/** Text cells (kind 7), edited in place; the text shows between TextAfter
 *  and TextBefore. */
class TTextualColumn : public TCustomColumn {
public:
  TTextualColumn();
  const std::string& TextAfter() const { return FTextAfter; }
  void SetTextAfter(const std::string& Value) { FTextAfter = Value; }
  const std::string& TextBefore() const { return FTextBefore; }
  void SetTextBefore(const std::string& Value) { FTextBefore = Value; }

  void Assign(const TCustomColumn& Source) override;
  TCellEditorClass EditorClass() const override { return ecTextualEditor; }
  TColumnDisplayClass DisplayClass() const override { return dcTextualColumnDisplay; }
  unsigned EditCapabilities() const override { return AllCapabilities; }
  /** TextAfter + Value + TextBefore. */
  std::string ValueToDisplayText(const std::string& Value) const override;
  /** Any key above the space starts editing. */
  bool KeyStartsEditing(WORD Key) const override { return Key > 32; }
  /** Puts the editor into cell-editing mode. */
  void PrepareEditor(const std::string& CellText) override;

private:
  std::string FTextAfter;
  std::string FTextBefore;
};

/** A text column whose editor has a pop-up window; the editor's close-up and
 *  select callbacks raise OnCloseUp and OnSelect with the column. */
class TPopupColumn : public TTextualColumn {
public:
  TColumnNotifyEvent OnCloseUp;
  TColumnNotifyEvent OnSelect;
  TCellEditorClass EditorClass() const override { return ecPopupEditor; }

protected:
  void EditorCreated() override;
};

enum TCompoBoxStyle { cbsDropDown, cbsDropDownList };

/** A pop-up column choosing from Items, optionally with images. */
class TComboBoxColumn : public TPopupColumn {
public:
  TDisplayMode DisplayMode() const { return FDisplayMode; }
  void SetDisplayMode(TDisplayMode Value) { FDisplayMode = Value; }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value) { FImages = Value; }
  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& Value) { FItems = Value; }
  TCompoBoxStyle Style() const { return FStyle; }
  void SetStyle(TCompoBoxStyle Value) { FStyle = Value; }

  void Assign(const TCustomColumn& Source) override;
  TCellEditorClass EditorClass() const override { return ecComboBoxEditor; }
  TColumnDisplayClass DisplayClass() const override { return dcComboBoxColumnDisplay; }
  /** Hands the editor the items, the images and the item of CellText; the
   *  text is read-only for a drop-down list. */
  void PrepareEditor(const std::string& CellText) override;

private:
  TDisplayMode FDisplayMode = dmTextOnly;
  int FDropDownCount = 8;
  TImageList* FImages = nullptr;
  TStringList FItems;
  TCompoBoxStyle FStyle = cbsDropDown;
};

/** Boolean cells (kind 3) shown as check boxes, toggled by a click. */
class TCheckBoxColumn : public TCustomColumn {
public:
  TCheckBoxColumn();
  TColumnDisplayClass DisplayClass() const override { return dcCheckBoxColumnDisplay; }
  TColumnPlayClass PlayClass() const override { return pcCheckBoxColumnPlay; }
  unsigned EditCapabilities() const override { return AllCapabilities; }
};

/** Integer cells (kind 6) holding an image index of Images. */
class TImageColumn : public TCustomColumn {
public:
  TImageColumn();
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value) { FImages = Value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { FTransparent = Value; }

  void Assign(const TCustomColumn& Source) override;
  TColumnDisplayClass DisplayClass() const override { return dcImageColumnDisplay; }

private:
  TImageList* FImages = nullptr;
  bool FTransparent = true;
};
