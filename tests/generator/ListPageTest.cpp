// The list page generator, filled into a probe template.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/PhpSql.h"
#include "generator/phplist.h"

#include <cstdio>
#include <functional>

namespace {

using tablepages::TablePageTest;
using tablepages::TProbeOutput;

class ListPageTest : public TablePageTest {
protected:
  void SetUp() override {
    TablePageTest::SetUp();
    WriteProbe("list", tablepages::ListPageNames());
  }
  TProbeOutput Generate() { return Run<TListGenerator>("list"); }
};

// ---------------------------------------------------------------- globals

TEST_F(ListPageTest, GlobalsComeFromProjectAndTable) {
  TWebTable& table = AddTable("shop", "products");
  table.Caption = "Products & more";
  AddColumn(table, "id").Key = true;
  FProject.RowNumber = 15;
  FProject.SiteCaption = "My shop";
  FProject.TableAlign = "Left";
  FProject.TableWidth = 640;
  FProject.WidthType = 1;

  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_row_number"), "15");
  EXPECT_EQ(out.Global("yzt_table_name"), "products");
  EXPECT_EQ(out.Global("yzt_db_name"), "shop");
  EXPECT_EQ(out.Global("yzt_insert_page"), "shop_products_insert.php");
  EXPECT_EQ(out.Global("yzt_table_caption"), "Products & more");
  EXPECT_EQ(out.Global("yzt_page_title_name"), "My shop");
  EXPECT_EQ(out.Global("yzt_page_align"), "Left");
  EXPECT_EQ(out.Global("yzt_page_width"), "640");
  EXPECT_EQ(out.Global("yzt_page_width_type"), "");
  EXPECT_EQ(out.Global("yzt_filter_part_one"), " WHERE 1 ");
  EXPECT_EQ(out.Global("yzt_table_key_field"), BuildKeyUrlParams(table));
  EXPECT_EQ(out.Global("yzt_table_key_field"), "1&id=\".urlencode((string)($Resultset['id'] ?? '')).\"");
  EXPECT_EQ(out.Global("yzt_db_link"), "$MyDb_shop");

  FProject.WidthType = 0;
  FProject.TableAlign = "Left\" onclick=\"x";  // the template puts it in an attribute
  const TProbeOutput again = Generate();
  EXPECT_EQ(again.Global("yzt_page_width_type"), "%");
  EXPECT_EQ(again.Global("yzt_page_align"), "Left&quot; onclick=&quot;x");
}

TEST_F(ListPageTest, RightIsZeroOnlyForGuestExactly) {
  const std::pair<const char*, const char*> cases[] = {{"Guest", "0"}, {"Admin", "1"}, {"guest", "1"}, {"", "1"}};
  TWebTable& table = AddTable("shop", "products");
  for (const auto& [right, flag] : cases) {
    table.ListRight = right;
    EXPECT_EQ(Generate().Global("yzt_page_right"), flag) << right;
  }
}

TEST_F(ListPageTest, DatabaseNameThatIsNoPhpNameGivesAValidConnectionVariable) {
  TWebTable& table = AddTable("my-db", "notes");
  AddColumn(table, "id").Key = true;
  SetLookup(AddColumn(table, "author"), "people", "name", "id");
  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_db_link"), "${'MyDb_my-db'}");
  EXPECT_EQ(out.Global("yzt_insert_page"), "my-db_notes_insert.php");
  EXPECT_EQ(out.Global("yzt_select_sql_part_one"),
            "SELECT  `notes`.`id`,`notes`.`author` FROM `my-db`.`notes` LEFT JOIN `my-db`.`people` AS `lk_2` ON "
            "`notes`.`author` = `lk_2`.`id`");
  EXPECT_EQ(out.Values("yzt_list_value", "yzt_act_field")[1],
            "writeHtmlTextFromDB(${'MyDb_my-db'},'my-db','people','id',$Resultset['author'],'name')");
}

// ---------------------------------------------------------------- field list and joins

struct TJoinCase {
  const char* Name;
  const char* TableName;
  std::function<void(TWebTable&)> Columns;
  const char* Select;
};

TEST_F(ListPageTest, SelectStartHoldsListAndKeyColumnsAndOneOuterJoinPerLookupColumn) {
  const auto column = [](TWebTable& t, const char* name, bool key, bool list) -> TWebInput& {
    TWebInput& input = AddColumn(t, name);
    input.Key = key;
    input.List = list;
    return input;
  };
  const TJoinCase cases[] = {
      {"key and list columns", "products",
       [&](TWebTable& t) {
         column(t, "id", true, true);
         column(t, "name", false, true);
         column(t, "note", false, false);
       },
       "SELECT  `products`.`id`,`products`.`name` FROM `shop`.`products`"},
      {"unlisted key column", "products",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         column(t, "name", false, true);
       },
       "SELECT  `products`.`id`,`products`.`name` FROM `shop`.`products`"},
      {"no key: every column is a key column", "products",
       [&](TWebTable& t) {
         column(t, "a", false, true);
         column(t, "b", false, false);
       },
       "SELECT  `products`.`a`,`products`.`b` FROM `shop`.`products`"},
      {"no columns", "products", [](TWebTable&) {}, "SELECT  FROM `shop`.`products`"},
      {"listed lookup", "products",
       [&](TWebTable& t) {
         column(t, "id", true, true);
         SetLookup(column(t, "city_id", false, true), "city", "name", "id");
       },
       "SELECT  `products`.`id`,`products`.`city_id` FROM `shop`.`products` LEFT JOIN `shop`.`city` AS `lk_2` ON "
       "`products`.`city_id` = `lk_2`.`id`"},
      {"filtered lookup that is not listed", "products",
       [&](TWebTable& t) {
         column(t, "id", true, true);
         TWebInput& city = column(t, "city_id", false, false);
         SetLookup(city, "city", "name", "id");
         city.Filter_type = "Like";
       },
       "SELECT  `products`.`id` FROM `shop`.`products` LEFT JOIN `shop`.`city` AS `lk_2` ON `products`.`city_id` = "
       "`lk_2`.`id`"},
      {"lookup neither listed nor filtered", "products",
       [&](TWebTable& t) {
         column(t, "id", true, true);
         SetLookup(column(t, "city_id", false, false), "city", "name", "id");
       },
       "SELECT  `products`.`id` FROM `shop`.`products`"},
      {"lookup table used twice", "customer",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         SetLookup(column(t, "home_city", false, true), "city", "name", "id");
         SetLookup(column(t, "work_city", false, true), "city", "name", "id");
       },
       "SELECT  `customer`.`id`,`customer`.`home_city`,`customer`.`work_city` FROM `shop`.`customer` LEFT JOIN "
       "`shop`.`city` AS `lk_2` ON `customer`.`home_city` = `lk_2`.`id` LEFT JOIN `shop`.`city` AS `lk_3` ON "
       "`customer`.`work_city` = `lk_3`.`id`"},
      {"table looking itself up", "category",
       [&](TWebTable& t) {
         column(t, "id", true, true);
         SetLookup(column(t, "parent_id", false, true), "category", "title", "id");
       },
       "SELECT  `category`.`id`,`category`.`parent_id` FROM `shop`.`category` LEFT JOIN `shop`.`category` AS `lk_2` "
       "ON `category`.`parent_id` = `lk_2`.`id`"},
      {"empty value field joins on the display field", "products",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         SetLookup(column(t, "city_name", false, true), "city", "name", "");
       },
       "SELECT  `products`.`id`,`products`.`city_name` FROM `shop`.`products` LEFT JOIN `shop`.`city` AS `lk_2` ON "
       "`products`.`city_name` = `lk_2`.`name`"},
      {"lookup without display field is no join", "products",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         SetLookup(column(t, "city_id", false, true), "city", "", "id");
       },
       "SELECT  `products`.`id`,`products`.`city_id` FROM `shop`.`products`"},
      {"list not from the database is no join", "products",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         TWebInput& city = column(t, "city_id", false, true);
         SetLookup(city, "city", "name", "id");
         city.HtmlInput->iLElementFromDb = false;
       },
       "SELECT  `products`.`id`,`products`.`city_id` FROM `shop`.`products`"},
      {"fixed item list is no join", "products",
       [&](TWebTable& t) {
         column(t, "id", true, false);
         TWebInput& city = column(t, "city_id", false, true);
         SetLookup(city, "city", "name", "id");
         city.HtmlInput->iLSource = 1;
       },
       "SELECT  `products`.`id`,`products`.`city_id` FROM `shop`.`products`"},
      {"alias never equals the table name", "lk_1",
       [&](TWebTable& t) { SetLookup(column(t, "parent", true, true), "lk_1", "title", "id"); },
       "SELECT  `lk_1`.`parent` FROM `shop`.`lk_1` LEFT JOIN `shop`.`lk_1` AS `_lk_1` ON `lk_1`.`parent` = "
       "`_lk_1`.`id`"},
      {"reserved words and quotes in names", "order",
       [&](TWebTable& t) {
         column(t, "key", true, true);
         column(t, "it's", false, true);
         column(t, "back`tick", false, true);
       },
       "SELECT  `order`.`key`,`order`.`it\\'s`,`order`.`back``tick` FROM `shop`.`order`"},
  };
  for (const TJoinCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProject.Tables.clear();
    TWebTable& table = AddTable("shop", c.TableName);
    c.Columns(table);
    const TProbeOutput out = Generate();
    EXPECT_EQ(out.Global("yzt_select_sql_part_one"), c.Select);
    EXPECT_EQ(out.Global("yzt_filter_part_one"), " WHERE 1 ");
  }
}

