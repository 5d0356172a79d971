#pragma once
/** The look of the main window's grids and the kinds of column they are
 *  built from; the grid demo builds its column grid with the same pieces. */

#include "grid/ColumnClasses.h"
#include "grid/GridView.h"

#include <initializer_list>

/** RGB 187, 223, 253: every column header. */
constexpr TColor kGridHeaderColor = 16637883;
/** RGB 227, 237, 251: rows 0, 2, 4, ... */
constexpr TColor kGridEvenRowColor = 16510435;

/** The items of a drop-down column. */
TStringList PickList(std::initializer_list<const char*> items);

/** A column of kind T with its name, header caption, hint and width (0: the
 *  grid shares out the room). */
template <class T> T* AddColumn(TGridView* grid, const char* name, const char* caption, const char* hint, int width) {
  T* column = grid->Columns().Add<T>();
  column->SetName(name);
  column->Header().SetCaption(caption);
  column->Header().SetHint(hint);
  column->Header().SetColor(kGridHeaderColor);
  if (width > 0) column->SetWidth(width);
  return column;
}

TTextualColumn* AddText(TGridView* grid, const char* name, const char* caption, const char* hint, int width,
                        bool editable, bool bold = false);
/** An editable check-box column, centred, with its default value. */
TCheckBoxColumn* AddCheck(TGridView* grid, const char* name, const char* caption, const char* hint, int width,
                          const char* value);
/** An editable drop-down list column with its default value. */
TComboBoxColumn* AddList(TGridView* grid, const char* name, const char* caption, int width, const char* value,
                         const TStringList& items);

/** Rows high enough for the font and the in-place editor, framed lines,
 *  header, indicator, whole-row selection, light blue even rows and a
 *  gradient under the selection (orange with the focus, grey without). */
void StyleGrid(TGridView* grid);
