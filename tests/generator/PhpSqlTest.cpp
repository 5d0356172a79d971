// The lookup SELECT of the list controls. The key fragments show in the golden
// pages, and TablePagesTest and SupportScriptsTest check their escaping.

#include "generator/PhpSql.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace {

TBaseHtmlInput CityLookup(const std::string& relation, const std::string& value, const std::string& sort) {
  TBaseHtmlInput lookup("c");
  lookup.iLTable = "city";
  lookup.iLDisplayField = "name";
  lookup.iLValueField = "id";
  lookup.iLDb = "ignored";  // the lookup always reads the current database
  lookup.iLWhereField = "country";
  lookup.iLRelation = relation;
  lookup.iLValue = value;
  lookup.iLShort = sort;
  return lookup;
}

TEST(PhpSqlTest, LookupSelectTakesTheEditorsRelationsAndSortOrders) {
  const std::tuple<const char*, const char*, const char*, std::string> cases[] = {
      // relation, compare value, sort, what follows the FROM part
      {"=", "x", "", " WHERE `country` = \\'x\\'"},   {">", "x", "", " WHERE `country` > \\'x\\'"},
      {"<", "x", "", " WHERE `country` < \\'x\\'"},   {">=", "x", "", " WHERE `country` >= \\'x\\'"},
      {"<=", "x", "", " WHERE `country` <= \\'x\\'"}, {"<>", "x", "", " WHERE `country` <> \\'x\\'"},
      {"Like", "x", "", " WHERE `country` LIKE \\'x\\'"},
      {"Unlike", "x", "", " WHERE `country` NOT LIKE \\'x\\'"},
      {"All", "x", "", ""},                           {"like", "x", "", ""},
      {"1=1 OR", "x", "", ""},                        {"=", "", "", ""},
      {"", "", "Asc", " ORDER BY `name` ASC"},        {"", "", "Desc", " ORDER BY `name` DESC"},
      {"", "", "asc", ""},
      {"=", "DE", "Asc", " WHERE `country` = \\'DE\\' ORDER BY `name` ASC"},
  };
  for (const auto& [relation, value, sort, tail] : cases)
    EXPECT_EQ(BuildLookupSelect(CityLookup(relation, value, sort), "shop"),
              "SELECT DISTINCT `name` ,`id` FROM '.sqlIdent($dbname_shop).'.`city`" + tail)
        << relation << " " << value << " " << sort;
}

TEST(PhpSqlTest, LookupSelectOptionsAndEscaping) {
  const std::string from = "FROM '.sqlIdent($dbname_shop).'.`city`";
  const std::vector<std::pair<std::function<void(TBaseHtmlInput&)>, std::string>> cases = {
      {[](TBaseHtmlInput& l) { l.iLTable = ""; }, ""},
      {[](TBaseHtmlInput& l) { l.iLDisplayField = ""; }, ""},
      {[](TBaseHtmlInput& l) { l.iLWhereField = ""; }, "SELECT DISTINCT `name` ,`id` " + from},
      {[](TBaseHtmlInput& l) { l.iLDistinct = false; }, "SELECT `name` ,`id` " + from + " WHERE `country` = \\'x\\'"},
      {[](TBaseHtmlInput& l) { l.iLValueField = ""; },
       "SELECT DISTINCT `name`  " + from + " WHERE `country` = \\'x\\'"},
      // SQL first (backticks doubled, '' and \\ in the string), then the PHP
      // single-quoted literal (every ' and \ escaped once more).
      {[](TBaseHtmlInput& l) {
         l.iLTable = "a`b";
         l.iLDisplayField = "it's";
         l.iLValueField = "back\\slash";
         l.iLValue = "O'Brien\\%";
         l.iLShort = "Desc";
       },
       "SELECT DISTINCT `it\\'s` ,`back\\\\slash` FROM '.sqlIdent($dbname_shop).'.`a``b` "
       "WHERE `country` = \\'O\\'\\'Brien\\\\\\\\%\\' ORDER BY `it\\'s` DESC"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    TBaseHtmlInput lookup = CityLookup("=", "x", "");
    cases[i].first(lookup);
    EXPECT_EQ(BuildLookupSelect(lookup, "shop"), cases[i].second) << "case " << i;
  }
}

}  // namespace
