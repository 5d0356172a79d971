#pragma once
/** The columns of a grid. A column carries its appearance, its header and
 *  footer parts, its place in the display order, its width rules, its sort
 *  settings, the default value of new cells and, through its class, the kind
 *  of its cells and the classes of its in-place editor and cell painters. The
 *  collection keeps the columns in creation order (the column index of every
 *  grid operation) and, apart from it, in display order; it lays out the left
 *  edges, shares free width among auto-sized columns and reports every change
 *  to the grid. */

#include "core/StringList.h"
#include "grid/Cells.h"
#include "grid/SharedCommon.h"
#include "grid/Sorting.h"
#include "ui/Bitmap.h"
#include "ui/Canvas.h"
#include "ui/Colors.h"
#include "ui/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TColumns;
class TCustomColumn;

enum TDrawingOptions { doNormal, doBackgroundOnly, doCustom, doCustomOnly };
enum TWrapKind { wkNone, wkEllipsis, wkWordWrap };
enum TDisplayMode { dmImageOnly, dmTextAndImage, dmTextOnly };
enum TFormulaKind { fkNone, fkAverage, fkCount, fkMaximum, fkMinimum, fkSum };

enum TColumnOption {
  coAutoSize,
  coCanClick,
  coCanSort,
  coEditing,
  coCanInput,
  coEditorAutoSelect,
  coFixedSize,
  coImageForIcon,
  coDontHighlight,
  coPublicUsing,
  coSearchColumn,
  coShowTextFitHint,
  coTextForCaption
};
using TColumnOptions = TEnumSet<TColumnOption>;

/** What changed in a column, as reported to the grid. */
enum TColumnChange {
  ccInputValue = 1,
  ccPosition = 2,
  ccSortingOn = 3,
  ccSortOrder = 4,
  ccAppearance = 5,
  ccVisibility = 6,
  ccSortingOff = 7,
  ccWidth = 8
};

/** What happened to the collection, as reported to the grid and passed on
 *  to the cell store (TCells::ColumnsChanged). */
enum TColumnsAction { caAdded = 0, caDeleted = 1, caCleared = 2, caInserted = 3, caMoved = 4 };

/** Listener flags: 0 for name and caption changes, 1 for colour and options. */
constexpr int lfNameOrCaption = 0;
constexpr int lfColorOrOptions = 1;

/** No column is narrower. */
constexpr int MinColumnWidth = 8;

/** The grid as its columns see it: what they read from it and the changes
 *  they report. The grid engine implements it. */
class IColumnsGrid {
public:
  virtual ~IColumnsGrid() = default;
  /** True while the grid is read from a form layout: setters then only store. */
  virtual bool Loading() const = 0;
  /** True in the form designer: a width set then also becomes the default width. */
  virtual bool Designing() const = 0;
  /** The font that columns with ParentFont take. */
  virtual const TFont& Font() const = 0;
  /** 12 when the grid shows its indicator column, else 0. */
  virtual int IndicatorWidth() const = 0;
  /** The width of the cell area: the client width less the indicator. */
  virtual int ColumnsAreaWidth() const = 0;
  /** A column changed; the grid repaints, re-sorts or raises its events. */
  virtual void ColumnChanged(TCustomColumn& Column, TColumnChange Kind) = 0;
  /** A column joined, left or moved in the creation order (TColumnsAction). */
  virtual void ColumnsChanged(int Action, int Index, int Index2) = 0;
  /** Repaints the column's whole strip: a header or footer caption or colour changed. */
  virtual void InvalidateColumn(TCustomColumn& Column) = 0;
};

// ---------------------------------------------------------------- elements

/** Something that belongs to one column: its cell painter or its click handler. */
class TVirtualColElement {
public:
  explicit TVirtualColElement(TCustomColumn* Column) : FColumn(Column) {}
  virtual ~TVirtualColElement() = default;
  TVirtualColElement(const TVirtualColElement&) = delete;
  TVirtualColElement& operator=(const TVirtualColElement&) = delete;
  TCustomColumn* Column() const { return FColumn; }

private:
  TCustomColumn* FColumn;
};

