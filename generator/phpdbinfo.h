#pragma once

#include "generator/PageGenerator.h"

#include <string>
#include <vector>

/** The database names of the project's tables, each once, in the order the
 *  tables first name them (exact comparison). */
std::vector<std::string> DistinctDatabases(const TProjectManager& project);

/** Writes general/dbinfo.php from tpl/dbinfo.tpl: the server settings and, per
 *  database, the variables holding its name and its connection. */
class TSQLGenerator : public TPageGenerator {
public:
  using TPageGenerator::TPageGenerator;
  void Generate();
};
