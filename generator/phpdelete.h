#pragma once

#include "core/StringList.h"
#include "generator/PageGenerator.h"

#include <string>

/** Writes a table's delete page (DB_TABLE_delete.php from tpl/delete.tpl):
 *  asks for confirmation, deletes the row and may send a mail. */
class TDeleteGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;

  /** Unused by this page; kept beside the other row pages' fields. */
  TStringList ScriptList;
  std::string DatabaseName;

  /** Raises Exception when the project has no current table. */
  void Generate();

  /** The mail statement of the delete page; the body never lists values. */
  std::string BuildDeleteMailCode() const;
};
