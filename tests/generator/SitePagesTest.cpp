// The four site-page generators, filled into small probe templates that print
// every variable and block instance, so the checks do not depend on the
// shipped templates.

#include "generator/phpIndex.h"
#include "generator/phpLogin.h"
#include "generator/phpdbinfo.h"
#include "generator/phpindexmenu.h"

#include "TestSupport.h"
#include "core/Exception.h"
#include "core/Files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kDbinfoProbe =
    "host[{yzt_db_hostname}] user[{yzt_db_username}] pass[{yzt_db_password}] port[{yzt_db_port}]\n"
    "<!-- START BLOCK : yzt_db_objects -->\n"
    "db[{yzt_db_name}] php[{yzt_db_name_php}] var[{yzt_db_name_var}] link[{yzt_db_link}] "
    "host-in-block[{yzt_db_hostname}]\n"
    "<!-- END BLOCK : yzt_db_objects -->\n"
    "end\n";
const char* const kLoginProbe = "name[{yzt_user_name}] pass[{yzt_user_pass}]\n";
const char* const kIndexProbe = "title[{yzt_page_title_name}]\n";
const char* const kMenuProbe =
    "begin\n"
    "<!-- START BLOCK : yzt_menu -->\n"
    "item[{yzt_menu_item}]\n"
    "<!-- END BLOCK : yzt_menu -->\n"
    "end\n";

/** A program folder with probe templates and an output folder with general/. */
class SitePagesTest : public ::testing::Test {
protected:
  void SetUp() override {
    ForceDirectories(FApp.File("tpl"));
    qftest::WriteFile(FApp.File("tpl/dbinfo.tpl"), kDbinfoProbe);
    qftest::WriteFile(FApp.File("tpl/login.tpl"), kLoginProbe);
    qftest::WriteFile(FApp.File("tpl/index.tpl"), kIndexProbe);
    qftest::WriteFile(FApp.File("tpl/menu.tpl"), kMenuProbe);
    ForceDirectories(FOut.File("general"));
  }

  void AddTable(const std::string& db, const std::string& name, const std::string& caption) {
    auto table = std::make_unique<TWebTable>();
    table->DB = db;
    table->Name = name;
    table->Caption = caption;
    FProject.AddTable(std::move(table));
  }

  TGeneratorContext Context() const { return TGeneratorContext{FProject, FApp.Path() + "/", FOut.Path() + "/"}; }
  std::string Output(const std::string& name) const { return qftest::ReadFile(FOut.File(name)); }

  qftest::TempDir FApp;
  qftest::TempDir FOut;
  TProjectManager FProject;
};

std::string Header(const std::string& text) {
  return "  <tr class=\"cssHeader\"><td align=\"center\">" + text + "</td></tr>\r\n";
}
std::string Row(int blanks, const std::string& page, const std::string& caption) {
  return std::string(static_cast<size_t>(blanks), ' ') + "<tr class=\"csstr1\"><td>&nbsp<a href=\"" + page +
         "\" target=\"mainFrame\">" + caption + "</a></td></tr>\r\n";
}

// ---------------------------------------------------------------- distinct databases

TEST_F(SitePagesTest, DistinctDatabasesKeepFirstSeenOrderAndCase) {
  EXPECT_TRUE(DistinctDatabases(FProject).empty());
  AddTable("b", "t1", "");
  AddTable("a", "t2", "");
  AddTable("b", "t3", "");
  AddTable("B", "t4", "");
  AddTable("a", "t5", "");
  EXPECT_EQ(DistinctDatabases(FProject), (std::vector<std::string>{"b", "a", "B"}));
}

// ---------------------------------------------------------------- connection include

TEST_F(SitePagesTest, DbinfoWithoutTablesHasNoDatabaseInstance) {
  FProject.Database_host = "db.example";
  FProject.Database_user = "app";
  FProject.Database_password = "secret";
  FProject.Database_port = 3307;
  TSQLGenerator(Context()).Generate();
  EXPECT_EQ(Output("general/dbinfo.php"), "host[db.example] user[app] pass[secret] port[3307]\r\nend\r\n");
}

