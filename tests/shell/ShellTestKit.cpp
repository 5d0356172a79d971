#include "ShellTestKit.h"

#include "core/Files.h"
#include "core/TextUtils.h"
#include "core/XmlDocument.h"
#include "components/FlatButton.h"
#include "grid/GridView.h"
#include "model/XMLIO.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <algorithm>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace qftest {

// ---------------------------------------------------------------- the program's folder

TProgramFolder::TProgramFolder() : FCwd(std::make_unique<ScopedCurrentDir>(FDir.Path())) {
  WriteFile(FDir.File("logon"), "");
  // Without a settings file the program would connect to localhost:3306.
  WriteSettings({{"Auto_load_last_Project", "0"}, {"Auto_connect", "0"}});
}

TProgramFolder::~TProgramFolder() { Stop(); }

void TProgramFolder::WriteSettings(const TSettings& settings) {
  std::string xml = "<Application_Settings>";
  for (const auto& [name, value] : settings) xml += "<" + name + " value=\"" + value + "\"/>";
  WriteFile(FDir.File("tyvox.ini"), xml + "</Application_Settings>");
}

TSettings TProgramFolder::ReadSettings() const {
  TXmlDocument doc;
  doc.LoadFromString(ReadFile(FDir.File("tyvox.ini")), "tyvox.ini");
  TSettings out;
  const TXmlNode root = doc.DocumentElement();
  for (int i = 0; i < root.ChildCount(); ++i) out[root.Child(i).NodeName()] = root.Child(i).Attribute("value");
  return out;
}

