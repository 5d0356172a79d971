// The four site-page generators, filled into small probe templates that print
// every variable and block instance.

#include "TablePageTestSupport.h"

#include "core/Exception.h"
#include "generator/phpIndex.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"
#include "generator/phpindexmenu.h"

#include <array>

namespace {

class SitePagesTest : public tablepages::TablePageTest {
protected:
  void SetUp() override {
    TablePageTest::SetUp();
    qftest::WriteFile(FApp.File("tpl/dbinfo.tpl"),
                      "host[{yzt_db_hostname}] user[{yzt_db_username}] pass[{yzt_db_password}] port[{yzt_db_port}]\n"
                      "<!-- START BLOCK : yzt_db_objects -->\n"
                      "db[{yzt_db_name}] php[{yzt_db_name_php}] var[{yzt_db_name_var}] link[{yzt_db_link}] "
                      "host-in-block[{yzt_db_hostname}]\n<!-- END BLOCK : yzt_db_objects -->\nend\n");
    qftest::WriteFile(FApp.File("tpl/login.tpl"), "name[{yzt_user_name}] pass[{yzt_user_pass}]\n");
    qftest::WriteFile(FApp.File("tpl/index.tpl"), "title[{yzt_page_title_name}]\n");
    qftest::WriteFile(FApp.File("tpl/menu.tpl"), "begin\n<!-- START BLOCK : yzt_menu -->\nitem[{yzt_menu_item}]\n"
                                                 "<!-- END BLOCK : yzt_menu -->\nend\n");
    ForceDirectories(FOut.File("general"));
  }

