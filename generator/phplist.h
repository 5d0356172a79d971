#pragma once

#include "generator/PageGenerator.h"

#include <string>

/** How the list page writes a column's value into the condition that fetches
 *  the rows after a given row, so that the server compares it exactly as it
 *  sorts the column. Kind "n": a number; "s": a string, compared in the
 *  column's collation; "b": bytes, in hex; "": not at all, because the text
 *  the page reads back is not exactly what the server sorts by (floating
 *  point, enum and set order, time stamps across a clock change, bits, texts
 *  and blobs, types not known here). SortBytes: the most bytes of a value the
 *  server may sort on, 0 for fixed small values; the page pages by key only
 *  when the server's max_sort_length covers them. */
struct TSeekType {
  std::string Kind;
  int SortBytes = 0;
};
/** From the column's SQL type as the server describes it ("int(11) unsigned"). */
TSeekType SeekType(const std::string& type);

/** Writes a table's list page (DB_TABLE_list.php from tpl/list.tpl): rows
 *  with filter form, sorting, paging and links to the other row pages. The
 *  table is the project's current table. */
class TListGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;

  /** Raises Exception when the project has no current table. */
  void Generate();
};