// ---------------------------------------------------------------- filters

TEST_F(ListPageTest, FilterCodeEscapesEveryValueAndNamesTheJoinedTable) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  AddColumn(table, "price").Filter_type = "Interval";
  TWebInput& city = AddColumn(table, "city_id");
  SetLookup(city, "city", "name", "id");
  city.Filter_type = "Like";
  city.List = false;  // filtered, not listed: still joined
  AddColumn(table, "note").Filter_type = "No";
  AddColumn(table, "price$").Filter_type = "Like";

  const TProbeOutput out = Generate();
  const std::vector<std::string> items = out.Values("yzt_filter_block", "yzt_filter_item");
  ASSERT_EQ(items.size(), 5u);  // one instance per column, "No" and all
  EXPECT_EQ(items[0], "");
  EXPECT_EQ(items[1],
            "if (trim(requestValue('price_min')) != \"\") $filterSql = $filterSql.\" AND `products`.`price` >= "
            "'\".sqlEscape($MyDb_shop, trim(requestValue('price_min'))).\"' \";\r\n"
            "       if (trim(requestValue('price_max')) != \"\") $filterSql = $filterSql.\" AND `products`.`price` "
            "<= '\".sqlEscape($MyDb_shop, trim(requestValue('price_max'))).\"' \";\r\n\r\n");
  EXPECT_EQ(items[2],
            "if (trim(requestValue('city_id_val')) != \"\")\r\n"
            "       {\r\n"
            "         $tempmode=\"LIKE\"; $tmpm=\"%\";\r\n"
            "         if (trim(requestValue('city_id_mode')) == \"Exactly\") { $tempmode=\"=\"; $tmpm=\"\";}\r\n"
            "         if (trim(requestValue('city_id_mode')) == \"Like\")    {$tempmode=\"LIKE\"; $tmpm=\"%\";}\r\n"
            "         $filterSql = $filterSql.\" AND `lk_3`.`name` \".$tempmode.\" '\". sqlEscape($MyDb_shop, "
            "trim(requestValue('city_id_val'))).$tmpm.\"' \";\r\n"
            "       }\r\n\r\n");
  EXPECT_EQ(items[3], "");
  // A "$" in a column name stays text inside the double-quoted PHP string.
  EXPECT_NE(items[4].find("\" AND `products`.`price\\$` \".$tempmode"), std::string::npos) << items[4];
  EXPECT_NE(items[4].find("requestValue('price$_val')"), std::string::npos) << items[4];
}

