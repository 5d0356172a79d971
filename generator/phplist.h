#pragma once

#include "generator/PageGenerator.h"

/** Writes a table's list page (DB_TABLE_list.php from tpl/list.tpl): rows
 *  with filter form, sorting, paging and links to the other row pages. The
 *  table is the project's current table. */
class TListGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;

  /** Raises Exception when the project has no current table. */
  void Generate();
};
