#include "generator/phpdbinfo.h"

#include "core/TextUtils.h"
#include "generator/PhpText.h"

#include <algorithm>

std::vector<std::string> DistinctDatabases(const TProjectManager& project) {
  std::vector<std::string> names;
  for (const auto& table : project.Tables) {
    if (!table) continue;
    if (std::find(names.begin(), names.end(), table->DB) == names.end()) names.push_back(table->DB);
  }
  return names;
}

void TSQLGenerator::Generate() {
  const TProjectManager& project = Project();
  auto engine = LoadTemplate("dbinfo.tpl");

  // The template puts these into PHP double-quoted literals; the plain
  // texts of the project stay what they are, only quoted for PHP.
  engine->Assign("yzt_db_hostname", PhpDoubleQuoted(project.Database_host));
  engine->Assign("yzt_db_username", PhpDoubleQuoted(project.Database_user));
  engine->Assign("yzt_db_password", PhpDoubleQuoted(project.Database_password));
  engine->Assign("yzt_db_port", IntToStr(project.Database_port));

  for (const std::string& database : DistinctDatabases(project)) {
    engine->NewBlock("yzt_db_objects");
    engine->Assign("yzt_db_name", database);
    engine->Assign("yzt_db_name_php", PhpDoubleQuoted(database));
    engine->Assign("yzt_db_name_var", PhpDbNameVar(database));
    engine->Assign("yzt_db_link", PhpDbLinkVar(database));
  }
  engine->GotoBlock("_ROOT");
  Save(*engine, "general/dbinfo.php");
}