TEST_F(ListPageTest, FilterFormReshowsPostedValuesEscapedAndSelectsTheChosenMode) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  TWebInput& name = AddColumn(table, "name");
  name.Filter_type = "Like";
  name.Caption = "Name's";
  AddColumn(table, "plain").Filter_type = "No";
  AddColumn(table, "price").Filter_type = "Interval";
  AddColumn(table, "odd").Filter_type = "like";  // names compare exactly

  const TProbeOutput out = Generate();
  const auto areas = out.Of("yzt_filter_area");
  ASSERT_EQ(areas.size(), 2u);
  EXPECT_EQ(areas[0]["yzt_insert_filter_caption"], "Name's");
  EXPECT_EQ(areas[0]["yzt_insert_filter_row"],
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"name_val\" id=\"name_val\" "
            "value=\"<?php echo h(requestValue('name_val')); ?>\"> -\r\n"
            "<select name=\"name_mode\" id=\"name_mode\" class=\"csscombo\">\r\n"
            "   <option value=\"Exactly\" <?php if (trim(requestValue('name_mode')) == \"Exactly\") echo "
            "\"selected\"; ?>>Exactly\r\n"
            "   <option value=\"Like\" <?php if (trim(requestValue('name_mode')) <> \"Exactly\") echo \"selected\"; "
            "?>>Like\r\n"
            "</select>\r\n");
  EXPECT_EQ(areas[1]["yzt_insert_filter_caption"], "price caption");
  EXPECT_EQ(areas[1]["yzt_insert_filter_row"],
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"price_min\" id=\"price_min\" "
            "value=\"<?php echo h(requestValue('price_min')); ?>\"> -\r\n"
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"price_max\" id=\"price_max\" "
            "value=\"<?php echo h(requestValue('price_max')); ?>\">");
  EXPECT_EQ(out.Values("yzt_filter_block", "yzt_filter_item")[4], "");
}

