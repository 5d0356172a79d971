#include "core/Exception.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

/** Keeps rows the way the site-settings grid does: one row per table. */
class RecordingView : public ITableListener {
public:
  void TableAdded(const TWebTable& table) override { Rows.push_back(SiteSettingsCells(table)); }
  void TableRemoved(const std::string& db, const std::string& name) override {
    ++Removals;
    auto it = std::find_if(Rows.begin(), Rows.end(), [&](const auto& r) { return r[0] == db && r[1] == name; });
    if (it != Rows.end()) Rows.erase(it);
  }
  std::vector<std::vector<std::string>> Rows;
  int Removals = 0;
};

std::unique_ptr<TWebTable> MakeTable(const std::string& db, const std::string& name) {
  auto t = std::make_unique<TWebTable>();
  t->DB = db;
  t->Name = name;
  t->Caption = name + " caption";
  t->InsertRight = "Guest";
  t->UpdateRight = "Admin";
  t->DeleteRight = "Admin";
  t->DetailRight = "Guest";
  t->ListRight = "Guest";
  return t;
}

std::vector<std::string> Names(const TProjectManager& p) {
  std::vector<std::string> names;
  for (const auto& t : p.Tables) names.push_back(t->DB + "." + t->Name);
  return names;
}

TEST(ProjectModel, ConstructorDefaults) {
  TProjectManager p;
  EXPECT_EQ(p.Database_host, "localhost");
  EXPECT_EQ(p.Database_user, "root");
  EXPECT_EQ(p.Database_password, "");
  EXPECT_EQ(p.Database_port, 3306);
  EXPECT_EQ(p.Database_name, "mysql");
  EXPECT_EQ(p.ProjectName, "Project1");
  EXPECT_EQ(p.SiteCaption, "Project1");
  EXPECT_EQ(p.SecurityMode, "No");
  EXPECT_EQ(p.CSS, "default");
  EXPECT_EQ(p.TableWidth, 85);
  EXPECT_EQ(p.WidthType, 1);
  EXPECT_EQ(p.TableAlign, "Center");
  EXPECT_EQ(p.RowNumber, 20);
  EXPECT_FALSE(p.UseLocalDomain || p.mailOnInsert || p.mailOnUpdate || p.mailOnDelete || p.mailAllData ||
               p.mailListData || p.mailNoData);
  EXPECT_TRUE(p.CurrentDatabase.empty() && p.CurrentTable.empty());
  EXPECT_EQ(p.CurrentRow, 0);
  ASSERT_NE(p.DBManager, nullptr);
  EXPECT_EQ(p.DBManager->Connection(), nullptr);

  EXPECT_EQ(p.GetTableCount(), 0);
  EXPECT_EQ(p.GetTable(0), nullptr);
  EXPECT_EQ(p.GetCurrentTable(), nullptr);
  EXPECT_THROW(p.GetTable(-1), EListError);

  p.ProjectName = "Other";
  EXPECT_EQ(p.SiteCaption, "Project1") << "the caption is a copy, not a link to the name";

  TBaseHtmlInput h("price");
  EXPECT_EQ(h.iName, "price");
  EXPECT_EQ(h.iId, "price_id");
  EXPECT_EQ(h.iCheckType, "No");
  EXPECT_EQ(h.iCheckMin, "0");
  EXPECT_EQ(h.iCheckMax, "100");
  EXPECT_EQ(h.iLength, 35);
  EXPECT_EQ(h.iMax, 50);
  EXPECT_TRUE(h.iLDistinct);
  EXPECT_EQ(h.iLSource, 0);
  EXPECT_EQ(h.ItemList.Count(), 0);

  TWebInput in("price");
  EXPECT_EQ(in.Database_field, "") << "the name goes only to the form control";
  ASSERT_NE(in.HtmlInput, nullptr);
  EXPECT_EQ(in.HtmlInput->iName, "price");
  EXPECT_EQ(in.HtmlInput->iId, "price_id");
  EXPECT_FALSE(in.Key || in.List || in.Detail || in.Insert || in.Update || in.UseHint);
}