  template <class TGenerator>
  std::string Generate(const std::string& output) {
    TGenerator(Context()).Generate();
    return qftest::ReadFile(FOut.File(output));
  }
};

std::string Header(const std::string& text) {
  return "  <tr class=\"cssHeader\"><td align=\"center\">" + text + "</td></tr>\r\n";
}
std::string Row(int blanks, const std::string& page, const std::string& caption) {
  return std::string(static_cast<size_t>(blanks), ' ') + "<tr class=\"csstr1\"><td>&nbsp<a href=\"" + page +
         "\" target=\"mainFrame\">" + caption + "</a></td></tr>\r\n";
}

TEST_F(SitePagesTest, DistinctDatabasesKeepFirstSeenOrderAndCase) {
  EXPECT_TRUE(DistinctDatabases(FProject).empty());
  for (const char* db : {"b", "a", "b", "B", "a"}) AddTable(db, "t");
  EXPECT_EQ(DistinctDatabases(FProject), (std::vector<std::string>{"b", "a", "B"}));
}

TEST_F(SitePagesTest, DbinfoHasOneInstancePerDatabaseAndQuotesTheSettingsForPhp) {
  FProject.Database_port = 3307;
  EXPECT_EQ(Generate<TSQLGenerator>("general/dbinfo.php"), "host[localhost] user[root] pass[] port[3307]\r\nend\r\n");

  FProject.Database_host = "h$x";
  FProject.Database_user = "o'neil\\";
  FProject.Database_password = "p\"a$s{$w}\\'d";
  AddTable("shop", "city");
  AddTable("my-db", "notes");
  AddTable("shop", "customer");
  AddTable("we\"ird$", "t");
  EXPECT_EQ(Generate<TSQLGenerator>("general/dbinfo.php"),
            "host[h\\$x] user[o'neil\\\\] pass[p\\\"a\\$s{\\$w}\\\\'d] port[3307]\r\n"
            "db[shop] php[shop] var[$dbname_shop] link[$MyDb_shop] host-in-block[]\r\n"
            "db[my-db] php[my-db] var[${'dbname_my-db'}] link[${'MyDb_my-db'}] host-in-block[]\r\n"
            "db[we\"ird$] php[we\\\"ird\\$] var[${'dbname_we\"ird$'}] link[${'MyDb_we\"ird$'}] host-in-block[]\r\n"
            "end\r\n");
}

TEST_F(SitePagesTest, LoginQuotesNameAndPasswordForPhpAndIndexTakesTheCaptionAsWritten) {
  EXPECT_EQ(Generate<TLoginGenerator>("general/login.php"), "name[] pass[]\r\n");
  FProject.AdminName = "admin";
  FProject.AdminPass = "it's \"$ecret\"\\";
  EXPECT_EQ(Generate<TLoginGenerator>("general/login.php"), "name[admin] pass[it's \\\"\\$ecret\\\"\\\\]\r\n");

  EXPECT_EQ(Generate<TIndexGenerator>("index.html"), "title[Project1]\r\n");
  FProject.SiteCaption = "Shop & <b>More</b>";
  EXPECT_EQ(Generate<TIndexGenerator>("index.html"), "title[Shop & <b>More</b>]\r\n");  // replaces the file
}

TEST_F(SitePagesTest, MenuHeadersOnlyBeforeTheFirstTableOfEachDatabase) {
  EXPECT_EQ(Generate<TIndexMenuGenerator>("menu.php"), "begin\r\nend\r\n");
  AddTable("shop", "city").Caption = "Cities";
  AddTable("shop", "customer").Caption = "Customers";
  AddTable("crm", "contact").Caption = "Contacts";
  AddTable("shop", "order").Caption = "Orders";  // listed apart: no second header
  EXPECT_EQ(Generate<TIndexMenuGenerator>("menu.php"),
            "begin\r\n"
            "item[" + Header("SHOP") + Row(6, "shop_city_list.php", "Cities") + "]\r\n"
            "item[" + Row(2, "shop_customer_list.php", "Customers") + "]\r\n"
            "item[" + Header("CRM") + Row(6, "crm_contact_list.php", "Contacts") + "]\r\n"
            "item[" + Row(2, "shop_order_list.php", "Orders") + "]\r\n"
            "end\r\n");
}

TEST(SiteMenuItemTest, HeaderUpperCasesOnlyAToZAndTheLinkIsUrlEncoded) {
  const std::vector<std::array<std::string, 4>> cases = {
      // database, table, header, page
      {"Shop_2", "t", "SHOP_2", "Shop_2_t_list.php"},
      {"my-db", "t", "MY-DB", "my-db_t_list.php"},
      {"z\xC3\xBCrich", "t", "Z\xC3\xBCRICH", "z%C3%BCrich_t_list.php"},  // ü stays as it is
      {"a b&c\"d", "t", "A B&C\"D", "a%20b%26c%22d_t_list.php"},
      {"x\" onclick=\"alert(1)", "t'><script>", "X\" ONCLICK=\"ALERT(1)",
       "x%22%20onclick%3D%22alert%281%29_t%27%3E%3Cscript%3E_list.php"},
  };
  for (const auto& [db, name, header, page] : cases) {
    TWebTable table;
    table.DB = db;
    table.Name = name;
    table.Caption = "It's <i>T</i>";
    EXPECT_EQ(TIndexMenuGenerator::MenuItem(table, true), Header(header) + Row(6, page, "It's <i>T</i>")) << db;
    EXPECT_EQ(TIndexMenuGenerator::MenuItem(table, false), Row(2, page, "It's <i>T</i>")) << db;
  }
}

TEST_F(SitePagesTest, MissingTemplateUnwritableTargetOrMissingFolderRaises) {
  AddTable("shop", "city");
  const std::vector<std::pair<std::string, void (*)(const TGeneratorContext&)>> generators = {
      {"dbinfo", [](const TGeneratorContext& c) { TSQLGenerator(c).Generate(); }},
      {"login", [](const TGeneratorContext& c) { TLoginGenerator(c).Generate(); }},
      {"index", [](const TGeneratorContext& c) { TIndexGenerator(c).Generate(); }},
      {"menu", [](const TGeneratorContext& c) { TIndexMenuGenerator(c).Generate(); }},
  };
  // Folders in place of the target files: no write can succeed, not even as root.
  for (const char* name : {"general/dbinfo.php", "general/login.php", "index.html", "menu.php"})
    ForceDirectories(FOut.File(name));
  const TGeneratorContext noFolder{FProject, FApp.Path() + "/", FOut.Path() + "/no/such/folder/"};
  qftest::TempDir clean;
  ForceDirectories(clean.File("general"));
  const TGeneratorContext cleanOut{FProject, FApp.Path() + "/", clean.Path() + "/"};
  for (const auto& [name, generate] : generators) {
    EXPECT_THROW(generate(Context()), EInOutError) << name;
    EXPECT_THROW(generate(noFolder), EInOutError) << name;
    ASSERT_EQ(::unlink(FApp.File("tpl/" + name + ".tpl").c_str()), 0);
    EXPECT_THROW(generate(cleanOut), EFOpenError) << name;
  }
  EXPECT_EQ(FindFiles(clean.Path(), "*"), std::vector<std::string>{"general"});
  EXPECT_TRUE(FindFiles(clean.File("general"), "*").empty());
}

}  // namespace