TEST_F(ListPageTest, FilterOnColumnWithQuoteInItsNameStaysInsideItsLiterals) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "it's\"").Filter_type = "Like";
  const TProbeOutput out = Generate();
  const std::string row = out.Of("yzt_filter_area").at(0)["yzt_insert_filter_row"];
  EXPECT_NE(row.find("name=\"it&#39;s&quot;_val\""), std::string::npos) << row;
  EXPECT_NE(row.find("requestValue('it\\'s\"_val')"), std::string::npos) << row;
  const std::string code = out.Values("yzt_filter_block", "yzt_filter_item").at(0);
  EXPECT_NE(code.find("\" AND `products`.`it's\\\"` \""), std::string::npos) << code;
}

// ---------------------------------------------------------------- sorting, headers and values

TEST_F(ListPageTest, SortHeaderAndValueInstancesFollowTheListColumns) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  AddColumn(table, "hidden").List = false;
  AddColumn(table, "it's");
  TWebInput& status = AddColumn(table, "status", "Radiobox");
  SetItems(status, {"New=new", "It's=it's", "a=b=c"});
  TWebInput& colours = AddColumn(table, "colours", "Checkbox");
  SetItems(colours, {});
  SetLookup(AddColumn(table, "city_id", "Combobox"), "city", "name", "id");
  TWebInput& fixed = AddColumn(table, "kind", "Combobox");
  SetItems(fixed, {"A=a"});
  TWebInput& raw = AddColumn(table, "raw_city", "Radiobox");
  SetLookup(raw, "city", "name", "id");
  raw.HtmlInput->iLElementFromDb = false;
  SetItems(raw, {"One=1"});

  const TProbeOutput out = Generate();
  const std::vector<std::string> sortable = {"id", "it\\'s", "status", "colours", "city_id", "kind", "raw_city"};
  EXPECT_EQ(out.Values("yzt_shorting_block", "yzt_short_field"), sortable);
  EXPECT_EQ(out.Values("yzt_list_headers_2row", "yzt_list_1input_2row"), sortable);
  EXPECT_EQ(out.Values("yzt_list_headers_1row", "yzt_list_1input_1row"),
            (std::vector<std::string>{"id caption", "it's caption", "status caption", "colours caption",
                                      "city_id caption", "kind caption", "raw_city caption"}));
  EXPECT_EQ(out.Global("yzt_column_number"), "10");

  const std::vector<std::string> values = out.Values("yzt_list_value", "yzt_act_field");
  ASSERT_EQ(values.size(), 7u);
  EXPECT_EQ(values[0], " writeHtmlText($Resultset['id']);\r\n");
  EXPECT_EQ(values[1], " writeHtmlText($Resultset['it\\'s']);\r\n");
  EXPECT_EQ(values[2],
            "if ($Resultset['status'] == 'new') writeHtmlText('New');\r\n"
            "if ($Resultset['status'] == 'it\\'s') writeHtmlText('It\\'s');\r\n"
            "if ($Resultset['status'] == 'b=c') writeHtmlText('a');\r\n");
  EXPECT_EQ(values[3], "");
  EXPECT_EQ(values[4], "writeHtmlTextFromDB($MyDb_shop,'shop','city','id',$Resultset['city_id'],'name')");
  EXPECT_EQ(values[5], " writeHtmlText($Resultset['kind']);\r\n");
  EXPECT_EQ(values[6], "if ($Resultset['raw_city'] == '1') writeHtmlText('One');\r\n");
}

