// The list page generator, filled into a probe template.

#include "TablePageTestSupport.h"

#include "generator/phplist.h"

namespace {

using tablepages::TProbeOutput;

class ListPageTest : public tablepages::TablePageTest {
protected:
  TProbeOutput Generate() { return Run<TListGenerator>("list"); }
};

TEST_F(ListPageTest, ListGlobalsAndADatabaseNameThatIsNoPhpName) {
  TWebTable& table = AddTable("my-db", "notes");
  table.Caption = "Notes & more";
  AddColumn(table, "id").Key = true;
  SetLookup(AddColumn(table, "author"), "people", "name", "id");
  FProject.RowNumber = 15;
  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_row_number"), "15");
  EXPECT_EQ(out.Global("yzt_insert_page"), "my-db_notes_insert.php");
  EXPECT_EQ(out.Global("yzt_table_caption"), "Notes & more");
  EXPECT_EQ(out.Global("yzt_filter_part_one"), " WHERE 1 ");
  EXPECT_EQ(out.Global("yzt_select_sql_part_one"),
            "SELECT  `notes`.`id`,`notes`.`author` FROM `my-db`.`notes` LEFT JOIN `my-db`.`people` AS `lk_2` ON "
            "`notes`.`author` = `lk_2`.`id`");
  EXPECT_EQ(out.Values("yzt_list_value", "yzt_act_field").at(1),
            "writeHtmlTextFromDB(${'MyDb_my-db'},'my-db','people','id',$Resultset['author'],'name')");
}

// A column of the join cases. Flags: k key, l listed, f filtered (Like),
// x items not from the database, i fixed item list.
struct TCol {
  const char* Name;
  const char* Flags;
  const char* Table = "";
  const char* Display = "";
  const char* Value = "";
};

struct TJoinCase {
  const char* What;
  const char* Table;
  std::vector<TCol> Columns;
  const char* Select;
};

TEST_F(ListPageTest, SelectHoldsListAndKeyColumnsAndOneOuterJoinPerShownLookup) {
  const char* const noJoin = "SELECT  `t`.`id`,`t`.`c` FROM `shop`.`t`";
  const TJoinCase cases[] = {
      {"key and list columns", "t", {{"id", "kl"}, {"name", "l"}, {"note", ""}},
       "SELECT  `t`.`id`,`t`.`name` FROM `shop`.`t`"},
      {"unlisted key", "t", {{"id", "k"}, {"name", "l"}}, "SELECT  `t`.`id`,`t`.`name` FROM `shop`.`t`"},
      {"no key: every column is key", "t", {{"a", "l"}, {"b", ""}}, "SELECT  `t`.`a`,`t`.`b` FROM `shop`.`t`"},
      {"no columns", "t", {}, "SELECT  FROM `shop`.`t`"},
      {"listed lookup", "t", {{"id", "kl"}, {"c", "l", "city", "name", "id"}},
       "SELECT  `t`.`id`,`t`.`c` FROM `shop`.`t` LEFT JOIN `shop`.`city` AS `lk_2` ON `t`.`c` = `lk_2`.`id`"},
      {"filtered unlisted lookup", "t", {{"id", "kl"}, {"c", "f", "city", "name", "id"}},
       "SELECT  `t`.`id` FROM `shop`.`t` LEFT JOIN `shop`.`city` AS `lk_2` ON `t`.`c` = `lk_2`.`id`"},
      {"lookup neither listed nor filtered", "t", {{"id", "kl"}, {"c", "", "city", "name", "id"}},
       "SELECT  `t`.`id` FROM `shop`.`t`"},
      {"lookup table used twice", "t", {{"id", "k"}, {"h", "l", "city", "name", "id"}, {"w", "l", "city", "name", "id"}},
       "SELECT  `t`.`id`,`t`.`h`,`t`.`w` FROM `shop`.`t` LEFT JOIN `shop`.`city` AS `lk_2` ON `t`.`h` = `lk_2`.`id` "
       "LEFT JOIN `shop`.`city` AS `lk_3` ON `t`.`w` = `lk_3`.`id`"},
      {"table looking itself up", "t", {{"id", "kl"}, {"c", "l", "t", "title", "id"}},
       "SELECT  `t`.`id`,`t`.`c` FROM `shop`.`t` LEFT JOIN `shop`.`t` AS `lk_2` ON `t`.`c` = `lk_2`.`id`"},
      {"empty value field joins on the display field", "t", {{"id", "k"}, {"c", "l", "city", "name", ""}},
       "SELECT  `t`.`id`,`t`.`c` FROM `shop`.`t` LEFT JOIN `shop`.`city` AS `lk_2` ON `t`.`c` = `lk_2`.`name`"},
      {"no display field", "t", {{"id", "k"}, {"c", "l", "city", "", "id"}}, noJoin},
      {"items not from the database", "t", {{"id", "k"}, {"c", "lx", "city", "name", "id"}}, noJoin},
      {"fixed item list", "t", {{"id", "k"}, {"c", "li", "city", "name", "id"}}, noJoin},
      {"alias never equals the table name", "lk_1", {{"p", "kl", "lk_1", "title", "id"}},
       "SELECT  `lk_1`.`p` FROM `shop`.`lk_1` LEFT JOIN `shop`.`lk_1` AS `_lk_1` ON `lk_1`.`p` = `_lk_1`.`id`"},
      {"reserved words and quotes", "t", {{"key", "kl"}, {"it's", "l"}, {"back`tick", "l"}},
       "SELECT  `t`.`key`,`t`.`it\\'s`,`t`.`back``tick` FROM `shop`.`t`"},
  };
  for (const TJoinCase& c : cases) {
    SCOPED_TRACE(c.What);
    FProject.Tables.clear();
    TWebTable& table = AddTable("shop", c.Table);
    for (const TCol& col : c.Columns) {
      const std::string flags = col.Flags;
      const auto has = [&flags](char flag) { return flags.find(flag) != std::string::npos; };
      TWebInput& input = AddColumn(table, col.Name);
      input.Key = has('k');
      input.List = has('l');
      if (has('f')) input.Filter_type = "Like";
      if (*col.Table) SetLookup(input, col.Table, col.Display, col.Value);
      if (has('x')) input.HtmlInput->iLElementFromDb = false;
      if (has('i')) input.HtmlInput->iLSource = 1;
    }
    EXPECT_EQ(Generate().Global("yzt_select_sql_part_one"), c.Select);
  }
}

TEST_F(ListPageTest, FilterCodeAndFormEscapeEveryValueAndNameTheJoinedTable) {
  TWebTable& table = AddTable("shop", "t");
  AddColumn(table, "id").Key = true;
  AddColumn(table, "price").Filter_type = "Interval";
  TWebInput& city = SetLookup(AddColumn(table, "c"), "city", "name", "id");
  city.Filter_type = "Like";
  city.List = false;
  city.Caption = "City's";
  AddColumn(table, "note").Filter_type = "No";
  AddColumn(table, "it's\"$").Filter_type = "Like";
  AddColumn(table, "odd").Filter_type = "like";  // names compare exactly

  const TProbeOutput out = Generate();
  const std::vector<std::string> code = out.Values("yzt_filter_block", "yzt_filter_item");
  ASSERT_EQ(code.size(), 6u);  // one instance per column
  EXPECT_EQ(code[0], "");
  EXPECT_EQ(code[1],
            "if (trim(requestValue('price_min')) != \"\") $filterSql = $filterSql.\" AND `t`.`price` >= "
            "'\".sqlEscape($MyDb_shop, trim(requestValue('price_min'))).\"' \";\r\n"
            "       if (trim(requestValue('price_max')) != \"\") $filterSql = $filterSql.\" AND `t`.`price` <= "
            "'\".sqlEscape($MyDb_shop, trim(requestValue('price_max'))).\"' \";\r\n\r\n");
  EXPECT_EQ(code[2],
            "if (trim(requestValue('c_val')) != \"\")\r\n"
            "       {\r\n"
            "         $tempmode=\"LIKE\"; $tmpm=\"%\";\r\n"
            "         if (trim(requestValue('c_mode')) == \"Exactly\") { $tempmode=\"=\"; $tmpm=\"\";}\r\n"
            "         if (trim(requestValue('c_mode')) == \"Like\")    {$tempmode=\"LIKE\"; $tmpm=\"%\";}\r\n"
            "         $filterSql = $filterSql.\" AND `lk_3`.`name` \".$tempmode.\" '\". sqlEscape($MyDb_shop, "
            "trim(requestValue('c_val'))).$tmpm.\"' \";\r\n"
            "       }\r\n\r\n");
  EXPECT_EQ(code[3], "");
  EXPECT_NE(code[4].find("\" AND `t`.`it's\\\"\\$` \".$tempmode"), std::string::npos) << code[4];
  EXPECT_NE(code[4].find("requestValue('it\\'s\"$_val')"), std::string::npos) << code[4];
  EXPECT_EQ(code[5], "");

  const auto areas = out.Of("yzt_filter_area");
  ASSERT_EQ(areas.size(), 3u);
  EXPECT_EQ(areas[0]["yzt_insert_filter_caption"], "price caption");
  EXPECT_EQ(areas[0]["yzt_insert_filter_row"],
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"price_min\" id=\"price_min\" "
            "value=\"<?php echo h(requestValue('price_min')); ?>\"> -\r\n"
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"price_max\" id=\"price_max\" "
            "value=\"<?php echo h(requestValue('price_max')); ?>\">");
  EXPECT_EQ(areas[1]["yzt_insert_filter_caption"], "City's");
  EXPECT_EQ(areas[1]["yzt_insert_filter_row"],
            "<input type=\"text\" size=\"20\" class=\"cssInput\" name=\"c_val\" id=\"c_val\" "
            "value=\"<?php echo h(requestValue('c_val')); ?>\"> -\r\n"
            "<select name=\"c_mode\" id=\"c_mode\" class=\"csscombo\">\r\n"
            "   <option value=\"Exactly\" <?php if (trim(requestValue('c_mode')) == \"Exactly\") echo "
            "\"selected\"; ?>>Exactly\r\n"
            "   <option value=\"Like\" <?php if (trim(requestValue('c_mode')) <> \"Exactly\") echo \"selected\"; "
            "?>>Like\r\n"
            "</select>\r\n");
  const std::string odd = areas[2]["yzt_insert_filter_row"];
  EXPECT_NE(odd.find("name=\"it&#39;s&quot;$_val\""), std::string::npos) << odd;
  EXPECT_NE(odd.find("requestValue('it\\'s\"$_val')"), std::string::npos) << odd;
}

TEST_F(ListPageTest, SortHeaderAndValueInstancesFollowTheListColumns) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  AddColumn(table, "hidden").List = false;
  AddColumn(table, "it's");
  SetItems(AddColumn(table, "status", "Radiobox"), {"New=new", "It's=it's", "a=b=c"});
  SetItems(AddColumn(table, "colours", "Checkbox"), {});
  SetLookup(AddColumn(table, "city_id", "Combobox"), "city", "name", "id");
  SetItems(AddColumn(table, "kind", "Combobox"), {"A=a"});
  TWebInput& raw = SetLookup(AddColumn(table, "raw_city", "Radiobox"), "city", "name", "id");
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
  EXPECT_EQ(out.Values("yzt_list_value", "yzt_act_field"),
            (std::vector<std::string>{
                " writeHtmlText($Resultset['id']);\r\n",
                " writeHtmlText($Resultset['it\\'s']);\r\n",
                "if ($Resultset['status'] == 'new') writeHtmlText('New');\r\n"
                "if ($Resultset['status'] == 'it\\'s') writeHtmlText('It\\'s');\r\n"
                "if ($Resultset['status'] == 'b=c') writeHtmlText('a');\r\n",
                "",
                "writeHtmlTextFromDB($MyDb_shop,'shop','city','id',$Resultset['city_id'],'name')",
                " writeHtmlText($Resultset['kind']);\r\n",
                "if ($Resultset['raw_city'] == '1') writeHtmlText('One');\r\n",
            }));
}

TEST_F(ListPageTest, TableWithoutListColumnsListsOnlyItsKey) {
  TWebTable& table = AddTable("shop", "products");
  AddColumn(table, "id").Key = true;
  table.InputList[0]->List = false;
  AddColumn(table, "name").List = false;
  const TProbeOutput out = Generate();
  EXPECT_EQ(out.Global("yzt_column_number"), "3");
  EXPECT_TRUE(out.Of("yzt_shorting_block").empty() && out.Of("yzt_list_headers_1row").empty() &&
              out.Of("yzt_list_headers_2row").empty() && out.Of("yzt_list_value").empty());
  EXPECT_EQ(out.Global("yzt_select_sql_part_one"), "SELECT  `products`.`id` FROM `shop`.`products`");
}

}  // namespace
