#include "core/Exception.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

/** Keeps rows the way the site-settings grid does: one row per table. */
struct RecordingView : ITableListener {
  void TableAdded(const TWebTable& table) override { Rows.push_back(SiteSettingsCells(table)); }
  void TableRemoved(const std::string& db, const std::string& name) override {
    ++Removals;
    auto it = std::find_if(Rows.begin(), Rows.end(), [&](const auto& r) { return r[0] == db && r[1] == name; });
    if (it != Rows.end()) Rows.erase(it);
  }
  std::vector<Strings> Rows;
  int Removals = 0;
};

std::unique_ptr<TWebTable> MakeTable(const std::string& db, const std::string& name) {
  auto t = std::make_unique<TWebTable>();
  t->DB = db;
  t->Name = name;
  return t;
}

Strings Names(const TProjectManager& p) {
  Strings names;
  for (const auto& t : p.Tables) names.push_back(t->DB + "." + t->Name);
  return names;
}

TEST(ProjectModel, AddFindAndCurrentTable) {
  TProjectManager p;
  EXPECT_EQ(p.GetTable(0), nullptr);
  EXPECT_THROW(p.GetTable(-1), EListError);
  RecordingView view;
  p.AddListener(&view);
  p.AddListener(&view);  // registering twice does not double the calls
  p.AddTable(MakeTable("shop", "city"));
  p.AddTable(MakeTable("crm", "city"));
  p.AddTable(nullptr);  // ignored, the view is not told
  auto order = MakeTable("shop", "order");
  order->Caption = "Orders";
  order->InsertRight = "I"; order->UpdateRight = "U"; order->DeleteRight = "D"; order->DetailRight = "De";
  order->ListRight = "L"; order->SendMail = true;
  p.AddTable(std::move(order));

  EXPECT_EQ(Names(p), (Strings{"shop.city", "crm.city", "shop.order"}));
  ASSERT_EQ(view.Rows.size(), 3u);
  EXPECT_EQ(view.Rows[2], (Strings{"shop", "order", "Orders", "I", "U", "D", "De", "L", "true"}));
  EXPECT_EQ(view.Rows[0][8], "false");

  EXPECT_EQ(p.FindTable("crm", "city"), p.GetTable(1));
  EXPECT_EQ(p.FindTable("other", "city"), nullptr);
  EXPECT_EQ(p.FindTable("shop", "City"), nullptr) << "names compare exactly";
  p.CurrentDatabase = "crm";
  EXPECT_EQ(p.GetCurrentTable(), nullptr) << "a database node is selected";
  p.CurrentTable = "city";
  EXPECT_EQ(p.GetCurrentTable(), p.GetTable(1));

  p.RemoveListener(&view);
  p.AddTable(MakeTable("d", "b"));
  EXPECT_EQ(view.Rows.size(), 3u);
}

TEST(ProjectModel, RemoveTableMovesTheLastIntoTheGap) {
  const struct {
    const char *Db, *Name;
    Strings Tables;
  } cases[] = {
      {"d", "B", {"d.A", "e.B", "d.C", "d.D"}}, {"d", "A", {"e.B", "d.B", "d.C", "d.D"}},
      {"e", "B", {"d.A", "d.B", "d.C", "d.D"}}, {"d", "X", {"d.A", "d.B", "d.C", "d.D", "e.B"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Db) + "." + c.Name);
    TProjectManager p;
    RecordingView view;
    p.AddListener(&view);
    for (const char* n : {"A", "B", "C", "D"}) p.AddTable(MakeTable("d", n));
    p.AddTable(MakeTable("e", "B"));
    p.RemoveTable(c.Db, c.Name);
    EXPECT_EQ(Names(p), c.Tables);
    EXPECT_EQ(view.Removals, c.Tables.size() == 5 ? 0 : 1);
    EXPECT_EQ(view.Rows.size(), c.Tables.size());
  }
}

TEST(ProjectModel, ColumnListKeepsOrderOnRemovalAndResetKeepsTheFlags) {
  TWebInput named("price");  // the name goes only to the form control
  EXPECT_EQ(named.HtmlInput->iName + "|" + named.HtmlInput->iId + "|" + named.Database_field, "price|price_id|");
  TWebTable t;
  for (const char* n : {"a", "b", "c", "d"}) {
    t.AddToInputList(std::make_unique<TWebInput>(n));
    t.InputList.back()->Database_field = n;
  }
  t.RemoveInputListElement(1);
  t.RemoveInputListElement(7);
  ASSERT_EQ(t.GetInputListSize(), 3);
  EXPECT_EQ(t.GetInputListElement(1)->Database_field + t.GetInputListElement(2)->Database_field, "cd");
  EXPECT_THROW(t.GetInputListElement(3), EListError);
  EXPECT_THROW(t.GetInputListElement(-1), EListError);

  TWebInput& in = *t.GetInputListElement(0);
  in.Type = "varchar(40)"; in.Size = 40; in.Caption = "Name"; in.Input_type = "Text"; in.List = true; in.HintText = "h";
  EXPECT_EQ(in.GetSaveFormCSV(), "a;varchar(40);40;Name;Text;");
  in.Reset();
  EXPECT_EQ(in.GetSaveFormCSV() + (in.List ? " List " : " ") + in.HintText, ";;0;;; List h");
}

}  // namespace
