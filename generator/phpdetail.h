#pragma once

#include "core/StringList.h"
#include "generator/PageGenerator.h"
#include "model/WebTableClass.h"

#include <string>

/** Writes a table's detail page (DB_TABLE_detail.php from tpl/detail.tpl):
 *  one row, field by field, each shown as its View_type says. */
class TDetailGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;

  /** Unused by this page; kept beside the other row pages' fields. */
  TStringList ScriptList;
  std::string DatabaseName;

  /** Raises Exception when the project has no current table. */
  void Generate();

  /** PHP statements printing the column of $Resultset as text. */
  std::string BuildDetailText(const TWebInput& input) const;
  /** ... as a formatted number ("&nbsp;" when empty). */
  std::string BuildDetailNumber(const TWebInput& input) const;
  /** ... as a picture whose URL is the stored value ("&nbsp;" when empty). */
  std::string BuildDetailPicture(const TWebInput& input) const;
};
