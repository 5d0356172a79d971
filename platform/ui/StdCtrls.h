#pragma once
/** Standard controls: label, edit, memo, combo box, push button, check box,
 *  radio button and group box, with the string lists of the memo and the
 *  combo box. The edits host Qt's own input widgets inside a classic frame;
 *  the combo box, the buttons and the group box paint themselves. */

#include "core/Services.h"
#include "core/StringList.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/Menus.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QLineEdit;
class QObject;
class QPlainTextEdit;
class QProxyStyle;
class TComboDropDown;
class TCustomListBox;
class TItemList;
class TItemRows;
class TEditValidator;
class TMemoLines;

/** A caption drawn in the label's font. With AutoSize (the default) the label
 *  takes the size of its text (a caption that shows nothing, none or a lone
 *  "&", that of one blank); a disabled label is drawn embossed. */
class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* AOwner);

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  /** An "&" in the caption marks the next character (and is not drawn);
   *  off, the caption is drawn as it stands. On by default. */
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);

  /** The DrawText flags the caption is drawn with. */
  unsigned TextFlags() const;

protected:
  void Paint() override;
  void TextChanged() override;
  void FontChanged() override;

private:
  void AdjustBounds();
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
};

/** The class library's abstract list of text lines: the lines of a memo and
 *  the items of a combo box are views of their controls through it. */
class TStrings {
public:
  virtual ~TStrings() = default;
  virtual int Count() const = 0;
  /** The line at index; an index outside the list raises EListError. */
  virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& line);
  /** Inserts before index; index == Count() appends. */
  virtual void Insert(int index, const std::string& line) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  /** Appends the line (a sorted list puts it in its place); returns its index. */
  virtual int Add(const std::string& line);
  /** Replaces the lines by text split at CR LF, CR or LF. */
  virtual void SetText(std::string_view text);
  void Assign(const TStringList& lines);

  bool Empty() const { return Count() == 0; }
  std::string operator[](int index) const { return Get(index); }
  /** The first line equal to line, letter case ignored as the class library
   *  compares; -1 when there is none. */
  int IndexOf(std::string_view line) const;
  /** Every line followed by CR LF. */
  std::string Text() const;
  TStringList ToStringList() const;

protected:
  /** Raises EListError unless 0 <= index < count. */
  static void CheckIndex(int index, int count);
};

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

/** A text entry: a Qt input widget without a frame of its own, inside the
 *  classic frame (a 2-pixel sunken edge for bsSingle with Ctl3D, a 1-pixel
 *  line without Ctl3D, none for bsNone). Color is the text background.
 *  OnChange fires whenever the text changes, also when code sets it. With
 *  AutoSize and a frame the height follows the font (text height + 8, + 6
 *  without Ctl3D). Selections count characters (UTF-16 units); a memo
 *  counts each line break as one. */
class TCustomEdit : public TWinControl {
public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  std::string Text() const;
  void SetText(const std::string& text);
  /** 0: no limit. A single-line edit also cuts text set from code; a memo
   *  limits typing only. */
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  /** The character shown in place of each typed one; 0 shows the text. */
  TKeyChar PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(TKeyChar value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  /** Upper or lower case applies to typed, pasted and assigned text alike. */
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  /** Selects the whole text when the focus comes in other than by the mouse. */
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  /** bsNone or bsSingle. */
  void SetBorderStyle(TBorderStyle value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  /** The selection shows only while the edit has the focus (on by default). */
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);

  int SelStart() const;
  /** Puts the caret at value and ends the selection. */
  void SetSelStart(int value);
  int SelLength() const;
  /** Selects value characters from SelStart. */
  void SetSelLength(int value);
  std::string SelText() const;
  void SelectAll();

  unsigned DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

  TNotifyEvent OnChange;

protected:
  /** A multi-line edit around memo (owned from here on). */
  TCustomEdit(TComponent* AOwner, QPlainTextEdit* memo);

  /** The text changed (EN_CHANGE): fires OnChange. */
  virtual void Change();
  /** The frame's width for the border style and the 3D look. */
  virtual int EdgeWidth() const;
  /** Sets the height for the font (AutoSize). */
  virtual void AdjustHeight();
  /** Applies EdgeWidth and, with AutoSize, the height. */
  void UpdateFrame();
  /** Text the user puts into a single-line edit (typed, pasted, dropped),
   *  just before it goes in: what is left of text goes in. When nothing is
   *  left the edit keeps its text and selection, so a refused paste does
   *  not take away what it would have replaced. The default takes it whole.
   *  Text set from code is never filtered. */
  virtual void FilterInput(std::u32string& text);

  void DoEnter() override;
  void FocusGained() override;
  void FocusLost() override;
  void ColorChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;

  /** The hosted widget: a QLineEdit, or for a memo a QPlainTextEdit. */
  QLineEdit* LineEdit() const { return FLine; }
  QPlainTextEdit* PlainTextEdit() const { return FMemo; }

private:
  friend class TEditValidator;
  void Init(QWidget* inner);
  void UpdateLook();
  void WidgetTextChanged();
  // The hosted widget's signals reach the control through this object, so
  // that they end with the control.
  std::unique_ptr<QObject> FSignals;
  QLineEdit* FLine = nullptr;
  TEditValidator* FValidator = nullptr;  // owned by FLine
  QPlainTextEdit* FMemo = nullptr;
  std::unique_ptr<QProxyStyle> FPasswordStyle;
  int FMaxLength = 0;
  TKeyChar FPasswordChar = 0;
  bool FReadOnly = false;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoSelect = true;
  bool FAutoSize = true;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
  bool FHideSelection = true;
  std::pair<int, int> FKeptSelection{0, 0};  // start, length of a line's selection while focused
};

/** A single-line edit, 121 x 21 by default. */
class TEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;
};