TEST(ProjectModel, AddFindAndCurrentTable) {
  TProjectManager p;
  RecordingView view;
  p.AddListener(&view);
  p.AddTable(MakeTable("shop", "city"));
  p.AddTable(MakeTable("crm", "city"));
  p.AddTable(nullptr);  // ignored, the view is not told
  auto mailing = MakeTable("shop", "order");
  mailing->SendMail = true;
  p.AddTable(std::move(mailing));

  EXPECT_EQ(p.GetTableCount(), 3);
  EXPECT_EQ(Names(p), (std::vector<std::string>{"shop.city", "crm.city", "shop.order"}));
  ASSERT_EQ(view.Rows.size(), 3u);
  EXPECT_EQ(view.Rows[2], (std::vector<std::string>{"shop", "order", "order caption", "Guest", "Admin", "Admin",
                                                    "Guest", "Guest", "true"}));
  EXPECT_EQ(view.Rows[0][8], "false");

  EXPECT_EQ(p.FindTable("crm", "city"), p.GetTable(1));
  EXPECT_EQ(p.FindTable("other", "city"), nullptr);
  EXPECT_EQ(p.FindTable("shop", "City"), nullptr) << "names compare exactly";
  EXPECT_EQ(p.GetTable(3), nullptr);

  p.CurrentDatabase = "crm";
  EXPECT_EQ(p.GetCurrentTable(), nullptr) << "a database node is selected";
  p.CurrentTable = "city";
  EXPECT_EQ(p.GetCurrentTable(), p.GetTable(1));
}

TEST(ProjectModel, RemoveTableMovesTheLastIntoTheGap) {
  struct Case {
    const char* remove;
    std::vector<std::string> tables;
    int removals;
  } cases[] = {
      {"B", {"d.A", "d.D", "d.C"}, 1},
      {"D", {"d.A", "d.B", "d.C"}, 1},
      {"A", {"d.D", "d.B", "d.C"}, 1},
      {"X", {"d.A", "d.B", "d.C", "d.D"}, 0},
  };
  for (const auto& c : cases) {
    TProjectManager p;
    RecordingView view;
    p.AddListener(&view);
    for (const char* n : {"A", "B", "C", "D"}) p.AddTable(MakeTable("d", n));
    p.RemoveTable("d", c.remove);
    EXPECT_EQ(Names(p), c.tables) << c.remove;
    EXPECT_EQ(view.Removals, c.removals) << c.remove;
    EXPECT_EQ(view.Rows.size(), c.tables.size()) << c.remove;
  }

  // Same name in another database is not touched; only the first match goes.
  TProjectManager p;
  p.AddTable(MakeTable("a", "t"));
  p.AddTable(MakeTable("b", "t"));
  p.RemoveTable("b", "t");
  EXPECT_EQ(Names(p), (std::vector<std::string>{"a.t"}));
  p.RemoveTable("a", "t");
  EXPECT_EQ(p.GetTableCount(), 0);
  p.RemoveTable("a", "t");
  EXPECT_EQ(p.GetTableCount(), 0);
}

TEST(ProjectModel, ListenersCanBeRemoved) {
  TProjectManager p;
  RecordingView view;
  p.AddListener(&view);
  p.AddListener(&view);  // registering twice does not double the calls
  p.AddTable(MakeTable("d", "a"));
  p.RemoveListener(&view);
  p.AddTable(MakeTable("d", "b"));
  EXPECT_EQ(view.Rows.size(), 1u);
}

TEST(ProjectModel, ColumnListKeepsOrderOnRemoval) {
  TWebTable t;
  for (const char* n : {"a", "b", "c", "d"}) {
    auto in = std::make_unique<TWebInput>(n);
    in->Database_field = n;
    t.AddToInputList(std::move(in));
  }
  t.RemoveInputListElement(1);
  ASSERT_EQ(t.GetInputListSize(), 3);
  EXPECT_EQ(t.GetInputListElement(0)->Database_field, "a");
  EXPECT_EQ(t.GetInputListElement(1)->Database_field, "c");
  EXPECT_EQ(t.GetInputListElement(2)->Database_field, "d");
  EXPECT_THROW(t.GetInputListElement(3), EListError);
  EXPECT_THROW(t.GetInputListElement(-1), EListError);
  t.RemoveInputListElement(7);
  EXPECT_EQ(t.GetInputListSize(), 3);
  t.ClearInputList();
  EXPECT_EQ(t.GetInputListSize(), 0);
}

TEST(ProjectModel, ColumnResetAndCsv) {
  TWebInput in("x");
  in.Database_field = "name";
  in.Type = "varchar(40)";
  in.Size = 40;
  in.Input_type = "Text";
  EXPECT_EQ(in.GetSaveFormCSV(), "name;varchar(40);40;;Text;");
  in.Caption = "Name";
  in.List = true;
  in.HintText = "hint";
  in.Reset();
  EXPECT_EQ(in.GetSaveFormCSV(), ";;0;;;");
  EXPECT_TRUE(in.List);
  EXPECT_EQ(in.HintText, "hint");
}

}  // namespace