/** Paints one cell of its column. The grid loads the cell's value, the
 *  canvas, the cell rectangle and the cell's state into it before each
 *  paint. The painters themselves live with the grid's displays. */
class TColumnDisplay : public TVirtualColElement {
public:
  using TVirtualColElement::TVirtualColElement;
  bool BooleanValue = false;
  TDateTime DateTimeValue = 0;
  double FloatValue = 0;
  std::int32_t IntegerValue = 0;
  std::string TextValue;
  bool RightToLeft = false;
  TCanvas* Canvas = nullptr;
  TRect CellRect;
  /** The cell is drawn as selected; it is the current cell. */
  bool Selected = false;
  bool Current = false;
  TColor HighlightedTextColor = clHighlightText;

  /** The cell rectangle less 2 pixels at the left and at the right. */
  virtual TRect TextRect() const;
  /** Text into R by the column's alignments and wrap kind, on a clear brush. */
  virtual void DrawText(const std::string& Text, const TRect& R);
  /** The red triangle in the cell's top-right corner: the cell has a hint. */
  virtual void DrawHintMark();
  /** Paints the loaded value into CellRect. */
  virtual void PaintContent() = 0;
  /** Fills CellRect. */
  void PaintBackground(TColor Color);
};

/** Handles clicks on one cell of its column (the check box of a check-box
 *  column); the grid gives it the cell's position, value and rectangle
 *  first. OnClick reports that the element changed its value. */
class TColumnPlay : public TVirtualColElement {
public:
  using TVirtualColElement::TVirtualColElement;
  int Col = -1;
  int Row = -1;
  TRect CellRect;
  std::function<void(TColumnPlay& Sender)> OnClick;
  /** A click at P, relative to the cell rectangle's top-left corner. */
  virtual void MouseClick(TPoint) {}
  /** A character typed on the cell. */
  virtual void KeyAction(TKeyChar) {}
};

/** The in-place editor as its column drives it; the editor controls implement it. */
class ICellEditor {
public:
  virtual ~ICellEditor() = default;
  /** Switches the editor into editing a grid cell. */
  virtual void SetCellEditing(bool Value) = 0;
};

/** An editor with a pop-up window. */
class IPopupEditor : public virtual ICellEditor {
public:
  virtual void SetOnCloseUp(std::function<void()> Value) = 0;
  virtual void SetOnSelect(std::function<void()> Value) = 0;
};

/** A drop-down editor with an item list and images. */
class IComboBoxEditor : public virtual IPopupEditor {
public:
  virtual void SetItems(const TStringList& Value) = 0;
  virtual void SetImages(TImageList* Value) = 0;
  /** -1 selects nothing. */
  virtual void SetItemIndex(int Value) = 0;
  virtual void SetShowPreview(bool Value) = 0;
  virtual void SetDropDownCount(int Value) = 0;
  virtual void SetReadOnly(bool Value) = 0;
};

/** The element classes a column can name. */
enum TCellEditorClass { ecNone, ecTextualEditor, ecPopupEditor, ecComboBoxEditor };
enum TColumnDisplayClass {
  dcNone,
  dcTextualColumnDisplay,
  dcComboBoxColumnDisplay,
  dcCheckBoxColumnDisplay,
  dcImageColumnDisplay
};
enum TColumnPlayClass { pcNone, pcCheckBoxColumnPlay };

/** Makes a column's elements from the classes the column names. The units of
 *  the in-place editors and the cell painters register one; until then a
 *  column has no elements. */
class IColumnElementFactory {
public:
  virtual ~IColumnElementFactory() = default;
  virtual std::unique_ptr<ICellEditor> CreateEditor(TCellEditorClass Class, TCustomColumn& Column) = 0;
  virtual std::unique_ptr<TColumnDisplay> CreateDisplay(TColumnDisplayClass Class, TCustomColumn& Column) = 0;
  virtual std::unique_ptr<TColumnPlay> CreatePlay(TColumnPlayClass Class, TCustomColumn& Column) = 0;
};

