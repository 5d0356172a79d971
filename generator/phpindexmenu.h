#pragma once

#include "generator/PageGenerator.h"

#include <string>

/** Writes menu.php from tpl/menu.tpl: one "yzt_menu" instance per table, the
 *  first table of each database preceded by a header row with its name. */
class TIndexMenuGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;
  void Generate();

  /** The rows of one table: its link row, after a header row when it is the
   *  first table of its database. The caption stays as written; the page
   *  name in the link is URL-encoded. */
  static std::string MenuItem(const TWebTable& table, bool firstOfDatabase);
};