TEST_F(SitePagesTest, DbinfoOneInstancePerDistinctDatabase) {
  AddTable("shop", "city", "City");
  AddTable("my-db", "notes", "Notes");
  AddTable("shop", "customer", "Customer");
  TSQLGenerator(Context()).Generate();
  EXPECT_EQ(Output("general/dbinfo.php"),
            "host[localhost] user[root] pass[] port[3306]\r\n"
            "db[shop] php[shop] var[$dbname_shop] link[$MyDb_shop] host-in-block[]\r\n"
            "db[my-db] php[my-db] var[${'dbname_my-db'}] link[${'MyDb_my-db'}] host-in-block[]\r\n"
            "end\r\n");
}

TEST_F(SitePagesTest, DbinfoQuotesTheServerSettingsForPhp) {
  FProject.Database_host = "h$x";
  FProject.Database_user = "o'neil\\";
  FProject.Database_password = "p\"a$s{$w}\\'d";
  AddTable("we\"ird$", "t", "");
  TSQLGenerator(Context()).Generate();
  EXPECT_EQ(Output("general/dbinfo.php"),
            "host[h\\$x] user[o'neil\\\\] pass[p\\\"a\\$s{\\$w}\\\\'d] port[3306]\r\n"
            "db[we\"ird$] php[we\\\"ird\\$] var[${'dbname_we\"ird$'}] link[${'MyDb_we\"ird$'}] host-in-block[]\r\n"
            "end\r\n");
}

// ---------------------------------------------------------------- login and index

TEST_F(SitePagesTest, LoginQuotesNameAndPasswordForPhp) {
  FProject.AdminName = "admin";
  FProject.AdminPass = "it's \"$ecret\"\\";
  TLoginGenerator(Context()).Generate();
  EXPECT_EQ(Output("general/login.php"), "name[admin] pass[it's \\\"\\$ecret\\\"\\\\]\r\n");
}

TEST_F(SitePagesTest, LoginWithEmptyAdministrator) {
  TLoginGenerator(Context()).Generate();
  EXPECT_EQ(Output("general/login.php"), "name[] pass[]\r\n");
}

TEST_F(SitePagesTest, IndexTakesTheSiteCaptionAsWritten) {
  EXPECT_EQ(FProject.SiteCaption, "Project1");
  TIndexGenerator(Context()).Generate();
  EXPECT_EQ(Output("index.html"), "title[Project1]\r\n");
  FProject.SiteCaption = "Shop & <b>More</b>";
  TIndexGenerator(Context()).Generate();  // replaces the file
  EXPECT_EQ(Output("index.html"), "title[Shop & <b>More</b>]\r\n");
}

// ---------------------------------------------------------------- menu

TEST_F(SitePagesTest, MenuWithoutTablesHasNoInstance) {
  TIndexMenuGenerator(Context()).Generate();
  EXPECT_EQ(Output("menu.php"), "begin\r\nend\r\n");
}

TEST_F(SitePagesTest, MenuHeadersOnlyBeforeTheFirstTableOfEachDatabase) {
  AddTable("shop", "city", "Cities");
  AddTable("shop", "customer", "Customers");
  AddTable("crm", "contact", "Contacts");
  TIndexMenuGenerator(Context()).Generate();
  EXPECT_EQ(Output("menu.php"),
            "begin\r\n"
            "item[" + Header("SHOP") + Row(6, "shop_city_list.php", "Cities") + "]\r\n"
            "item[" + Row(2, "shop_customer_list.php", "Customers") + "]\r\n"
            "item[" + Header("CRM") + Row(6, "crm_contact_list.php", "Contacts") + "]\r\n"
            "end\r\n");
}