/** Sets the factory that columns use from now on (null: none); returns the previous one. */
IColumnElementFactory* SetColumnElementFactory(IColumnElementFactory* Factory);
IColumnElementFactory* ColumnElementFactory();

// ---------------------------------------------------------------- parts

/** The header or footer cell of a column. A caption or colour change repaints
 *  the column; display mode, glyph and formula changes raise OnChange, which
 *  the column reports as an appearance change. */
class TColumnPart {
public:
  explicit TColumnPart(TCustomColumn* Column, TColor Color);
  virtual ~TColumnPart();
  TColumnPart(const TColumnPart&) = delete;
  TColumnPart& operator=(const TColumnPart&) = delete;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TDisplayMode DisplayMode() const { return FDisplayMode; }
  void SetDisplayMode(TDisplayMode Value);
  /** Drawn transparent, without the colour of its bottom-left pixel. */
  const TBitmap& Glyph() const { return *FGlyph; }
  void SetGlyph(const TBitmap& Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }

  /** Copies Caption, Color, DisplayMode and Glyph. */
  virtual void Assign(const TColumnPart& Source);

  std::function<void(TColumnPart& Sender)> OnChange;

protected:
  void Changed();

private:
  TCustomColumn* FColumn;
  std::string FCaption;
  TColor FColor;
  TDisplayMode FDisplayMode = dmTextOnly;
  std::unique_ptr<TBitmap> FGlyph;
  std::string FHint;
};

/** The header cell of a column, button-coloured. */
class TColumnHeader : public TColumnPart {
public:
  explicit TColumnHeader(TCustomColumn* Column) : TColumnPart(Column, clBtnFace) {}
};

/** The footer cell of a column, which may show a formula over the column. */
class TColumnFooter : public TColumnPart {
public:
  explicit TColumnFooter(TCustomColumn* Column) : TColumnPart(Column, clWindow) {}
  TFormulaKind FormulaKind() const { return FFormulaKind; }
  void SetFormulaKind(TFormulaKind Value);
  /** Also copies FormulaKind from another footer. */
  void Assign(const TColumnPart& Source) override;

private:
  TFormulaKind FFormulaKind = fkNone;
};

/** The column's rectangle in the slides layout of the grid. */
class TSlideBounds {
public:
  int Left() const { return FLeft; }
  void SetLeft(int Value) { FLeft = Value; }
  int Top() const { return FTop; }
  void SetTop(int Value) { FTop = Value; }
  int Width() const { return FWidth; }
  void SetWidth(int Value) { FWidth = Value; }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { FHeight = Value; }
  int Right() const { return FLeft + FWidth; }
  int Bottom() const { return FTop + FHeight; }
  void Assign(const TSlideBounds& Source);

private:
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
};

// ---------------------------------------------------------------- columns

using TColumnListener = std::function<void(TCustomColumn& Column, int Flag)>;
using TColumnNotifyEvent = std::function<void(TCustomColumn& Sender)>;

/** The common column. Its class chooses the cell kind and the element
 *  classes; the column creates its elements when it joins a collection. */
