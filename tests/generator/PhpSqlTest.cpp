#include "generator/PhpSql.h"

#include <gtest/gtest.h>

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

std::vector<std::string> Names(const std::vector<const TWebInput*>& inputs) {
  std::vector<std::string> names;
  for (const TWebInput* input : inputs) names.push_back(input->Database_field);
  return names;
}

// ---------------------------------------------------------------- key columns

TEST(PhpSqlTest, KeyColumnsAreTheKeyFlaggedOnesElseAll) {
  auto keyed = MakeTable("shop", {{"a", false}, {"id", true}, {"b", false}, {"lang", true}});
  EXPECT_EQ(Names(KeyColumns(*keyed)), (std::vector<std::string>{"id", "lang"}));

  auto unkeyed = MakeTable("shop", {{"x", false}, {"y", false}});
  EXPECT_EQ(Names(KeyColumns(*unkeyed)), (std::vector<std::string>{"x", "y"}));

  auto empty = MakeTable("shop", {});
  EXPECT_TRUE(KeyColumns(*empty).empty());
}

// ---------------------------------------------------------------- key condition

TEST(PhpSqlTest, KeyConditionEscapesEveryRequestValue) {
  auto table = MakeTable("shop", {{"name", false}, {"id", true}, {"lang", true}});
  EXPECT_EQ(BuildKeyCondition(*table),
            "\"1\""
            ".\" AND `id`='\".sqlEscape($MyDb_shop, $_GET['id'] ?? '').\"'\""
            ".\" AND `lang`='\".sqlEscape($MyDb_shop, $_GET['lang'] ?? '').\"'\"");
}

TEST(PhpSqlTest, KeyConditionEdgeCases) {
  struct TCase {
    const char* What;
    std::string Db;
    std::vector<TColumn> Columns;
    std::string Expected;
  };
  const std::vector<TCase> cases = {
      {"no columns", "shop", {}, "\"1\""},
      {"no key: every column, in column order",
       "shop",
       {{"b", false}, {"a", false}},
       "\"1\".\" AND `b`='\".sqlEscape($MyDb_shop, $_GET['b'] ?? '').\"'\""
       ".\" AND `a`='\".sqlEscape($MyDb_shop, $_GET['a'] ?? '').\"'\""},
      {"database that is no PHP name",
       "my-db",
       {{"id", true}},
       "\"1\".\" AND `id`='\".sqlEscape(${'MyDb_my-db'}, $_GET['id'] ?? '').\"'\""},
      {"backtick, quote, dollar and backslash in the column name",
       "shop",
       {{"a`b'$c\\", true}},
       "\"1\".\" AND `a``b'\\$c\\\\`='\".sqlEscape($MyDb_shop, $_GET['a`b\\'$c\\\\'] ?? '').\"'\""},
      {"reserved word", "shop", {{"key", true}}, "\"1\".\" AND `key`='\".sqlEscape($MyDb_shop, $_GET['key'] ?? '').\"'\""},
  };
  for (const auto& c : cases) {
    auto table = MakeTable(c.Db, c.Columns);
    EXPECT_EQ(BuildKeyCondition(*table), c.Expected) << c.What;
  }
}

// ---------------------------------------------------------------- key URL parameters

TEST(PhpSqlTest, KeyUrlParamsEncodeEveryValue) {
  auto table = MakeTable("shop", {{"id", true}, {"name", false}, {"lang", true}});
  EXPECT_EQ(BuildKeyUrlParams(*table),
            "1&id=\".urlencode((string)($Resultset['id'] ?? '')).\""
            "&lang=\".urlencode((string)($Resultset['lang'] ?? '')).\"");
}

TEST(PhpSqlTest, KeyUrlParamsEdgeCases) {
  struct TCase {
    const char* What;
    std::vector<TColumn> Columns;
    std::string Expected;
  };
  const std::vector<TCase> cases = {
      {"no columns", {}, "1"},
      {"no key: every column",
       {{"x", false}, {"y", false}},
       "1&x=\".urlencode((string)($Resultset['x'] ?? '')).\"&y=\".urlencode((string)($Resultset['y'] ?? '')).\""},
      {"parameter name encoded, row key quoted for PHP",
       {{"a b&c'$", true}},
       "1&a%20b%26c%27%24=\".urlencode((string)($Resultset['a b&c\\'$'] ?? '')).\""},
      {"UTF-8 column name", {{"gr\xC3\xB6\xC3\x9F" "e", true}},
       "1&gr%C3%B6%C3%9Fe=\".urlencode((string)($Resultset['gr\xC3\xB6\xC3\x9F" "e'] ?? '')).\""},
  };
  for (const auto& c : cases) {
    auto table = MakeTable("shop", c.Columns);
    EXPECT_EQ(BuildKeyUrlParams(*table), c.Expected) << c.What;
  }
}

// ---------------------------------------------------------------- lookup select

struct TLookup {
  std::string Table = "city";
  std::string Display = "name";
  std::string Value = "id";
  std::string Where;
  std::string Relation = "All";
  std::string Compare;
  std::string Sort = "Asc";
  bool Distinct = true;
};

