#include "grid/Displays.h"

#include "grid/ColumnClasses.h"
#include "grid/SharedCommon.h"
#include "grid/ThemesSupport.h"

namespace {

/** Visual styles are in use for the column's grid. */
bool VisualStylesFor(const TCustomColumn& Column) {
  const TColumns* columns = Column.Columns();
  const auto* grid = columns ? dynamic_cast<const TCustomGridViewControl*>(columns->Grid()) : nullptr;
  return grid && grid->EnableVisualStyles() && ThemesAvailable();
}

// Visual-style parts and states.
constexpr int kHeaderItem = 1;
constexpr int kHeaderItemLeft = 2;
constexpr int kCheckBox = 3;

}  // namespace

// ---------------------------------------------------------------- TColumnDisplay

TRect TColumnDisplay::TextRect() const {
  return {CellRect.Left + 2, CellRect.Top, CellRect.Right - 2, CellRect.Bottom};
}

void TColumnDisplay::DrawText(const std::string& Text, const TRect& R) {
  const TCustomColumn& column = *Column();
  unsigned flags = DT_NOPREFIX;
  switch (column.Alignment()) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
  }
  switch (column.VerticalAlignment()) {
    case vaTop: flags |= DT_TOP; break;
    case vaMiddle: flags |= DT_VCENTER; break;
    case vaBottom: flags |= DT_BOTTOM; break;
  }
  switch (column.WrapKind()) {
    case wkNone: flags |= DT_SINGLELINE; break;
    case wkEllipsis: flags |= DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case wkWordWrap: flags |= DT_WORDBREAK; break;
  }
  if (RightToLeft) flags |= DT_RTLREADING;
  TRect r = R;
  Canvas->Brush.Style = bsClear;
  Canvas->DrawText(Text, r, flags);
  Canvas->Brush.Style = bsSolid;
}

void TColumnDisplay::DrawHintMark() {
  const TRect& r = CellRect;
  Canvas->Pen.Color = clRed;
  Canvas->Brush.Color = clRed;
  Canvas->Brush.Style = bsSolid;
  Canvas->Polygon({{r.Right - 5, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Top + 4}});
}

void TColumnDisplay::PaintBackground(TColor Color) {
  Canvas->Brush.Style = bsSolid;
  Canvas->Brush.Color = Color;
  Canvas->FillRect(CellRect);
}

// ---------------------------------------------------------------- cell painters

void TTextualColumnDisplay::PaintContent() { DrawText(Column()->ValueToDisplayText(TextValue), TextRect()); }

TRect TComboBoxColumnDisplay::TextRect() const {
  TRect r = TTextualColumnDisplay::TextRect();
  const auto* column = dynamic_cast<const TComboBoxColumn*>(Column());
  if (column && column->DisplayMode() != dmTextOnly)
    r.Left += 11 + (column->Images() ? column->Images()->Width() : 0);
  return r;
}

void TComboBoxColumnDisplay::PaintContent() {
  const auto* column = dynamic_cast<const TComboBoxColumn*>(Column());
  if (!column) return;
  if (column->DisplayMode() != dmImageOnly) TTextualColumnDisplay::PaintContent();
  const TImageList* images = column->Images();
  if (column->DisplayMode() == dmTextOnly || !images) return;
  // A text that is no item draws no image.
  const int y = CellRect.Top + CellRect.Height() / 2 - images->Height() / 2;
  images->Draw(Canvas, CellRect.Left + 4, y, column->Items().IndexOf(TextValue), true);
}

void TImageColumnDisplay::PaintContent() {
  const auto* column = dynamic_cast<const TImageColumn*>(Column());
  const TImageList* images = column ? column->Images() : nullptr;
  if (!images || IntegerValue < 0 || IntegerValue >= images->Count()) return;
  TPoint p;
  TCalcProvider::PlaceBox(images->Width(), images->Height(), p, column->VerticalAlignment(), column->Alignment(),
                          CellRect, 2);
  images->Draw(Canvas, p.X, p.Y, IntegerValue, true);
}

int CheckBoxSize(bool VisualStyles) { return VisualStyles ? 13 : 11; }