class TCustomColumn {
public:
  virtual ~TCustomColumn();
  TCustomColumn(const TCustomColumn&) = delete;
  TCustomColumn& operator=(const TCustomColumn&) = delete;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const std::string& DefaultValue() const { return FDefaultValue; }
  void SetDefaultValue(const std::string& Value) { FDefaultValue = Value; }
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value) { FDefaultWidth = Value; }
  TDrawingOptions DrawingOptions() const { return FDrawingOptions; }
  void SetDrawingOptions(TDrawingOptions Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  /** The column's own font; changing it clears ParentFont. */
  TFont& Font() { return FFont; }
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);
  TColumnFooter& Footer() { return *FFooter; }
  const TColumnFooter& Footer() const { return *FFooter; }
  void SetFooter(const TColumnFooter& Value) { FFooter->Assign(Value); }
  TColumnHeader& Header() { return *FHeader; }
  const TColumnHeader& Header() const { return *FHeader; }
  void SetHeader(const TColumnHeader& Value) { FHeader->Assign(Value); }
  const std::string& InputCaption() const { return FInputCaption; }
  void SetInputCaption(const std::string& Value);
  TColumnOptions Options() const { return FOptions; }
  /** At most one column of a collection keeps coSearchColumn. */
  void SetOptions(TColumnOptions Value);
  bool ParentFont() const { return FParentFont; }
  /** True takes the grid's font. */
  void SetParentFont(bool Value);
  int Position() const { return FPosition; }
  /** Moves the column to that place in the display order. */
  void SetPosition(int Value);
  TSlideBounds& SlideBounds() { return FSlideBounds; }
  const TSlideBounds& SlideBounds() const { return FSlideBounds; }
  void SetSlideBounds(const TSlideBounds& Value) { FSlideBounds.Assign(Value); }
  bool Sorted() const { return FSorted; }
  /** True clears Sorted on every other column first. */
  void SetSorted(bool Value);
  TSortKind SortKind() const { return FSortKind; }
  void SetSortKind(TSortKind Value);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  TVerticalAlignment VerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TVerticalAlignment Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  /** At least MinColumnWidth. */
  void SetWidth(int Value);
  TWrapKind WrapKind() const { return FWrapKind; }
  void SetWrapKind(TWrapKind Value) { FWrapKind = Value; }

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  /** The collection the column belongs to, or null. */
  TColumns* Columns() const { return FColumns; }
  /** The creation index (ACol of the grid's operations); -1 outside a collection. */
  int Index() const;
  /** The cell kind of the column's cells. */
  std::uint8_t Kind() const { return FKind; }
  /** The value typed for this column in the grid's input row. */
  const std::string& InputValue() const { return FInputValue; }
  void SetInputValue(const std::string& Value);
  /** The left edge in pixels, before horizontal scrolling. */
  int Left() const { return FLeft; }
  /** 0-based among the visible columns; -1 when hidden. */
  int VisibleIndex() const { return FVisibleIndex; }
  ICellEditor* Editor() const { return FEditor.get(); }
  TColumnDisplay* Display() const { return FDisplay.get(); }
  TColumnPlay* Play() const { return FPlay.get(); }

  /** Listeners are called with the column and a flag (lfNameOrCaption,
   *  lfColorOrOptions); Data identifies the listener for removal. */
  void AddChangeListener(void* Data, TColumnListener Listener);
  void RemoveChangeListener(void* Data);

  /** Copies the published properties through their setters; SortType,
   *  Enabled, DefaultWidth and Kind stay. */
  virtual void Assign(const TCustomColumn& Source);

  // The class's choices.
  virtual TCellEditorClass EditorClass() const { return ecNone; }
  virtual TColumnDisplayClass DisplayClass() const { return dcNone; }
  virtual TColumnPlayClass PlayClass() const { return pcNone; }
  /** Bit 0: the column can be edited. */
  virtual unsigned EditCapabilities() const { return 0; }
  /** coEditing set, the edit capability present and the column enabled. */
  virtual bool CanEdit() const;
  virtual void SetKind(std::uint8_t Value) { FKind = Value; }
  virtual std::string ValueToDisplayText(const std::string& Value) const { return Value; }
  virtual bool KeyStartsEditing(WORD) const { return false; }
  /** Called before the in-place editor is shown over a cell holding CellText. */
  virtual void PrepareEditor(const std::string&) {}

protected:
  TCustomColumn();
  /** Reports a change to the grid, unless the grid is being read. */
  void Changed(TColumnChange Kind);
  void NotifyListeners(int Flag);
  bool Loading() const;
  /** Called once the factory has made the editor. */
  virtual void EditorCreated() {}
  /** Every bit of the edit capabilities. */
  static constexpr unsigned AllCapabilities = 0xFFu;

