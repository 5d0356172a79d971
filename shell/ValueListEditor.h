#pragma once
/** The key-value list of the field editor: one row per list item, its
 *  caption and the value stored for it. */

#include "core/StringList.h"
#include "grid/GridView.h"

#include <string>

/** A grid of two text columns, "Caption" and "Value", whose rows are added
 *  and deleted by the field editor's buttons. It always shows at least one
 *  row: an empty list is one blank row, which Strings leaves out. A caption
 *  cannot hold "=", which splits a stored "caption=value" line: typing one
 *  is refused with a message. */
class TValueListEditor : public TGridView {
public:
  explicit TValueListEditor(TComponent* AOwner);

  std::string Caption(int ARow) { return GetCellText(0, ARow); }
  std::string Value(int ARow) { return GetCellText(1, ARow); }
  /** The row with neither caption nor value. */
  bool IsBlank(int ARow);
  /** The rows as "caption=value" lines, blank rows left out. */
  TStringList Strings();
  /** One row per line, split at its first "=" (a line without one is a caption). */
  void SetStrings(const TStringList& lines);
  /** Leaves one blank row. */
  void Clear();
  /** A row at the end; an empty list's blank row takes it instead. False,
   *  with nothing added, for a caption holding "=". */
  bool Append(const std::string& caption, const std::string& value);
  /** A blank row at the end, selected. */
  void AppendBlank();
  /** Deletes the row; the last row left is blanked instead. */
  void DeleteItem(int ARow);
  /** Exchanges a row's caption and value with its neighbour (by = -1 above,
   *  1 below) and moves the selection along; nothing at either end. */
  void MoveItem(int ARow, int by);

  static bool ValidCaption(const std::string& caption);
  /** The message a caption holding "=" gets. */
  static std::string CaptionRule(const std::string& caption);
};