TEST_F(ListPageTest, TableWithoutListColumnsListsOnlyItsKey) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  table.InputList[0]->List = false;
  AddColumn(table, "name").List = false;
  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_column_number"), "3");
  EXPECT_TRUE(out.Of("yzt_shorting_block").empty());
  EXPECT_TRUE(out.Of("yzt_list_headers_1row").empty());
  EXPECT_TRUE(out.Of("yzt_list_headers_2row").empty());
  EXPECT_TRUE(out.Of("yzt_list_value").empty());
  EXPECT_EQ(out.Global("yzt_select_sql_part_one"), "SELECT  `products`.`id` FROM `shop`.`products`");
}

TEST_F(ListPageTest, LookupValueWithEmptyValueFieldReadsTheDisplayField) {
  TWebTable& table = AddTable("shop", "products");
  SetLookup(AddColumn(table, "city"), "city", "name", "");
  EXPECT_EQ(Generate().Values("yzt_list_value", "yzt_act_field").at(0),
            "writeHtmlTextFromDB($MyDb_shop,'shop','city','name',$Resultset['city'],'name')");
}

// ---------------------------------------------------------------- failures

TEST_F(ListPageTest, NoCurrentTableRaisesAndWritesNothing) {
  AddTable("shop", "products");
  FProject.CurrentTable = "missing";
  TListGenerator generator(Context());
  EXPECT_THROW(generator.Generate(), Exception);
  EXPECT_FALSE(FileExists(OutputFile("list")));

  FProject.CurrentTable = "products";
  FProject.CurrentDatabase = "";
  EXPECT_THROW(generator.Generate(), Exception);
}

TEST_F(ListPageTest, MissingTemplateRaisesFileError) {
  AddTable("shop", "products");
  std::remove(FApp.File("tpl/list.tpl").c_str());
  TListGenerator generator(Context());
  EXPECT_THROW(generator.Generate(), EFOpenError);
}

}  // namespace
