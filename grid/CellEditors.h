#pragma once
/** The grid's in-place editors: a text editor over a line edit, an editor
 *  with a small button, a drop-down editor with a pop-up window and a
 *  combo-box editor with items and images, and their small buttons. Each
 *  column that can be edited owns one, hidden; the grid places it over a
 *  cell, gives it the cell's text, shows and focuses it, reads the text back
 *  and hides it again. */

#include "core/StringList.h"
#include "grid/Cells.h"
#include "grid/Columns.h"
#include "grid/PopupView.h"
#include "grid/SharedCommon.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLineEdit;
class QStyle;
class QObject;
class TCellEditor;

/** The mirrored arrow shown over an editor's left edge, where a press selects the whole text. */
constexpr TCursor crReversedArrow = 100;

enum TDropDownStyle { dsDropDown, dsDropDownList };
/** Draws into the preview box left of the text. */
using TCustomPreviewDrawEvent = std::function<void(TObject* Sender, const TRect& PreviewRect)>;

/** A small button inside an editor's right edge: a press focuses the
 *  editor and calls OnPress, the release calls OnButtonClick. */
class TSmallButton : public TCustomControl {
public:
  explicit TSmallButton(TCellEditor* Editor);
  TCellEditor* Editor() const { return FEditor; }
  bool Pressed() const { return FPressed; }
  void SetPressed(bool Value);
  bool Hot() const { return FHot; }
  void SetHot(bool Value);

  std::function<void()> OnPress;
  std::function<void()> OnButtonClick;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  /** The visual style's state: 3 pressed, 2 hot, 1 otherwise. */
  int ThemeState() const { return FPressed ? 3 : FHot ? 2 : 1; }

private:
  TCellEditor* FEditor;
  bool FPressed = false;
  bool FHot = false;
};

/** A push button 21 pixels wide with an optional glyph and its caption. */
class TExecuteButton : public TSmallButton {
public:
  explicit TExecuteButton(TCellEditor* Editor);
  TBitmap& Glyph() { return FGlyph; }

protected:
  void Paint() override;

private:
  TBitmap FGlyph;
};

/** The combo box's arrow button, 16 pixels wide. */
class TDropDownButton : public TSmallButton {
public:
  explicit TDropDownButton(TCellEditor* Editor);

protected:
  void Paint() override;
};

/** The base of the editors: border, colour, margin, alignments and text,
 *  with the text read and written as typed values the way a text cell
 *  converts them. 121 x 20 at creation. */