TBaseHtmlInput MakeLookup(const TLookup& l) {
  TBaseHtmlInput input("c");
  input.iLTable = l.Table;
  input.iLDisplayField = l.Display;
  input.iLValueField = l.Value;
  input.iLWhereField = l.Where;
  input.iLRelation = l.Relation;
  input.iLValue = l.Compare;
  input.iLShort = l.Sort;
  input.iLDistinct = l.Distinct;
  input.iLDb = "ignored";  // the lookup always reads the current database
  return input;
}

TEST(PhpSqlTest, LookupSelectFullExample) {
  TLookup l;
  l.Where = "country";
  l.Relation = "=";
  l.Compare = "DE";
  EXPECT_EQ(BuildLookupSelect(MakeLookup(l), "shop"),
            "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city` WHERE `country` = \\'DE\\' "
            "ORDER BY `name` ASC");
}

TEST(PhpSqlTest, LookupSelectWithoutTableOrDisplayIsEmpty) {
  TLookup noTable;
  noTable.Table = "";
  EXPECT_EQ(BuildLookupSelect(MakeLookup(noTable), "shop"), "");
  TLookup noDisplay;
  noDisplay.Display = "";
  EXPECT_EQ(BuildLookupSelect(MakeLookup(noDisplay), "shop"), "");
}

TEST(PhpSqlTest, LookupSelectRelations) {
  struct TCase {
    std::string Relation;
    std::string Where;  // expected WHERE part, "" for none
  };
  const std::vector<TCase> cases = {
      {"=", " WHERE `country` = \\'x\\'"},
      {">", " WHERE `country` > \\'x\\'"},
      {"<", " WHERE `country` < \\'x\\'"},
      {">=", " WHERE `country` >= \\'x\\'"},
      {"<=", " WHERE `country` <= \\'x\\'"},
      {"<>", " WHERE `country` <> \\'x\\'"},
      {"Like", " WHERE `country` LIKE \\'x\\'"},
      {"Unlike", " WHERE `country` NOT LIKE \\'x\\'"},
      {"All", ""},
      {"", ""},
      {"like", ""},
      {"1=1 OR", ""},  // never copied into the SQL
  };
  for (const auto& c : cases) {
    TLookup l;
    l.Where = "country";
    l.Relation = c.Relation;
    l.Compare = "x";
    l.Sort = "No short";
    EXPECT_EQ(BuildLookupSelect(MakeLookup(l), "shop"),
              "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`" + c.Where)
        << "relation [" << c.Relation << "]";
  }
}

TEST(PhpSqlTest, LookupSelectNeedsWhereFieldAndValueForACondition) {
  TLookup noValue;
  noValue.Where = "country";
  noValue.Relation = "=";
  noValue.Sort = "";
  EXPECT_EQ(BuildLookupSelect(MakeLookup(noValue), "shop"),
            "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`");
  TLookup noField = noValue;
  noField.Where = "";
  noField.Compare = "DE";
  EXPECT_EQ(BuildLookupSelect(MakeLookup(noField), "shop"),
            "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`");
}

TEST(PhpSqlTest, LookupSelectSortDistinctAndValueField) {
  struct TCase {
    const char* What;
    std::string Sort;
    bool Distinct;
    std::string Value;
    std::string Expected;
  };
  const std::vector<TCase> cases = {
      {"ascending", "Asc", true, "id", "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city` ORDER BY `name` ASC"},
      {"descending", "Desc", true, "id", "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city` ORDER BY `name` DESC"},
      {"other sort", "No short", true, "id", "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`"},
      {"lower-case sort", "asc", true, "id", "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`"},
      {"not distinct", "", false, "id", "SELECT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`"},
      {"no value field keeps the blank", "", true, "", "SELECT DISTINCT `name`  FROM '.sqlIdent($dbname_shop).'.`city`"},
  };
  for (const auto& c : cases) {
    TLookup l;
    l.Sort = c.Sort;
    l.Distinct = c.Distinct;
    l.Value = c.Value;
    EXPECT_EQ(BuildLookupSelect(MakeLookup(l), "shop"), c.Expected) << c.What;
  }
}

TEST(PhpSqlTest, LookupSelectEscapesForSqlAndThePhpLiteral) {
  TLookup l;
  l.Table = "a`b";
  l.Display = "it's";
  l.Value = "back\\slash";
  l.Where = "w";
  l.Relation = "Like";
  l.Compare = "O'Brien\\%";
  l.Sort = "Desc";
  // SQL first (backticks doubled, '' and \\ in the string), then the PHP
  // single-quoted literal (every ' and \ escaped once more).
  EXPECT_EQ(BuildLookupSelect(MakeLookup(l), "my-db"),
            "SELECT DISTINCT `it\\'s` ,`back\\\\slash` FROM '.sqlIdent(${'dbname_my-db'}).'.`a``b` "
            "WHERE `w` LIKE \\'O\\'\\'Brien\\\\\\\\%\\' ORDER BY `it\\'s` DESC");
}

}  // namespace