private:
  friend class TColumns;
  friend class TColumnPart;
  void CreateElements();
  void PartChanged(bool captionChanged);
  IColumnsGrid* Grid() const;

  TAlignment FAlignment = taLeftJustify;
  TColor FColor = clWindow;
  TCursor FCursor = crDefault;
  std::string FDefaultValue;
  int FDefaultWidth = 80;
  TDrawingOptions FDrawingOptions = doNormal;
  bool FEnabled = true;
  TFont FFont;
  bool FTakingParentFont = false;
  std::unique_ptr<TColumnFooter> FFooter;
  std::unique_ptr<TColumnHeader> FHeader;
  std::string FInputCaption;
  TColumnOptions FOptions{coCanClick, coCanSort, coCanInput, coEditorAutoSelect};
  bool FParentFont = true;
  int FPosition = -1;
  TSlideBounds FSlideBounds;
  bool FSorted = false;
  TSortKind FSortKind = skAscending;
  TSortType FSortType = stAlphabetic;
  TVerticalAlignment FVerticalAlignment = vaMiddle;
  bool FVisible = true;
  int FWidth = 80;
  TWrapKind FWrapKind = wkEllipsis;

  std::string FName;
  TColumns* FColumns = nullptr;
  std::uint8_t FKind = 0;
  std::string FInputValue;
  int FLeft = 0;
  int FVisibleIndex = -1;
  std::vector<std::pair<void*, TColumnListener>> FListeners;
  std::unique_ptr<ICellEditor> FEditor;
  std::unique_ptr<TColumnDisplay> FDisplay;
  std::unique_ptr<TColumnPlay> FPlay;
};

/** The collection of a grid's columns. It owns them and destroys them, the
 *  last first, when it goes. */
class TColumns {
public:
  explicit TColumns(IColumnsGrid* Grid) : FGrid(Grid) {}
  ~TColumns();
  TColumns(const TColumns&) = delete;
  TColumns& operator=(const TColumns&) = delete;

  IColumnsGrid* Grid() const { return FGrid; }
  int Count() const { return static_cast<int>(FItems.size()); }
  /** Creation order; EListError outside. */
  TCustomColumn* Items(int Index) const;
  int IndexOf(const TCustomColumn* Column) const;

  /** Appends the column, reports caAdded, then places it in the display
   *  order before the first column with a greater Position. */
  TCustomColumn* Add(std::unique_ptr<TCustomColumn> Column);
  template <class T> T* Add() { return static_cast<T*>(Add(std::make_unique<T>())); }
  /** The same at creation index Index, reporting caInserted. */
  TCustomColumn* Insert(int Index, std::unique_ptr<TCustomColumn> Column);
  /** Moves a column in the creation order (its cells move with it), reporting caMoved. */
  void Move(int CurIndex, int NewIndex);
  /** Destroys the column at Index, reporting caDeleted. */
  void Delete(int Index);
  /** Destroys every column, reporting caCleared once. */
  void Clear();

  int DisplayCount() const { return static_cast<int>(FDisplay.size()); }
  /** The column at a display position; EListError outside. */
  TCustomColumn* DisplayItems(int Position) const;
  int DisplayIndexOf(const TCustomColumn* Column) const;
  /** Moves a column in the display order, renumbers every Position and
   *  reports ccPosition for the column now at To. Cells never move. */
  void MoveDisplay(int From, int To);
  int VisibleCount() const;
  /** Total width of the visible columns. */
  int VisibleWidth() const;

  /** Lays out Left and VisibleIndex in display order from the indicator's edge. */
  void UpdateLeftEdges();
  /** Shares the free width of the cell area among the visible auto-size
   *  columns from Start on in display order (all columns when Start is
   *  null), in proportion to their widths, none narrower than
   *  MinColumnWidth. Skipped while the grid is being read. */
  void ShareWidth(TCustomColumn* Start, bool IncludeStart);

private:
  TCustomColumn* Join(TCustomColumn* column);
  IColumnsGrid* FGrid;
  std::vector<std::unique_ptr<TCustomColumn>> FItems;
  std::vector<TCustomColumn*> FDisplay;
};