class TCellEditor : public TCustomControl, public virtual ICellEditor {
public:
  explicit TCellEditor(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int Margin() const { return FMargin; }
  virtual void SetMargin(int Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  virtual void SetVerticalAlignment(TVerticalAlignment Value);
  virtual std::string Text() const { return Caption(); }
  virtual void SetText(const std::string& Value);

  // The value readers and writers; bad text raises the text cell's conversion errors.
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  double AsFloat() const;
  std::int32_t AsInteger() const;
  std::string AsString() const { return Text(); }
  void SetAsBoolean(bool Value);
  void SetAsDateTime(TDateTime Value);
  void SetAsFloat(double Value);
  void SetAsInteger(std::int32_t Value);
  void SetAsString(const std::string& Value) { SetText(Value); }

  /** Whether the text can be typed into. */
  virtual bool TextEditable() const { return true; }
  /** Text typed on a cell that opens the editor: it becomes the whole text,
   *  unless the text cannot be typed into. */
  virtual void TypeText(const std::string& Value);
  virtual void MoveEnd() {}
  virtual void ClearText() { SetText(""); }
  virtual void SelectAllText() {}
  void SetCellEditing(bool) override {}

  unsigned DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  TNotifyEvent OnChange;

protected:
  /** The text changed: fires OnChange. */
  virtual void Change();
  /** Paints the client area when the text cannot be typed into. */
  virtual void PaintUneditable() {}
  void Paint() override;
  void PaintFrame(TCanvas* Canvas, const TRect& Rect) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void FocusGained() override;
  void FocusLost() override;
  void TextChanged() override;
  static const TFormatSettings& Formats();

private:
  TAlignment FAlignment = taLeftJustify;
  TBorderStyle FBorderStyle = bsSingle;
  int FMargin = 0;
  TVerticalAlignment FVerticalAlignment = vaMiddle;
};

/** The text editor: a line edit laid over the formatting rectangle, a
 *  preview box at the left on request. Enter types nothing. A press on the
 *  two leftmost pixels selects the whole text. */
class TTextualEditor : public TCellEditor {
public:
  explicit TTextualEditor(TComponent* AOwner);
  ~TTextualEditor() override;

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  /** Not 0: the text is shown masked. */
  TKeyChar PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(TKeyChar Value);
  bool PreviewBorder() const { return FPreviewBorder; }
  void SetPreviewBorder(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool ShowPreview() const { return FShowPreview; }
  void SetShowPreview(bool Value);
  /** Set while the editor edits a grid cell. */
  bool CellEditing() const { return FCellEditing; }
  void SetCellEditing(bool Value) override { FCellEditing = Value; }

  std::string Text() const override;
  /** Puts the caret before the first character, so the start of the text
   *  shows; the text it holds while typed into is left as it is. */
  void SetText(const std::string& Value) override;
  /** The caret after the last character; a read-only editor keeps it (and
   *  the view) at the start. */
  void MoveEnd() override;
  /** Selects the whole text with the caret at its start, where the view stays. */
  void SelectAllText() override;
  int SelStart() const;
  int SelLength() const;

  void SetAlignment(TAlignment Value) override;
  void SetMargin(int Value) override;
  void SetVerticalAlignment(TVerticalAlignment Value) override;

  /** Where the text is laid out (client coordinates). */
  virtual TRect FormattingRect() const;
  /** The preview box: the client area moved in by a pixel at the left, top and bottom, 20 wide. */
  TRect PreviewRect() const { return {1, 1, 21, ClientHeight() - 1}; }
  /** The line edit the text is typed into. */
  QLineEdit* LineEdit() const { return FLine; }

  TCustomPreviewDrawEvent OnCustomPreviewDraw;

protected:
  /** Draws the preview into Box (the preview box less a pixel): OnCustomPreviewDraw. */
  virtual void DrawPreview(const TRect& Box);
  /** Lays the line edit over the formatting rectangle again. */
  void UpdateFormatting();
  /** A press at the left edge: focus and select the whole text. */
  void EdgePress();
  void Paint() override;
  void PlaceWidgets() override;
  void KeyPress(TKeyChar& Key) override;
  void DoEnter() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void FontChanged() override;
  void ColorChanged() override;
  void EnabledChanged() override;
  /** The cursor away from the left edge. */
  TCursor StyleCursor() const { return FStyleCursor; }
  void SetStyleCursor(TCursor Value);

private:
  friend class TEdgeFilter;
  void ApplyLook();
  QLineEdit* FLine = nullptr;
  std::unique_ptr<QObject> FSignals;
  /** The line edit's style while a password character is set: it names that character. */
  std::unique_ptr<QStyle> FMaskStyle;
  bool FAutoSelect = false;
  TKeyChar FPasswordChar = 0;
  bool FPreviewBorder = false;
  bool FReadOnly = false;
  bool FShowPreview = false;
  bool FCellEditing = false;
  bool FCreating = true;
  TCursor FStyleCursor = crDefault;
};

enum TSmallButtonClass { sbcExecute, sbcDropDown };
enum TPopupViewClass { pvcPlain, pvcList };

/** A text editor with a small button at its right edge and a pop-up window
 *  (hidden) that the button can open. */
class TCustomButtonCellEditor : public TTextualEditor {
public:
  explicit TCustomButtonCellEditor(TComponent* AOwner) : TCustomButtonCellEditor(AOwner, sbcExecute, pvcPlain) {}
  ~TCustomButtonCellEditor() override;

  TSmallButton* Button() const { return FButton.get(); }
  TPopupView* Popup() const { return FPopup.get(); }
  /** Less the button's width at the right. */
  TRect FormattingRect() const override;
  void MoveEnd() override;
  /** Closes the pop-up, takes Value as the text and lets the button go. */
  virtual void CloseUpWithValue(const std::string& Value);

  TNotifyEvent OnButtonClick;

protected:
  TCustomButtonCellEditor(TComponent* AOwner, TSmallButtonClass ButtonClass, TPopupViewClass PopupClass);
  /** The button's press: opens the pop-up where there is one to open. */
  virtual void DropDown() {}
  /** The pop-up closed (by a choice, a press outside or from code). */
  virtual void PopupClosed();
  void SizeChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;

private:
  void PlaceButton();
  std::unique_ptr<TSmallButton> FButton;
  std::unique_ptr<TPopupView> FPopup;
};

/** A drop-down editor: its button (or, as a list, a press anywhere) opens
 *  the pop-up below it; Escape closes it. As a list the editor paints its
 *  text itself and cannot be typed into. */
class TPopupEditor : public TCustomButtonCellEditor, public virtual IPopupEditor {
public:
  explicit TPopupEditor(TComponent* AOwner) : TPopupEditor(AOwner, pvcPlain) {}

  TDropDownStyle Style() const { return FStyle; }
  virtual void SetStyle(TDropDownStyle Value);
  bool DroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool Value);
  bool HideFocus() const { return FHideFocus; }
  void SetHideFocus(bool Value);

  bool TextEditable() const override { return FStyle != dsDropDownList; }
  void SelectAllText() override;
  TRect FormattingRect() const override;
  void CloseUpWithValue(const std::string& Value) override;
  void SetOnCloseUp(std::function<void()> Value) override;
  void SetOnSelect(std::function<void()> Value) override;

  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;

protected:
  TPopupEditor(TComponent* AOwner, TPopupViewClass PopupClass);
  /** Hands the pop-up what it shows before it opens. */
  virtual void PreparePopup() {}
  /** Fires OnCloseUp. */
  virtual void DoCloseUp();
  void DropDown() override;
  void PopupClosed() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void PaintUneditable() override;
  void VisibleChanged() override;

private:
  TDropDownStyle FStyle = dsDropDown;
  bool FDroppedDown = false;
  bool FHideFocus = false;
};

/** A drop-down editor choosing from Items, with an optional image per item. */
class TComboBoxEditor : public TPopupEditor, public virtual IComboBoxEditor {
public:
  explicit TComboBoxEditor(TComponent* AOwner);

  const TStringList& Items() const { return FItems; }
  void SetItems(const TStringList& Value) override { FItems = Value; }
  int ItemIndex() const { return FItemIndex; }
  /** Stores the index; an index of an item also sets the text. */
  void SetItemIndex(int Value) override;
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) override { FDropDownCount = Value; }
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value; }
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value) override;
  void SetShowPreview(bool Value) override { TTextualEditor::SetShowPreview(Value); }
  void SetReadOnly(bool Value) override { TTextualEditor::SetReadOnly(Value); }
  void SetStyle(TDropDownStyle Value) override;
  /** A list (read-only text) takes the first item that starts with Value,
   *  letter case ignored, and keeps its item when none does: text outside
   *  the items never gets in. */
  void TypeText(const std::string& Value) override;
  TPopupList* PopupList() const { return static_cast<TPopupList*>(Popup()); }

protected:
  void PreparePopup() override;
  void DoCloseUp() override;
  void DrawPreview(const TRect& Box) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
  TStringList FItems;
  int FItemIndex = -1;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  TImageList* FImages = nullptr;
  TWheelNotches FWheel;
};

/** F4, Alt+Down or Alt+Up: the keys that open and close a drop-down. */
bool IsDropDownKey(WORD Key, TShiftState Shift);

/** Registers the editors' cursor, drawn in code, under crReversedArrow. */
void RegisterEditorCursor();