/** A multi-line edit over a QPlainTextEdit, 185 x 89 by default. Its scroll
 *  bars are the window's own (outside the text area, as the classic memo's
 *  are): a bar asked for by ScrollBars is always shown and disabled while
 *  there is nothing to scroll. A horizontal bar turns word wrap off. Text
 *  comes back with CR LF line breaks; Lines edits the text line by line,
 *  each change firing OnChange, and leaves every line ended by a break. */
class TCustomMemo : public TCustomEdit {
public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings& Lines();
  const TStrings& Lines() const;
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  /** Without it, Enter goes to the form (the default button) and types nothing. */
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  /** With it, Tab types a tab instead of moving the focus. */
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  unsigned DialogCode() const override;

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(TKeyChar& Key) override;
  void ScrollMessage(TScrollBarKind kind, int code, int trackPos) override;
  void AdjustHeight() override {}

private:
  void UpdateWrap();
  void SyncScrollBars();
  std::unique_ptr<TMemoLines> FLines;
  std::unique_ptr<QObject> FSignals;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantReturns = true;
  bool FWantTabs = false;
  TAlignment FAlignment = taLeftJustify;
  bool FSyncing = false;
};

/** A memo, 185 x 89 by default. */
class TMemo : public TCustomMemo {
public:
  using TCustomMemo::TCustomMemo;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

/** Draws item Index (-1: none chosen) of a list or combo box in Rect, on the
 *  control's Canvas; the brush and font are set for State beforehand. */
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
/** Height arrives holding ItemHeight; the handler sets item Index's height. */
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

/** A combo box drawn by itself: csDropDown types into a hosted QLineEdit,
 *  csDropDownList shows the chosen item. csSimple is an edit over a list
 *  that is always shown (the edit row is ItemHeight + 8 high, the list fills
 *  the rest); it has no button and never drops down. The owner-drawn styles
 *  choose like csDropDownList, but OnDrawItem draws the items, in the list
 *  and the chosen one in the box (with odComboBoxEdit); csOwnerDrawFixed
 *  rows are ItemHeight high, csOwnerDrawVariable rows as OnMeasureItem
 *  says, asked each time the list opens. Its drop-down list is a pop-up
 *  window that holds the mouse while it is open, closes on a press outside
 *  it and leaves the focus with the combo box; while it is open Up, Down,
 *  Home, End, Page Up and Page Down move its highlight, Enter takes the
 *  highlighted item and Escape closes it unchanged. With the list closed Up
 *  and Down choose the neighbouring item, and F4 or Alt+Down opens it.
 *  A choice made by the user fires OnClick, then OnSelect (or, without
 *  one, OnChange); typing into the edit fires OnChange. Setting Text or
 *  ItemIndex from code fires nothing. Clearing the items keeps the text of
 *  a csDropDown box. Descendants paint their own face through PaintFace
 *  and PaintText and place the edit and the button through EditRect and
 *  ButtonRect. */
class TCustomComboBox : public TCustomControl {
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings& Items();
  const TStrings& Items() const;
  /** -1: none. Values outside the items give -1. */
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  std::string Text() const;
  /** In csDropDownList style this chooses the item with that text, if any. */
  void SetText(const std::string& text);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle style);
  /** The most items the list shows before it scrolls. */
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  /** 0: no limit on typed text. */
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);

  bool DroppedDown() const { return FDroppedDown; }
  /** A csSimple box never drops down. */
  void SetDroppedDown(bool value);
  /** The item highlighted in the open list (-1 while it is closed). */
  int DropDownIndex() const;
  /** The first item the open list shows. */
  int DropDownTopIndex() const;
  /** The list's window (null until it is first dropped down). */
  TCustomControl* DropDownWindow() const;
  /** The list a csSimple box always shows (null in the other styles). */
  TCustomListBox* SimpleList() const { return FSimpleList; }
  /** csOwnerDrawFixed or csOwnerDrawVariable. */
  bool OwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  /** The height of the edit row of a csSimple box. */
  int EditRowHeight() const { return FItemHeight + 8; }

  unsigned DialogCode() const override;

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  virtual void Change();
  /** The user chose an item: OnSelect, or OnChange when there is none. */
  virtual void Select();
  /** Before the list opens (the handler may fill the items). */
  virtual void DropDown();
  virtual void CloseUp();
  /** Where the drop-down button is; a press there opens the list. */
  virtual TRect ButtonRect() const;
  /** Where the edit sits, and where csDropDownList draws the chosen item. */
  virtual TRect EditRect() const;
  /** The frame, the background and the button. */
  virtual void PaintFace();
  /** The chosen item of a csDropDownList or owner-drawn box: highlighted
   *  with a focus rectangle while the box has the focus and its list is
   *  closed. */
  virtual void PaintText(const TRect& r);
  /** Draws item Index on Canvas() (OnDrawItem, or its text on the brush). */
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  /** Item Index's height in a csOwnerDrawVariable list (OnMeasureItem). */
  virtual void MeasureItem(int Index, int& Height);
  /** Draws item index in r of target: the brush and font set for state,
   *  DrawItem on Canvas() (drawing onto target, within r meanwhile), and
   *  the focus rectangle for odFocused. */
  void DrawItemOn(TCanvas* target, int index, const TRect& r, TOwnerDrawState state);
  /** Where the list of a csSimple box sits. */
  virtual TRect SimpleListRect() const;
  /** The frame of a csSimple box's list (rect: the list at the origin). */
  virtual void PaintSimpleListFrame(TCanvas* canvas, const TRect& rect);
  /** The button looks pressed (the mouse holds it). */
  bool ButtonPressed() const { return FButtonDown; }
  /** The hosted edit of a csDropDown box (null in csDropDownList style). */
  QLineEdit* EditWidget() const { return FEdit; }

  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(TKeyChar& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void FocusGained() override;
  void FocusLost() override;
  void ColorChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;
  void PlaceWidgets() override;

private:
  friend class TComboDropDown;
  friend class TComboSimpleList;
  void CreateInner();
  void UpdateEditLook();
  void ShowEditText(const std::string& text);
  /** The user took item index (keys or the list). */
  void UserSelect(int index);
  void CloseList(bool take);
  void ItemsChanged(int index, int delta);
  /** The height of item index in the list. */
  int ListItemHeight(int index) const;
  /** The list of a csSimple box shows the items and the chosen one. */
  void SyncSimpleList();
  std::unique_ptr<TItemList> FItems;
  std::unique_ptr<QObject> FSignals;
  TComboDropDown* FList = nullptr;
  TCustomListBox* FSimpleList = nullptr;
  std::vector<int> FItemHeights;  // csOwnerDrawVariable: measured when the list opens
  QWidget* FInner = nullptr;
  QLineEdit* FEdit = nullptr;
  int FItemIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
  bool FSorted = false;
  int FItemHeight = 13;
  int FMaxLength = 0;
  bool FDroppedDown = false;
  bool FButtonDown = false;
  bool FSettingText = false;
};