TRect CheckBoxRect(const TCustomColumn& Column, const TRect& CellRect, bool VisualStyles) {
  const int size = CheckBoxSize(VisualStyles);
  TPoint p;
  TCalcProvider::PlaceBox(size, size, p, Column.VerticalAlignment(), Column.Alignment(), CellRect, 2);
  return Bounds(p.X, p.Y, size, size);
}

void TCheckBoxColumnDisplay::PaintContent() { DrawCheckBox(); }

void TCheckBoxColumnDisplay::DrawCheckBox() {
  const bool themed = VisualStylesFor(*Column());
  const TRect box = CheckBoxRect(*Column(), CellRect, themed);
  if (themed) {
    DrawThemed(nullptr, Canvas, box, "button", kCheckBox, BooleanValue ? 5 : 1);
    return;
  }
  Canvas->Brush.Style = bsSolid;
  Canvas->Brush.Color = clWindow;
  Canvas->FillRect(box);
  Canvas->Brush.Color = clBtnShadow;
  Canvas->FrameRect(box);
  if (!BooleanValue) return;
  // Three strokes, one pixel apart.
  Canvas->Pen.Color = clWindowText;
  for (int i = 0; i < 3; ++i) {
    Canvas->MoveTo(box.Left + 2, box.Top + 4 + i);
    Canvas->LineTo(box.Left + 4, box.Top + 6 + i);
    Canvas->LineTo(box.Left + 9, box.Top + 1 + i);
  }
}

void TCheckBoxColumnPlay::MouseClick(TPoint P) {
  const TRect cell{0, 0, CellRect.Width(), CellRect.Height()};
  if (CheckBoxRect(*Column(), cell, VisualStylesFor(*Column())).Contains(P)) Toggle();
}

void TCheckBoxColumnPlay::KeyAction(TKeyChar Key) {
  if (Key == U' ') Toggle();
}

void TCheckBoxColumnPlay::Toggle() {
  Checked = !Checked;
  ValueText = Checked ? "True" : "False";
  if (OnClick) OnClick(*this);
}

// ---------------------------------------------------------------- TStyleDisplay

