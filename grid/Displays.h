#pragma once
/** The grid's painters. Per column, a display element paints one cell's
 *  content (text, combo-box text with its image, check box, image) and the
 *  check-box column's play element toggles a cell by click or space. Per
 *  header style, a style display paints the header, input-row, footer and
 *  indicator parts. */

#include "grid/Columns.h"
#include "grid/CustomGridViewControl.h"

#include <string>

/** Text cells: TextAfter, the cell text and TextBefore in the text rectangle. */
class TTextualColumnDisplay : public TColumnDisplay {
public:
  using TColumnDisplay::TColumnDisplay;
  void PaintContent() override;
};

/** Combo-box cells: the text, and the image of the item the text names,
 *  as the column's DisplayMode says. */
class TComboBoxColumnDisplay : public TTextualColumnDisplay {
public:
  using TTextualColumnDisplay::TTextualColumnDisplay;
  /** Moved right by 11 pixels and the image width unless the text shows alone. */
  TRect TextRect() const override;
  void PaintContent() override;
};

/** Check-box cells: a box placed by the column's alignments. */
class TCheckBoxColumnDisplay : public TColumnDisplay {
public:
  using TColumnDisplay::TColumnDisplay;
  void PaintContent() override;
  /** Draws the box for the loaded Boolean at its place in CellRect. */
  virtual void DrawCheckBox();
};

/** Image cells: image IntegerValue of the column's images, placed by the
 *  column's alignments; nothing for an index outside the list. */
class TImageColumnDisplay : public TColumnDisplay {
public:
  using TColumnDisplay::TColumnDisplay;
  void PaintContent() override;
};

/** The check box's side: 11 pixels, 13 with visual styles. */
int CheckBoxSize(bool VisualStyles);
/** The check box of a cell rectangle, placed by the column's alignments. */
TRect CheckBoxRect(const TCustomColumn& Column, const TRect& CellRect, bool VisualStyles);

/** Toggles a check-box cell: a click inside the box or the space key flips
 *  Checked, sets ValueText to "True" or "False" and raises OnClick. */
class TCheckBoxColumnPlay : public TColumnPlay {
public:
  using TColumnPlay::TColumnPlay;
  bool Checked = false;
  std::string ValueText;
  void MouseClick(TPoint P) override;
  void KeyAction(TKeyChar Key) override;

private:
  void Toggle();
};

// ---------------------------------------------------------------- style displays

/** Paints the header, input-row, footer and indicator parts of a grid in
 *  one header style. The grid hands it the canvas and says before each
 *  painting pass whether visual styles are in use. */
class TStyleDisplay {
public:
  explicit TStyleDisplay(TCustomGridViewControl* Grid) : FGrid(Grid) {}
  virtual ~TStyleDisplay() = default;
  TStyleDisplay(const TStyleDisplay&) = delete;
  TStyleDisplay& operator=(const TStyleDisplay&) = delete;

  TCustomGridViewControl* Grid() const { return FGrid; }
  TCanvas* Canvas = nullptr;
  bool UseVisualStyles = false;
  /** The header under the mouse looks different: the grid repaints headers as the mouse moves. */
  virtual bool TracksHotHeader() const { return false; }

  /** A small triangle pointing up (ascending) or down, centred in R. */
  virtual void PaintSortArrow(const TRect& R, bool Ascending);
  /** The input row's or the footer's remainder right of the last column. */
  virtual void PaintStrip(TGridPart Part, const TRect& R) = 0;
  /** The indicator column's cell beside the header, the input row or the footer. */
  virtual void PaintIndicatorPart(TGridPart Part, const TRect& R) = 0;
  virtual void PaintFooterCell(TCustomColumn& Column, const TRect& R);
  virtual void PaintHeaderCell(TCustomColumn& Column, const TRect& R) = 0;
  /** A row's indicator cell: its background, then its mark. */
  virtual void PaintIndicatorCell(const TRect& R, bool Current, bool Selected) = 0;
  virtual void PaintIndicatorMark(const TRect& R, bool Current, bool Selected);
  virtual void PaintInputCell(TCustomColumn& Column, const TRect& R);
  /** The header strip right of the columns drawn as an empty themed header. */
  virtual void PaintEmptyHeader(const TRect& R);

protected:
  /** The part's glyph and caption as its DisplayMode says, and for the
   *  header of a sorted column the sort arrow. */
  void PaintPartContent(TCustomColumn& Column, TColumnPart& Part, TRect R, bool Header);
  bool IsPressed(const TCustomColumn& Column) const { return FGrid->PressedHeaderColumn() == &Column; }
  bool IsHot(const TCustomColumn& Column) const { return FGrid->HotHeaderColumn() == &Column; }
  /** A line from (x1, y1) to (x2, y2), the end point left out. */
  void Line(TColor Color, int X1, int Y1, int X2, int Y2);
  void Fill(TColor Color, const TRect& R);

private:
  TCustomGridViewControl* FGrid;
};

/** hsAuto: the visual style's header when it is in use, else button-coloured
 *  cells with a raised frame (sunken while pressed). */
class TDefaultStyleDisplay : public TStyleDisplay {
public:
  using TStyleDisplay::TStyleDisplay;
  bool TracksHotHeader() const override { return UseVisualStyles; }
  void PaintStrip(TGridPart Part, const TRect& R) override;
  void PaintIndicatorPart(TGridPart Part, const TRect& R) override;
  void PaintHeaderCell(TCustomColumn& Column, const TRect& R) override;
  void PaintIndicatorCell(const TRect& R, bool Current, bool Selected) override;
};

/** hsFlatBorders: flat cells with grey-text lines at the right and bottom. */
class TFlatStyleDisplay : public TStyleDisplay {
public:
  using TStyleDisplay::TStyleDisplay;
  void PaintStrip(TGridPart Part, const TRect& R) override;
  void PaintIndicatorPart(TGridPart Part, const TRect& R) override;
  void PaintHeaderCell(TCustomColumn& Column, const TRect& R) override;
  void PaintIndicatorCell(const TRect& R, bool Current, bool Selected) override;

private:
  void FlatCell(TColor Color, const TRect& R);
};

/** hsOldStyle: button-face cells in a one-pixel 3-D frame. */
class TOldStyleDisplay : public TStyleDisplay {
public:
  using TStyleDisplay::TStyleDisplay;
  void PaintStrip(TGridPart, const TRect& R) override { OldCell(R); }
  void PaintIndicatorPart(TGridPart, const TRect& R) override { OldCell(R); }
  void PaintHeaderCell(TCustomColumn& Column, const TRect& R) override;
  void PaintIndicatorCell(const TRect& R, bool Current, bool Selected) override;

private:
  void OldCell(const TRect& R);
};

/** hsOutlook: headers standing on three shaded lines, separated by short
 *  lines between the columns. */
class TOutlookStyleDisplay : public TStyleDisplay {
public:
  using TStyleDisplay::TStyleDisplay;
  void PaintStrip(TGridPart Part, const TRect& R) override;
  void PaintIndicatorPart(TGridPart Part, const TRect& R) override;
  void PaintHeaderCell(TCustomColumn& Column, const TRect& R) override;
  void PaintIndicatorCell(const TRect& R, bool Current, bool Selected) override;

private:
  /** The three lines at the bottom, shadow blended into Color. */
  void ShadedBottom(TColor Color, const TRect& R);
};
