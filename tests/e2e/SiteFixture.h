#pragma once
// One generated site per test: private copies of the fixture databases, a
// project over them, the site generated into a temporary folder and served
// by `php -S` on 127.0.0.1. TearDown stops the server, reads PHP's logs for
// warnings and drops the copies.

#include "E2ESupport.h"
#include "TestSupport.h"
#include "core/Services.h"
#include "model/ProjectManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

struct TRecordedMessage {
  std::string Text;
  TMsgDlgType Type;
  TMsgDlgButtons Buttons;
};

class TRecordingMessages : public IMessageService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Messages.push_back({text, type, buttons});
    return TModalResult::mrOk;
  }
  std::vector<TRecordedMessage> Messages;
};

class TRecordingProgress : public IProgressDisplay {
public:
  void Start() override { Events.push_back("start"); }
  void SetProgress(int percent) override { Events.push_back(std::to_string(percent)); }
  void Finish() override { Events.push_back("finish"); }
  std::vector<std::string> Events;
};

/** The administrator of the generated site; quotes and "$" on purpose. */
inline const std::string kAdminName = "site'admin\"$x";
inline const std::string kAdminPass = "pa$$ 'wo\\rd\"{x}";
/** Rows shown on one list page. */
constexpr int kRowsPerPage = 10;

class GeneratedSiteTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  /** The copies standing in for `shop` and `my-db`. */
  const std::string& ShopDb() const { return FShop->Name(); }
  const std::string& NotesDb() const { return FNotes->Name(); }
  /** "/<db>_<table>_<page>.php" */
  static std::string PagePath(const std::string& db, const std::string& table, const std::string& page);
  std::string ShopPage(const std::string& table, const std::string& page) const {
    return PagePath(ShopDb(), table, page);
  }
  /** `copy`.`table` of the shop copy. */
  std::string ShopTable(const std::string& table) const { return FShop->Table(table); }
  std::string Lit(std::string_view text) { return SqlLiteral(*FDb, text); }

  /** Both copies, row by row. */
  std::string Snapshot() const { return FShop->Snapshot() + FNotes->Snapshot(); }
  /** "" while the data equals the snapshot, else the first rows that differ. */
  std::string ChangesSince(const std::string& snapshot) const;

  THttpClient Visitor() const { return THttpClient(FServer->Port()); }
  /** A visitor logged in as the site's administrator. */
  THttpClient Administrator();

  /** The page answered 200 and shows no database error. */
  static void ExpectCleanPage(const THttpResponse& response, const std::string& what);

  std::string FPhp;
  std::unique_ptr<TDBManager> FDb;
  std::unique_ptr<TDatabaseCopy> FShop;
  std::unique_ptr<TDatabaseCopy> FNotes;
  std::unique_ptr<qftest::TempDir> FDir;
  std::string FOut;  // the generated site, without trailing "/"
  TProjectManager FProject;
  TRecordingMessages FMessages;
  TRecordingProgress FProgress;
  std::unique_ptr<TPhpServer> FServer;
};

}  // namespace e2e