void TStyleDisplay::Line(TColor Color, int X1, int Y1, int X2, int Y2) {
  Canvas->Pen.Color = Color;
  Canvas->Pen.Mode = pmCopy;
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

void TStyleDisplay::Fill(TColor Color, const TRect& R) {
  Canvas->Brush.Style = bsSolid;
  Canvas->Brush.Color = Color;
  Canvas->FillRect(R);
}

void TStyleDisplay::PaintSortArrow(const TRect& R, bool Ascending) {
  // Seven pixels wide, four high.
  const TPoint c = R.CenterPoint();
  for (int i = 0; i < 4; ++i) {
    const int y = Ascending ? c.Y - 2 + i : c.Y + 1 - i;
    Line(clBtnShadow, c.X - i, y, c.X + i + 1, y);
  }
}

void TStyleDisplay::PaintPartContent(TCustomColumn& Column, TColumnPart& Part, TRect R, bool Header) {
  TCanvas* c = Canvas;
  c->Font = FGrid->Font();
  c->Font.SetColor(Header ? clBtnText : clWindowText);
  if (Header && Column.Sorted() && R.Width() > 24) {
    PaintSortArrow({R.Right - 14, R.Top, R.Right - 2, R.Bottom}, Column.SortKind() == skAscending);
    R.Right -= 14;
  }
  int x = R.Left + 2;
  const TBitmap& glyph = Part.Glyph();
  if (Part.DisplayMode() != dmTextOnly && !glyph.Empty()) {
    c->Draw(x, R.Top + (R.Height() - glyph.Height()) / 2, glyph);
    x += glyph.Width() + 2;
  }
  if (Part.DisplayMode() != dmImageOnly)
    TGraphicsProvider::DrawTextLine(c, {x, R.Top, R.Right - 2, R.Bottom}, false, Part.Caption(), Column.Alignment());
}

void TStyleDisplay::PaintFooterCell(TCustomColumn& Column, const TRect& R) {
  if (FGrid->GridLineWidth()) {
    Fill(Column.Footer().Color(), {R.Left, R.Top, R.Right - 1, R.Bottom - 1});
    Line(clBtnFace, R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    Line(clBtnFace, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
  } else {
    Fill(Column.Footer().Color(), R);
  }
  PaintPartContent(Column, Column.Footer(), R, false);
}

void TStyleDisplay::PaintInputCell(TCustomColumn& Column, const TRect& R) {
  const int line = FGrid->GridLineWidth();
  Fill(FGrid->Color(), R);
  if (line) {
    Line(FGrid->GridLinesColor(), R.Left, R.Bottom - 1, R.Right, R.Bottom - 1);
    Line(FGrid->GridLinesColor(), R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
  }
  const TRect inner{R.Left, R.Top, R.Right - line, R.Bottom - line};
  const bool caption = Column.InputValue().empty();
  Canvas->Font = Column.Font();
  if (caption) Canvas->Font.SetColor(clGrayText);
  TGraphicsProvider::DrawTextLine(Canvas, {inner.Left + 2, inner.Top, inner.Right - 2, inner.Bottom}, false,
                                  caption ? Column.InputCaption() : Column.InputValue(), Column.Alignment());
  if (FGrid->InputRowFocused() && FGrid->CurrentColumn() == Column.Index() && FGrid->HasFocus())
    TGraphicsProvider::DrawFocus(Canvas, inner, false);
}

void TStyleDisplay::PaintIndicatorMark(const TRect& R, bool Current, bool) {
  if (!Current) return;
  // A small arrow pointing at the current row.
  const int mid = R.Top + R.Height() / 2;
  Canvas->Pen.Color = clBlack;
  Canvas->Brush.Color = clBlack;
  Canvas->Brush.Style = bsSolid;
  Canvas->Polygon({{R.Left + 4, mid - 3}, {R.Left + 7, mid}, {R.Left + 4, mid + 3}});
}

void TStyleDisplay::PaintEmptyHeader(const TRect& R) { DrawThemed(nullptr, Canvas, R, "header", kHeaderItem, 1); }

// ---------------------------------------------------------------- hsAuto

void TDefaultStyleDisplay::PaintHeaderCell(TCustomColumn& Column, const TRect& R) {
  const bool pressed = IsPressed(Column);
  if (UseVisualStyles) {
    DrawThemed(nullptr, Canvas, R, "header", kHeaderItem, pressed ? 3 : IsHot(Column) ? 2 : 1);
    PaintPartContent(Column, Column.Header(), R, true);
    return;
  }
  Fill(Column.Header().Color(), R);
  const int right = R.Right - 1, bottom = R.Bottom - 1;
  if (pressed) {
    Canvas->Brush.Color = clBtnShadow;
    Canvas->FrameRect(R);
  } else {
    Line(clBtnHighlight, R.Left, bottom, R.Left, R.Top);
    Line(clBtnHighlight, R.Left, R.Top, right, R.Top);
    Line(clBtnShadow, right, R.Top, right, bottom);
    Line(clBtnShadow, right, bottom, R.Left - 1, bottom);
  }
  // A pressed header's content sinks by a pixel.
  TRect content = R;
  if (pressed) OffsetRect(content, 1, 1);
  PaintPartContent(Column, Column.Header(), content, true);
}

void TDefaultStyleDisplay::PaintIndicatorPart(TGridPart, const TRect& R) {
  if (UseVisualStyles)
    DrawThemed(nullptr, Canvas, R, "header", kHeaderItem, 1);
  else
    TGraphicsProvider::DrawButtonFace(Canvas, R, false);
}

void TDefaultStyleDisplay::PaintStrip(TGridPart, const TRect& R) { Fill(Grid()->Color(), R); }

void TDefaultStyleDisplay::PaintIndicatorCell(const TRect& R, bool Current, bool Selected) {
  if (UseVisualStyles)
    DrawThemed(nullptr, Canvas, R, "header", kHeaderItemLeft, 1);
  else
    TGraphicsProvider::DrawButtonFace(Canvas, R, false);
  PaintIndicatorMark(R, Current, Selected);
}

// ---------------------------------------------------------------- hsFlatBorders

void TFlatStyleDisplay::FlatCell(TColor Color, const TRect& R) {
  Fill(Color, R);
  Canvas->Pen.Color = clGrayText;
  Canvas->MoveTo(R.Right - 1, R.Top);
  Canvas->LineTo(R.Right - 1, R.Bottom - 1);
  Canvas->LineTo(R.Left - 1, R.Bottom - 1);
}

void TFlatStyleDisplay::PaintHeaderCell(TCustomColumn& Column, const TRect& R) {
  FlatCell(Column.Header().Color(), R);
  PaintPartContent(Column, Column.Header(), R, true);
}

void TFlatStyleDisplay::PaintIndicatorPart(TGridPart, const TRect& R) { FlatCell(clBtnFace, R); }

void TFlatStyleDisplay::PaintStrip(TGridPart, const TRect& R) { Fill(clBtnFace, R); }

void TFlatStyleDisplay::PaintIndicatorCell(const TRect& R, bool Current, bool Selected) {
  FlatCell(clBtnFace, R);
  PaintIndicatorMark(R, Current, Selected);
}

// ---------------------------------------------------------------- hsOldStyle

void TOldStyleDisplay::OldCell(const TRect& R) {
  TRect inner = R;
  InflateRect(inner, -1, -1);
  Fill(clBtnFace, inner);
  const int right = R.Right - 1, bottom = R.Bottom - 1;
  Line(clBtnHighlight, R.Left, bottom, R.Left, R.Top);
  Line(clBtnHighlight, R.Left, R.Top, right, R.Top);
  Line(clWindowFrame, right, R.Top, right, bottom);
  Line(clWindowFrame, right, bottom, R.Left - 1, bottom);
}

void TOldStyleDisplay::PaintHeaderCell(TCustomColumn& Column, const TRect& R) {
  OldCell(R);
  PaintPartContent(Column, Column.Header(), R, true);
}

void TOldStyleDisplay::PaintIndicatorCell(const TRect& R, bool Current, bool Selected) {
  OldCell(R);
  PaintIndicatorMark(R, Current, Selected);
}

// ---------------------------------------------------------------- hsOutlook

void TOutlookStyleDisplay::ShadedBottom(TColor Color, const TRect& R) {
  const int weights[] = {50, 100, 150};
  for (int i = 0; i < 3; ++i) {
    const int y = R.Bottom - 3 + i;
    Line(TGraphicsProvider::Blend(clBtnShadow, Color, weights[i]), R.Left, y, R.Right, y);
  }
}

void TOutlookStyleDisplay::PaintHeaderCell(TCustomColumn& Column, const TRect& R) {
  const TColor color = Column.Header().Color();
  Fill(color, {R.Left, R.Top, R.Right, R.Bottom - 3});
  const int last = Grid()->Columns().VisibleCount() - 1;
  const bool first = Column.VisibleIndex() == 0, lastColumn = Column.VisibleIndex() == last;
  if (first)
    Line(clBtnHighlight, R.Left, R.Top, R.Left, R.Bottom - 3);
  else
    Line(clBtnHighlight, R.Left, R.Top + 2, R.Left, R.Bottom - 4);
  if (lastColumn)
    Line(clBtnShadow, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
  else
    Line(clBtnShadow, R.Right - 1, R.Top + 2, R.Right - 1, R.Bottom - 4);
  ShadedBottom(color, R);
  PaintPartContent(Column, Column.Header(), {R.Left, R.Top, R.Right, R.Bottom - 3}, true);
}

void TOutlookStyleDisplay::PaintIndicatorPart(TGridPart, const TRect& R) {
  Fill(clBtnFace, {R.Left, R.Top, R.Right, R.Bottom - 3});
  Line(clBtnShadow, R.Right - 1, R.Top, R.Right - 1, R.Bottom - 1);
  ShadedBottom(clBtnFace, R);
}

void TOutlookStyleDisplay::PaintStrip(TGridPart Part, const TRect& R) { PaintIndicatorPart(Part, R); }

void TOutlookStyleDisplay::PaintIndicatorCell(const TRect& R, bool Current, bool Selected) {
  TGraphicsProvider::DrawButtonFace(Canvas, R, false);
  PaintIndicatorMark(R, Current, Selected);
}
