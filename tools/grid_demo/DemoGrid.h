#pragma once
/** The column grid of the main window as the grid demo and the render tool
 *  show it: a key image column, the field's name and type, four check-box
 *  columns for the pages, the caption, three drop-down lists, the hint flag
 *  and the hint text, filled with the fields of a sample table. */

#include "grid/GridView.h"
#include "ui/Bitmap.h"

#include <memory>

/** Images drawn in code: 6 is the key, 8 a plain field, the others coloured squares. */
std::unique_ptr<TImageList> MakeDemoImages();

/** The grid on parent at (0, 0, width, height), with the main window's
 *  options, colours and columns and one row per sample field. */
TGridView* MakeDemoGrid(TWinControl* parent, TImageList* images, int width, int height);
