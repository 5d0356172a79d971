#pragma once
/** What the program's window tests share: a main window started in a folder
 *  of its own with a settings file and recorders for every window it would
 *  open, the log lines it wrote, project files for the private server, and
 *  a scripted FTP server. */

#include "GuiTestApp.h"
#include "TestSupport.h"
#include "model/ProjectManager.h"
#include "shell/MainFormUnit.h"

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

class TCustomComboBox;
class TGridView;
class TTreeNode;
class TTreeView;
class TWinControl;

namespace qftest {

/** The settings file's values, as the program writes them ("-1" and "0" for flags). */
using TSettings = std::map<std::string, std::string>;

/** A folder that is the working folder (settings file, log) for the test's
 *  life, with logging switched on, and the main windows started in it. */
class TProgramFolder {
public:
  TProgramFolder();
  ~TProgramFolder();

  const TempDir& Dir() const { return FDir; }
  std::string File(const std::string& name) const { return FDir.File(name); }
  void WriteSettings(const TSettings& settings);
  /** The settings file as the program left it. */
  TSettings ReadSettings() const;
  /** How many log lines written so far carry message. */
  int CountLog(const std::string& message) const;

  /** A main window made as the program body makes it, with these arguments
   *  and the recorders in place of the real dialogs, then shown. */
  TMainForm* Start(const std::vector<std::string>& arguments = {});
  /** Closes and frees the window (FormClose runs). */
  void Stop();
  TMainForm* Form() const { return FForm.get(); }

  ScopedMessageRecorder Messages;
  TShellRecorder Shell;

private:
  TempDir FDir;
  std::unique_ptr<ScopedCurrentDir> FCwd;
  std::unique_ptr<TMainForm> FForm;
};

/** Makes form the active window (keys and the focus go to it). */
void Activate(TForm* form);

/** Settings whose default server is the private test server. */
TSettings ServerSettings(const DbParams& db, bool autoConnect, bool reloadLast);

/** A project on the private server's "shop" database with the named tables,
 *  each with an "id" key column and a "name" column. */
std::unique_ptr<TProjectManager> ShopProject(const DbParams& db, const std::vector<std::string>& tables);
/** Writes project to file. */
void SaveProjectFile(const TProjectManager& project, const std::string& file);

/** Starts a main window in f connected at start-up to the private server's
 *  "shop" (both trees filled), on a new project. */
TMainForm* StartConnected(TProgramFolder& f, const DbParams& db);
/** The node of a table (of the database itself when table is empty) in a
 *  tree of the table panel, or null. */
TTreeNode* NodeOf(TTreeView* tree, const std::string& database, const std::string& table = "");
/** Chooses that node of the available tree and clicks "Add". */
void AddFromServer(TMainForm* form, const std::string& database, const std::string& table = "");
/** Chooses a table of the project in the selected tree, as a click on it does. */
void ShowTable(TMainForm* form, const std::string& table, const std::string& database = "shop");
/** The row of TableInfo showing the column field, or -1. */
int RowOf(TMainForm* form, const std::string& field);
/** The texts of a tree's nodes, children (unless left out) indented by two blanks. */
std::vector<std::string> TreeTexts(TTreeView* tree, bool children = true);
/** Whether list holds item. */
bool Has(const std::vector<std::string>& list, const std::string& item);
/** Opens the cell's editor, puts text in it as a user would, and takes it
 *  (or, with escape, presses Esc). */
void EditCell(TGridView* grid, int col, int row, const std::string& text, bool escape = false);
/** Chooses text in a drop-down list with the keys, as a user would. */
void ChooseWithKeys(TCustomComboBox* box, const std::string& text);
/** Gives control the focus (the one that had it is left: its Exit runs). */
void FocusOn(TWinControl* control);

/** The texts of the message boxes recorded so far. */
std::vector<std::string> Texts(const TMessageRecorder& recorder);
/** Their first lines: a failure's message without the reason given below it. */
std::vector<std::string> Headlines(const TMessageRecorder& recorder);

/** A port of 127.0.0.1 where nothing listens. */
int ClosedPort();

/** An FTP server on 127.0.0.1 that knows one user and a few folders, for the
 *  FTP test. Silent: connections are let in and never answered. */
class TFakeFtpServer {
public:
  TFakeFtpServer(std::string user, std::string password, std::set<std::string> folders, bool silent = false);
  ~TFakeFtpServer();
  int Port() const { return FPort; }
  /** "host:port" for the client. */
  std::string Address() const { return "127.0.0.1:" + std::to_string(FPort); }

private:
  void Serve(int client);
  std::string FUser, FPassword;
  std::set<std::string> FFolders;
  int FListener = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

}  // namespace qftest
