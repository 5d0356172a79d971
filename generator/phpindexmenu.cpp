#include "generator/phpindexmenu.h"

#include "core/TextUtils.h"
#include "generator/PhpText.h"

#include <algorithm>
#include <vector>

std::string TIndexMenuGenerator::MenuItem(const TWebTable& table, bool firstOfDatabase) {
  const std::string link = "<a href=\"" + UrlEncode(TablePageFileName(table.DB, table.Name, "list")) +
                           "\" target=\"mainFrame\">" + table.Caption + "</a></td></tr>\r\n";
  if (!firstOfDatabase) return "  <tr class=\"csstr1\"><td>&nbsp" + link;
  return "  <tr class=\"cssHeader\"><td align=\"center\">" + UpperCase(table.DB) + "</td></tr>\r\n" +
         "      <tr class=\"csstr1\"><td>&nbsp" + link;
}

void TIndexMenuGenerator::Generate() {
  auto engine = LoadTemplate("menu.tpl");
  std::vector<std::string> seen;
  for (const auto& table : Project().Tables) {
    if (!table) continue;
    const bool first = std::find(seen.begin(), seen.end(), table->DB) == seen.end();
    if (first) seen.push_back(table->DB);
    engine->NewBlock("yzt_menu");
    engine->Assign("yzt_menu_item", MenuItem(*table, first));
  }
  engine->GotoBlock("_ROOT");
  Save(*engine, "menu.php");
}