/** A combo box, 145 x 21 by default. */
class TComboBox : public TCustomComboBox {
public:
  using TCustomComboBox::TCustomComboBox;
};

/** What the push button, the check box and the radio button share: the
 *  pressed look while the left button or the space key holds them (moving
 *  off the control lets it up), the action on release, the focus taken by a
 *  press, and captions with accelerators. */
class TButtonControl : public TCustomControl {
public:
  explicit TButtonControl(TComponent* AOwner);
  /** Drawn pressed now. */
  bool Pressed() const { return FPressed; }

protected:
  /** What a release on the control or of the space key does. */
  virtual void Activate() = 0;
  void SetPressed(bool value);
  /** Paints a check box or radio button: the glyph (13 pixels square,
   *  centred vertically) on the side Alignment leaves free, the caption
   *  beside it, embossed when disabled, and the focus rectangle around it. */
  void PaintGlyphAndCaption(TAlignment alignment, const std::function<void(const TRect&)>& glyph);

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseCaptureLost() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void FocusGained() override;
  void FocusLost() override;

private:
  bool FPressed = false;
  bool FMouseDown = false;
  bool FSpaceDown = false;
};

/** The classic push button, 75 x 25 by default. Default answers Enter while
 *  no other button has the focus, Cancel answers Escape, and a focused
 *  button answers Enter itself; a button that answers Enter has a black
 *  frame. Clicking sets the parent form's ModalResult (when the button has
 *  one) before OnClick. Space and the caption's accelerator click it too. */
