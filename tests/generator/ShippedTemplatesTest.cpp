// The shipped templates name exactly the variables and blocks that the
// generators fill: a misspelt variable would silently print nothing.

#include "TablePageTestSupport.h"

#include "core/StringList.h"

#include <regex>
#include <set>

namespace {

using tablepages::TPageNames;

void ExpectTemplateMatches(const std::string& page, const TPageNames& names, const std::set<std::string>& unused = {}) {
  SCOPED_TRACE(page);
  TStringList lines;
  lines.LoadFromFile(qftest::SourceDir() + "/data/tpl/" + page + ".tpl");
  // As the engine reads them: a variable is a brace, a name without blanks and a closing brace.
  static const std::regex marker("<!-- (START|END) BLOCK : (\\S+) -->"), variable("\\{([^{}\\s]+)\\}");
  std::set<std::string> expectedBlocks, expectedVars, blocks, vars;
  std::map<std::string, std::string> owner;  // block variable -> its block
  for (const std::string& global : names.Globals) expectedVars.insert(global);
  for (const auto& block : names.Blocks) {
    expectedBlocks.insert(block.Name);
    for (const std::string& name : block.Variables) {
      expectedVars.insert(name);
      owner[name] = block.Name;
    }
  }
  for (const std::string& name : unused) expectedVars.erase(name);
  std::vector<std::string> open = {"_ROOT"};
  for (const std::string& line : lines) {
    std::smatch m;
    if (std::regex_search(line, m, marker)) {
      if (m[1] == "START") {
        blocks.insert(m[2]);
        open.push_back(m[2]);
      } else {
        EXPECT_EQ(open.back(), m[2]) << "unmatched end of block";
        if (open.size() > 1) open.pop_back();
      }
      continue;
    }
    for (std::sregex_iterator it(line.begin(), line.end(), variable), end; it != end; ++it) {
      const std::string name = (*it)[1];
      vars.insert(name);
      if (owner.count(name)) {
        EXPECT_EQ(open.back(), owner[name]) << name << " stands outside its block";
      }
    }
  }
  EXPECT_EQ(open.size(), 1u) << "block left open: " << open.back();
  EXPECT_EQ(blocks, expectedBlocks);
  EXPECT_EQ(vars, expectedVars);
}

TEST(ShippedTemplatesTest, TemplatesUseTheGeneratedNames) {
  ExpectTemplateMatches("list", tablepages::kListNames);
  // The insert page has no row to find, so it does not use the key condition.
  ExpectTemplateMatches("insert", tablepages::kInsertNames, {"yzt_key"});
  ExpectTemplateMatches("update", tablepages::kUpdateNames);
  ExpectTemplateMatches("detail", tablepages::kDetailNames);
  ExpectTemplateMatches("delete", tablepages::kDeleteNames);
  ExpectTemplateMatches("dbinfo",
                        {{"yzt_db_hostname", "yzt_db_username", "yzt_db_password", "yzt_db_port"},
                         {{"yzt_db_objects", {"yzt_db_name", "yzt_db_name_php", "yzt_db_name_var", "yzt_db_link"}}}},
                        {"yzt_db_name"});
  ExpectTemplateMatches("login", {{"yzt_user_name", "yzt_user_pass"}, {}});
  ExpectTemplateMatches("index", {{"yzt_page_title_name"}, {}});
  ExpectTemplateMatches("menu", {{}, {{"yzt_menu", {"yzt_menu_item"}}}});
}

}  // namespace
