#include "generator/PhpSql.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TColumn {
  std::string Name;
  bool Key;
};

std::unique_ptr<TWebTable> MakeTable(const std::string& db, const std::vector<TColumn>& columns) {
  auto table = std::make_unique<TWebTable>();
  table->DB = db;
  table->Name = "t";
  for (const auto& c : columns) {
    auto input = std::make_unique<TWebInput>(c.Name);
    input->Database_field = c.Name;
    input->Key = c.Key;
    table->AddToInputList(std::move(input));
  }
  return table;
}

struct TKeyCase {
  const char* What;
  std::string Db;
  std::vector<TColumn> Columns;
  std::string Condition;
  std::string UrlParams;
};

TEST(PhpSqlTest, KeyConditionAndUrlParamsEscapeEveryNameAndValue) {
  // A key column by its SQL name, its request name and its row field.
  const auto cond = [](const std::string& link, const std::string& column, const std::string& get) {
    return ".\" AND `" + column + "`='\".sqlEscape(" + link + ", $_GET['" + get + "'] ?? '').\"'\"";
  };
  const auto param = [](const std::string& name, const std::string& row) {
    return "&" + name + "=\".urlencode((string)($Resultset['" + row + "'] ?? '')).\"";
  };
  const TKeyCase cases[] = {
      {"no columns", "shop", {}, "\"1\"", "1"},
      {"key columns only, in column order", "shop", {{"name", false}, {"id", true}, {"lang", true}},
       "\"1\"" + cond("$MyDb_shop", "id", "id") + cond("$MyDb_shop", "lang", "lang"),
       "1" + param("id", "id") + param("lang", "lang")},
      {"no key: every column", "my-db", {{"b", false}, {"a", false}},
       "\"1\"" + cond("${'MyDb_my-db'}", "b", "b") + cond("${'MyDb_my-db'}", "a", "a"),
       "1" + param("b", "b") + param("a", "a")},
      {"backtick, quote, dollar and backslash", "shop", {{"a`b'$c\\", true}},
       "\"1\"" + cond("$MyDb_shop", "a``b'\\$c\\\\", "a-60b-27-24c-5C"), "1" + param("a-60b-27-24c-5C", "a`b\\'$c\\\\")},
      {"blank, ampersand and UTF-8", "shop", {{"a b&\xC3\xB6", true}},
       "\"1\"" + cond("$MyDb_shop", "a b&\xC3\xB6", "a-20b-26-C3-B6"), "1" + param("a-20b-26-C3-B6", "a b&\xC3\xB6")},
  };
  for (const TKeyCase& c : cases) {
    const auto table = MakeTable(c.Db, c.Columns);
    EXPECT_EQ(BuildKeyCondition(*table), c.Condition) << c.What;
    EXPECT_EQ(BuildKeyUrlParams(*table), c.UrlParams) << c.What;
  }
}

TEST(PhpSqlTest, LookupSelect) {
  const std::string from = "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`";
  const std::function<void(TBaseHtmlInput&)> none = [](TBaseHtmlInput&) {};
  const auto where = [](const char* relation, const char* value = "x", const char* field = "country") {
    return [=](TBaseHtmlInput& l) {
      l.iLWhereField = field;
      l.iLRelation = relation;
      l.iLValue = value;
    };
  };
  const std::vector<std::tuple<const char*, std::function<void(TBaseHtmlInput&)>, std::string>> cases = {
      {"plain", none, from},
      {"no table", [](TBaseHtmlInput& l) { l.iLTable = ""; }, ""},
      {"no display field", [](TBaseHtmlInput& l) { l.iLDisplayField = ""; }, ""},
      {"=", where("="), from + " WHERE `country` = \\'x\\'"},
      {">", where(">"), from + " WHERE `country` > \\'x\\'"},
      {"<", where("<"), from + " WHERE `country` < \\'x\\'"},
      {">=", where(">="), from + " WHERE `country` >= \\'x\\'"},
      {"<=", where("<="), from + " WHERE `country` <= \\'x\\'"},
      {"<>", where("<>"), from + " WHERE `country` <> \\'x\\'"},
      {"Like", where("Like"), from + " WHERE `country` LIKE \\'x\\'"},
      {"Unlike", where("Unlike"), from + " WHERE `country` NOT LIKE \\'x\\'"},
      {"All", where("All"), from},
      {"lower-case relation", where("like"), from},
      {"relation is never copied", where("1=1 OR"), from},
      {"no compare value", where("=", ""), from},
      {"no where field", where("=", "DE", ""), from},
      {"ascending", [](TBaseHtmlInput& l) { l.iLShort = "Asc"; }, from + " ORDER BY `name` ASC"},
      {"descending", [](TBaseHtmlInput& l) { l.iLShort = "Desc"; }, from + " ORDER BY `name` DESC"},
      {"lower-case sort", [](TBaseHtmlInput& l) { l.iLShort = "asc"; }, from},
      {"not distinct", [](TBaseHtmlInput& l) { l.iLDistinct = false; },
       "SELECT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`"},
      {"no value field keeps the blank", [](TBaseHtmlInput& l) { l.iLValueField = ""; },
       "SELECT DISTINCT `name`  FROM '.sqlIdent($dbname_shop).'.`city`"},
      {"condition before order",
       [&](TBaseHtmlInput& l) {
         where("=", "DE")(l);
         l.iLShort = "Asc";
       },
       from + " WHERE `country` = \\'DE\\' ORDER BY `name` ASC"},
  };
  for (const auto& [what, setup, expected] : cases) {
    TBaseHtmlInput lookup("c");
    lookup.iLTable = "city";
    lookup.iLDisplayField = "name";
    lookup.iLValueField = "id";
    lookup.iLDb = "ignored";  // the lookup always reads the current database
    setup(lookup);
    EXPECT_EQ(BuildLookupSelect(lookup, "shop"), expected) << what;
  }
}

TEST(PhpSqlTest, LookupSelectEscapesForSqlAndThenForThePhpLiteral) {
  TBaseHtmlInput l("c");
  l.iLTable = "a`b";
  l.iLDisplayField = "it's";
  l.iLValueField = "back\\slash";
  l.iLWhereField = "w";
  l.iLRelation = "Like";
  l.iLValue = "O'Brien\\%";
  l.iLShort = "Desc";
  // SQL first (backticks doubled, '' and \\ in the string), then the PHP
  // single-quoted literal (every ' and \ escaped once more).
  EXPECT_EQ(BuildLookupSelect(l, "my-db"),
            "SELECT DISTINCT `it\\'s` ,`back\\\\slash` FROM '.sqlIdent(${'dbname_my-db'}).'.`a``b` "
            "WHERE `w` LIKE \\'O\\'\\'Brien\\\\\\\\%\\' ORDER BY `it\\'s` DESC");
}

}  // namespace