class TButton : public TButtonControl {
public:
  explicit TButton(TComponent* AOwner);

  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  /** Enter clicks it now (and it has the black frame). */
  bool Active() const;

  void Click() override;

protected:
  void Activate() override { Click(); }
  void Paint() override;
  bool DialogKey(WORD Key, TShiftState Shift) override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;
  void FocusGained() override;
  void FocusLost() override;

private:
  void RepaintButtons();
  bool FDefault = false;
  bool FCancel = false;
  TModalResult FModalResult = TModalResult::mrNone;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

/** The classic check box, 97 x 17 by default: Alignment taRightJustify puts
 *  the caption right of the box. Changing the state, also from code, fires
 *  OnClick; a click, the space key or the accelerator toggles it. */
class TCustomCheckBox : public TButtonControl {
public:
  explicit TCustomCheckBox(TComponent* AOwner);

  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState value);
  bool Checked() const { return FState == cbChecked; }
  void SetChecked(bool value) { SetState(value ? cbChecked : cbUnchecked); }
  /** The user's toggling passes through cbGrayed. */
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  /** What the user's click does: the next state. */
  virtual void Toggle();

protected:
  void Activate() override { Toggle(); }
  void Paint() override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

/** A check box. */
class TCheckBox : public TCustomCheckBox {
public:
  using TCustomCheckBox::TCustomCheckBox;
};

/** The classic radio button, 113 x 17 by default. Radio buttons with the
 *  same parent form one group: checking one unchecks the others. Checking
 *  fires OnClick (from code too); unchecking does not, and neither does a
 *  click on a button already checked. Only the checked one is a tab stop;
 *  the arrow keys check the next or previous one of the group. */
class TRadioButton : public TButtonControl {
public:
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

  unsigned DialogCode() const override { return DLGC_WANTARROWS; }

protected:
  void Activate() override { SetChecked(true); }
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;

private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

/** The classic group box, 185 x 105 by default: an etched frame whose top
 *  runs through the middle of the caption. Aligned controls stay inside
 *  the frame; the caption's accelerator focuses the first control inside. */
class TGroupBox : public TCustomControl {
public:
  explicit TGroupBox(TComponent* AOwner);

protected:
  void Paint() override;
  void AlignControls(TRect& rect) override;
  bool DialogChar(TKeyChar Key, TShiftState Shift) override;
};

/** A list of text lines to choose one from, painted by itself: rows of
 *  ItemHeight (the font's height at first) on Color, the chosen one in the
 *  highlight colours with a focus rectangle while the list has the focus,
 *  and a vertical scroll bar while the rows do not all fit. The frame is a
 *  2-pixel sunken edge for bsSingle with Ctl3D, a 1-pixel line without
 *  Ctl3D, none for bsNone. A click chooses the row under the mouse (the
 *  mouse dragged with the button down chooses along), Up, Down, Home, End,
 *  Page Up and Page Down move the choice, a typed character chooses the next
 *  item starting with it; each choice the user makes fires OnClick. Setting
 *  ItemIndex from code fires nothing. */
class TCustomListBox : public TCustomControl {
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings& Items();
  const TStrings& Items() const;
  /** -1: none. Values outside the items give -1; a chosen item is scrolled into view. */
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int index);
  /** The item in the top row. */
  int TopIndex() const;
  void SetTopIndex(int index);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  /** bsNone or bsSingle. */
  void SetBorderStyle(TBorderStyle value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  /** The item under p (client coordinates); -1 when there is none, or,
   *  unless existing, the index one past the last item. */
  int ItemAtPos(TPoint p, bool existing) const;
  /** Item index's row (client coordinates); empty when it is scrolled off above. */
  TRect ItemRect(int index) const;

  unsigned DialogCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }

protected:
  /** Paints one row; the default draws the item's text. */
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  /** The user chose index: it becomes ItemIndex and OnClick fires. */
  void UserSelect(int index);

  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(TKeyChar& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void ScrollMessage(TScrollBarKind kind, int code, int trackPos) override;
  void FocusGained() override;
  void FocusLost() override;
  void FontChanged() override;
  void SizeChanged() override;

private:
  void ItemsChanged(int index, int delta);
  void UpdateFrame();
  std::unique_ptr<TItemList> FItems;
  std::unique_ptr<TItemRows> FRows;
  int FItemIndex = -1;
  int FItemHeight = 13;
  bool FSorted = false;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCtl3D = true;
};

/** A list box, 121 x 97 by default. */
class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
};