TEST_F(SitePagesTest, MenuTablesOfOneDatabaseListedApartGetNoSecondHeader) {
  AddTable("a", "t1", "T1");
  AddTable("b", "t2", "T2");
  AddTable("a", "t3", "T3");
  TIndexMenuGenerator(Context()).Generate();
  EXPECT_EQ(Output("menu.php"),
            "begin\r\n"
            "item[" + Header("A") + Row(6, "a_t1_list.php", "T1") + "]\r\n"
            "item[" + Header("B") + Row(6, "b_t2_list.php", "T2") + "]\r\n"
            "item[" + Row(2, "a_t3_list.php", "T3") + "]\r\n"
            "end\r\n");
}

TEST(SiteMenuItemTest, HeaderUpperCasesOnlyLettersAToZ) {
  struct TCase {
    std::string Db;
    std::string Header;
    std::string Page;  // URL-encoded
  };
  const std::vector<TCase> cases = {
      {"shop", "SHOP", "shop_t_list.php"},
      {"Shop_2", "SHOP_2", "Shop_2_t_list.php"},
      {"my-db", "MY-DB", "my-db_t_list.php"},
      {"z\xC3\xBCrich", "Z\xC3\xBCRICH", "z%C3%BCrich_t_list.php"},  // ü stays as it is
      {"a b&c\"d", "A B&C\"D", "a%20b%26c%22d_t_list.php"},
  };
  for (const auto& c : cases) {
    TWebTable table;
    table.DB = c.Db;
    table.Name = "t";
    table.Caption = "It's <i>T</i>";
    EXPECT_EQ(TIndexMenuGenerator::MenuItem(table, true), Header(c.Header) + Row(6, c.Page, "It's <i>T</i>")) << c.Db;
    EXPECT_EQ(TIndexMenuGenerator::MenuItem(table, false), Row(2, c.Page, "It's <i>T</i>")) << c.Db;
  }
}

TEST(SiteMenuItemTest, LinkTargetCannotBreakOutOfTheAttribute) {
  TWebTable table;
  table.DB = "x\" onclick=\"alert(1)";
  table.Name = "t'><script>";
  table.Caption = "C";
  const std::string item = TIndexMenuGenerator::MenuItem(table, false);
  EXPECT_EQ(item, Row(2, "x%22%20onclick%3D%22alert%281%29_t%27%3E%3Cscript%3E_list.php", "C"));
}

// ---------------------------------------------------------------- failures

TEST_F(SitePagesTest, MissingTemplateRaises) {
  const std::vector<std::string> templates = {"dbinfo.tpl", "login.tpl", "index.tpl", "menu.tpl"};
  for (const auto& name : templates) ::unlink(FApp.File("tpl/" + name).c_str());
  EXPECT_THROW(TSQLGenerator(Context()).Generate(), EFOpenError);
  EXPECT_THROW(TLoginGenerator(Context()).Generate(), EFOpenError);
  EXPECT_THROW(TIndexGenerator(Context()).Generate(), EFOpenError);
  EXPECT_THROW(TIndexMenuGenerator(Context()).Generate(), EFOpenError);
  EXPECT_FALSE(FileExists(FOut.File("general/dbinfo.php")));
  EXPECT_FALSE(FileExists(FOut.File("menu.php")));
}

TEST_F(SitePagesTest, UnwritableTargetRaises) {
  // Folders in place of the target files: no write can succeed, not even as root.
  for (const char* name : {"general/dbinfo.php", "general/login.php", "index.html", "menu.php"})
    ForceDirectories(FOut.File(name));
  AddTable("shop", "city", "City");
  EXPECT_THROW(TSQLGenerator(Context()).Generate(), EInOutError);
  EXPECT_THROW(TLoginGenerator(Context()).Generate(), EInOutError);
  EXPECT_THROW(TIndexGenerator(Context()).Generate(), EInOutError);
  EXPECT_THROW(TIndexMenuGenerator(Context()).Generate(), EInOutError);
}

TEST_F(SitePagesTest, MissingOutputFolderRaises) {
  const TGeneratorContext context{FProject, FApp.Path() + "/", FOut.Path() + "/no/such/folder/"};
  EXPECT_THROW(TSQLGenerator(context).Generate(), EInOutError);
  EXPECT_THROW(TIndexGenerator(context).Generate(), EInOutError);
}

}  // namespace