int TProgramFolder::CountLog(const std::string& message) const {
  int n = 0;
  if (!FileExists(FDir.File("qfx.log"))) return n;
  for (std::string line : SplitString(ReadFile(FDir.File("qfx.log")), '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t at = line.find("  --  ");
    n += at != std::string::npos && line.substr(at + 6) == message;
  }
  return n;
}

TMainForm* TProgramFolder::Start(const std::vector<std::string>& arguments) {
  Stop();
  FForm = std::make_unique<TMainForm>(nullptr);
  FForm->Services = TShellServices{&Shell, &Shell, &Shell, &Shell};
  FForm->Arguments = arguments;
  FForm->AfterConstruction();
  FForm->Show();
  Activate(FForm.get());
  return FForm.get();
}

void Activate(TForm* form) {
  // The offscreen platform keeps a window that was hidden while active as its
  // focus window, and never tells it again that it is active once shown:
  // another window takes the activation first.
  QWindow* window = form->Handle()->windowHandle();
  if (window && QGuiApplication::focusWindow() == window && !form->Active())
    for (QWidget* other : QApplication::topLevelWidgets())
      if (other != form->Handle() && other->isVisible() && other->windowHandle()) {
        other->activateWindow();
        ProcessEventsUntil([other] { return other->isActiveWindow(); });
        break;
      }
  form->Handle()->activateWindow();
  // A window manager may let a request go by that came just after another
  // window took the focus: ask again now and then until it is honoured.
  QElapsedTimer asked;
  asked.start();
  EXPECT_TRUE(ProcessEventsUntil([&] {
    if (form->Active()) return true;
    if (asked.elapsed() > 500) {
      form->Handle()->activateWindow();
      asked.restart();
    }
    return false;
  })) << form->Name() << " did not become the active window";
}

void TProgramFolder::Stop() {
  if (!FForm) return;
  FForm->Close();
  FForm.reset();
}

TSettings ServerSettings(const DbParams& db, bool autoConnect, bool reloadLast) {
  return {{"Auto_load_last_Project", reloadLast ? "-1" : "0"},
          {"Last_project_name", ""},
          {"Last_project_path", ""},
          {"Auto_connect", autoConnect ? "-1" : "0"},
          {"Default_output_path", "out/"},
          {"Default_project_path", "projects/"},
          {"Default_Hostname", db.Host},
          {"Default_Username", db.User},
          {"Default_Password", db.Password},
          {"Default_Database", "shop"},
          {"Default_Port", std::to_string(db.Port)}};
}

std::unique_ptr<TProjectManager> ShopProject(const DbParams& db, const std::vector<std::string>& tables) {
  auto project = std::make_unique<TProjectManager>();
  project->ProjectName = "shopfront";
  project->Database_host = db.Host;
  project->Database_user = db.User;
  project->Database_password = db.Password;
  project->Database_port = db.Port;
  project->Database_name = "shop";
  for (const std::string& name : tables) {
    auto table = std::make_unique<TWebTable>();
    table->DB = "shop";
    table->Name = name;
    table->Caption = "The " + name;
    table->InsertRight = table->UpdateRight = table->DeleteRight = table->DetailRight = table->ListRight = "Guest";
    for (const auto& [field, type] : {std::pair{"id", "int(11)"}, {"name", "varchar(80)"}}) {
      auto input = std::make_unique<TWebInput>(field);
      input->Database_field = field;
      input->Type = type;
      input->Key = std::string(field) == "id";
      input->Caption = field;
      input->Insert = input->Update = input->Detail = input->List = true;
      input->Input_type = input->View_type = "Text";
      input->Filter_type = "No";
      table->AddToInputList(std::move(input));
    }
    project->AddTable(std::move(table));
  }
  return project;
}

void SaveProjectFile(const TProjectManager& project, const std::string& file) {
  XMLManager().SaveProject(file, project);
}

TMainForm* StartConnected(TProgramFolder& f, const DbParams& db) {
  f.WriteSettings(ServerSettings(db, true, false));
  TMainForm* form = f.Start();
  EXPECT_NE(NodeOf(form->SelectTablePanel->TreeAllTable, "shop"), nullptr) << "the server's databases are listed";
  return form;
}

TTreeNode* NodeOf(TTreeView* tree, const std::string& database, const std::string& table) {
  TTreeNode* db = TTableSelectPanel::FindDatabaseNode(tree, database);
  if (!db || table.empty()) return db;
  for (TTreeNode* t = db->GetFirstChild(); t; t = t->getNextSibling())
    if (t->Text() == table) return t;
  return nullptr;
}

void AddFromServer(TMainForm* form, const std::string& database, const std::string& table) {
  TTreeNode* node = NodeOf(form->SelectTablePanel->TreeAllTable, database, table);
  ASSERT_NE(node, nullptr) << database << "." << table;
  form->SelectTablePanel->TreeAllTable->SetSelected(node);
  Click(form->SelectTablePanel->BtnAddTable->Handle(), QPoint(6, 6));
}

void ShowTable(TMainForm* form, const std::string& table, const std::string& database) {
  TTreeNode* node = NodeOf(form->SelectTablePanel->TreeSelectedTable, database, table);
  ASSERT_NE(node, nullptr) << database << "." << table;
  form->SelectTablePanel->TreeSelectedTable->SetSelected(node);
}

int RowOf(TMainForm* form, const std::string& field) {
  for (int row = 0; row < form->TableInfo->RowCount(); ++row)
    if (form->TableInfo->GetCellText(1, row) == field) return row;
  return -1;
}

std::vector<std::string> TreeTexts(TTreeView* tree, bool children) {
  std::vector<std::string> texts;
  for (TTreeNode* n = tree->Items().GetFirstNode(); n; n = n->getNextSibling()) {
    texts.push_back(n->Text());
    for (TTreeNode* c = children ? n->GetFirstChild() : nullptr; c; c = c->getNextSibling())
      texts.push_back("  " + c->Text());
  }
  return texts;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

void EditCell(TGridView* grid, int col, int row, const std::string& text, bool escape) {
  FocusOn(grid);
  grid->BeginEdit(col, row);
  ASSERT_NE(grid->ActiveEditor(), nullptr) << col << "," << row;
  grid->ActiveEditor()->SetText(text);
  if (escape) {
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::focusWidget() != nullptr; }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  } else {
    grid->CommitEdit();
    grid->EndEdit();
  }
}

void ChooseWithKeys(TCustomComboBox* box, const std::string& text) {
  FocusOn(box);
  QTest::keyClick(Focus(), Qt::Key_Home);
  for (int i = 0; i < box->Items().Count() && box->Text() != text; ++i) QTest::keyClick(Focus(), Qt::Key_Down);
  EXPECT_EQ(box->Text(), text) << box->Name();
}

void FocusOn(TWinControl* control) {
  control->SetFocus();
  EXPECT_TRUE(ProcessEventsUntil([&] { return control->Focused(); })) << control->Name();
}

std::vector<std::string> Texts(const TMessageRecorder& recorder) {
  std::vector<std::string> texts;
  for (const auto& call : recorder.Calls) texts.push_back(call.Text);
  return texts;
}

std::vector<std::string> Headlines(const TMessageRecorder& recorder) {
  std::vector<std::string> lines;
  for (const auto& call : recorder.Calls) lines.push_back(call.Text.substr(0, call.Text.find('\n')));
  return lines;
}

// ---------------------------------------------------------------- sockets and the FTP server

namespace {

void Send(int fd, const std::string& line) {
  const std::string text = line + "\r\n";
  [[maybe_unused]] const ssize_t n = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

// One command line, or nothing once the client is gone or the server stops.
std::optional<std::string> ReadLine(int fd, const std::atomic<bool>& stop) {
  std::string line;
  char c;
  while (!stop) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    if (::recv(fd, &c, 1, 0) != 1) return std::nullopt;
    if (c == '\n') return line;
    if (c != '\r') line += c;
  }
  return std::nullopt;
}

std::string Resolve(const std::string& cwd, const std::string& dir) {
  if (!dir.empty() && dir[0] == '/') return dir;
  return cwd == "/" ? "/" + dir : cwd + "/" + dir;
}

}  // namespace

int ClosedPort() {
  // A port the system just gave out and took back: nothing listens there.
  int port = 0;
  ::close(BoundSocket(false, port));
  return port;
}

TFakeFtpServer::TFakeFtpServer(std::string user, std::string password, std::set<std::string> folders, bool silent)
    : FUser(std::move(user)), FPassword(std::move(password)), FFolders(std::move(folders)) {
  FFolders.insert("/home");
  FListener = BoundSocket(true, FPort);
  // Silent: the system completes the connections, nobody ever reads them.
  if (silent || FPort < 0) return;
  FThread = std::thread([this] {
    while (!FStop) {
      pollfd p{FListener, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const int client = ::accept(FListener, nullptr, nullptr);
      if (client < 0) continue;
      Serve(client);
      ::close(client);
    }
  });
}

TFakeFtpServer::~TFakeFtpServer() {
  FStop = true;
  if (FThread.joinable()) FThread.join();
  if (FListener >= 0) ::close(FListener);
}

void TFakeFtpServer::Serve(int client) {
  Send(client, "220 Fake FTP ready");
  std::string user, cwd = "/home";
  bool in = false;
  while (std::optional<std::string> line = ReadLine(client, FStop)) {
    const std::string cmd = UpperCase(line->substr(0, line->find(' ')));
    const std::string arg = line->find(' ') == std::string::npos ? "" : line->substr(line->find(' ') + 1);
    if (cmd == "USER") {
      user = arg;
      Send(client, "331 Password please");
    } else if (cmd == "PASS") {
      in = user == FUser && arg == FPassword;
      Send(client, in ? "230 Logged in" : "530 Login incorrect");
    } else if (!in) {
      Send(client, "530 Please log in");
    } else if (cmd == "CWD") {
      const std::string target = Resolve(cwd, arg);
      const bool known = FFolders.count(target) > 0;
      if (known) cwd = target;
      Send(client, known ? "250 Folder changed" : "550 No such folder");
    } else {
      Send(client, "502 Not here");
    }
  }
}

}  // namespace qftest
