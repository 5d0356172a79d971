#include "core/Exception.h"
#include "core/Files.h"
#include "core/StringList.h"
#include "generator/PhpMain.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using qftest::ReadFile;
using TStrings = std::vector<std::string>;

// Progress calls, progress values and messages in order, repeats folded.
class TRecorder : public IProgressDisplay, public IMessageService {
public:
  void Start() override { Add("start"); }
  void SetProgress(int percent) override { Add(std::to_string(percent)); }
  void Finish() override { Add("finish"); }
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    EXPECT_EQ(buttons, TMsgDlgButtons(mbOK));
    Add((type == TMsgDlgType::mtError ? "error: " : type == TMsgDlgType::mtInformation ? "info: " : "?: ") + text);
    return TModalResult::mrOk;
  }
  void Add(const std::string& event) {
    if (Events.empty() || Events.back() != event) Events.push_back(event);
  }
  TStrings Events;
};

void WriteFile(const std::string& path, const std::string& data) {
  fs::create_directories(fs::path(path).parent_path());
  qftest::WriteFile(path, data);
}

// Every file below a folder as "path: content", sorted.
TStrings Tree(const std::string& dir) {
  TStrings files;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), dir).string() + ": " + ReadFile(e.path()));
  std::sort(files.begin(), files.end());
  return files;
}

const std::string kDone = "info:               Congratulation !\r\n\r\nYour project was sucessfully generated!\r\n"
                          "Generated files are located in ";

/** A program folder with one-line templates naming themselves, two themes and scripts. */
class DriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"dbinfo", "login", "index", "menu", "list", "insert", "update", "detail", "delete"})
      WriteFile(App + "tpl/" + name + ".tpl", std::string("page ") + name + "\n");
    WriteFile(App + "tpl/left.html", "left");
    WriteFile(App + "tpl/other.html", "not copied");
    for (const std::string theme : {"default", "dark"})
      for (const char* file : {"/style.css", "/images/info.gif", "/images/skip.png"})
        WriteFile(App + "themes/" + theme + file, theme);
    WriteFile(App + "scripts/functions.php", "<?php");
    WriteFile(App + "scripts/checks.js", "js");
    Project.Project_output = Out.Path();
    Project.CurrentDatabase = "keep";
    Project.CurrentTable = "me";
  }

  void AddTable(const std::string& db, const std::string& name) {
    auto t = std::make_unique<TWebTable>();
    t->DB = db;
    t->Name = name;
    Project.AddTable(std::move(t));
  }

  void Generate(const std::string& theme = "default") { TMainPhpManager(Project, App, theme, &Rec, &Rec).Generate(); }
  std::string OutFile(const std::string& name) const { return Out.Path() + "/" + name; }

  qftest::TempDir AppDir, Out;
  std::string App = IncludeTrailingPathDelimiter(AppDir.Path());
  TProjectManager Project;
  TRecorder Rec;
};

// Databases go in first-seen order; a.x_t and a_x.t both make the pages
// "a_x_t_*": the table seen second is named in the closing message, not written.
TEST_F(DriverTest, InterleavedDatabasesGoInFirstSeenOrderAndPageNamesDoNotCollide) {
  for (const char* name : {"a.x_t", "b.t2", "a.t3", "a_x.t"})
    AddTable(std::string(name, std::strchr(name, '.') - name), std::strchr(name, '.') + 1);
  WriteFile(App + "tpl/list.tpl", "list of {yzt_table_name}\n");
  qftest::ScopedCurrentDir cd(Out.Path());
  qftest::WriteFile("logon", "");  // the driver logs each table as it generates it
  Generate();
  TStringList log;
  log.LoadFromFile("qfx.log");
  TStrings tables;
  for (const std::string& line : log)
    if (const size_t pos = line.find("  --    "); pos != std::string::npos) tables.push_back(line.substr(pos + 8));
  EXPECT_EQ(tables, (TStrings{"a.x_t", "a.t3", "b.t2"}));
  const std::string skipped = "\r\n\r\nNot generated, because their page names are taken by another table:\r\na_x.t";
  EXPECT_EQ(Rec.Events, (TStrings{"start", "0", "33", "66", "100", "finish", kDone + Out.Path() + skipped}));
  EXPECT_EQ(Project.CurrentDatabase + "." + Project.CurrentTable, "keep.me");
  // The one-line templates lack the generators' blocks; their error lines come first.
  for (const std::string table : {"a_x_t", "a_t3", "b_t2"})
    for (const std::string page : {"list", "insert", "update", "detail", "delete"}) {
      const std::string last = page == "list" ? "list of " + table.substr(2) : "page " + page;
      EXPECT_TRUE(ReadFile(OutFile(table + "_" + page + ".php")).ends_with(last + "\r\n")) << table << page;
    }
}

// Names with "/" or ".." could put pages anywhere: such tables are named in
// the closing message, and no page lands outside the output folder.
TEST_F(DriverTest, TablesWhosePagesWouldLeaveTheOutputFolderAreNamedNotWritten) {
  Project.Project_output = OutFile("site");
  for (const auto& [db, name] : {std::pair{"general/../../up", "t"}, {"a", "../x"}, {"..", "t"}, {"a", "ok"}})
    AddTable(db, name);
  Generate();
  EXPECT_EQ(Rec.Events.back(), kDone + OutFile("site") + "\r\n\r\nNot generated, because their page names would "
                               "leave the output folder:\r\ngeneral/../../up.t\r\na.../x\r\n...t");
  TStrings pages;
  for (const auto& e : fs::recursive_directory_iterator(Out.Path()))
    if (e.path().extension() == ".php" && e.path().parent_path() != OutFile("site/general"))
      pages.push_back(fs::relative(e.path(), Out.Path()).string());
  std::sort(pages.begin(), pages.end());
  EXPECT_EQ(pages, (TStrings{"site/a_ok_delete.php", "site/a_ok_detail.php", "site/a_ok_insert.php",
                             "site/a_ok_list.php", "site/a_ok_update.php", "site/menu.php"}));

  // A page file that is a link to a file elsewhere is not written through.
  WriteFile(OutFile("elsewhere.php"), "kept");
  fs::remove(OutFile("site/a_ok_update.php"));
  fs::create_symlink(OutFile("elsewhere.php"), OutFile("site/a_ok_update.php"));
  EXPECT_THROW(Generate(), EInOutError);
  EXPECT_EQ(ReadFile(OutFile("elsewhere.php")), "kept");
  // Nor is a copied support file; an output folder that is a link to
  // elsewhere is not filled: the run stops with the usual message.
  fs::remove(OutFile("site/a_ok_update.php"));
  fs::remove(OutFile("site/general/functions.php"));
  fs::create_symlink(OutFile("elsewhere.php"), OutFile("site/general/functions.php"));
  EXPECT_THROW(Generate(), EInOutError);
  EXPECT_EQ(ReadFile(OutFile("elsewhere.php")), "kept");
  fs::remove(OutFile("site/general/functions.php"));
  fs::remove_all(OutFile("site/theme"));
  ForceDirectories(OutFile("elsewhere/images"));
  fs::create_symlink(OutFile("elsewhere"), OutFile("site/theme"));
  Generate();
  EXPECT_EQ(Rec.Events.end()[-3], "error: Can't create project directories!\nCannot create " +
                                      OutFile("site/theme/images") + ": it lies outside the output folder " +
                                      OutFile("site/"));
  EXPECT_EQ(Tree(OutFile("elsewhere")), TStrings{});
}

TEST_F(DriverTest, ProjectWithoutTablesWritesTheSitePagesAndCopies) {
  // An empty output folder means "output" beside the program; an empty theme means "default".
  for (const auto& [theme, output] : {std::pair<std::string, std::string>{"dark", Out.Path()}, {"", App + "output"}}) {
    SCOPED_TRACE(theme);
    Rec = TRecorder();
    Project.Project_output = theme.empty() ? "" : output;
    Generate(theme);
    EXPECT_EQ(Project.Project_output, output);
    const std::string shown = theme.empty() ? "default" : theme;
    EXPECT_EQ(Tree(output), (TStrings{"general/dbinfo.php: page dbinfo\r\n", "general/functions.php: <?php",
                                      "general/login.php: page login\r\n", "index.html: page index\r\n",
                                      "left.html: left", "menu.php: page menu\r\n", "scripts/checks.js: js",
                                      "theme/images/info.gif: " + shown, "theme/style.css: " + shown}));
    EXPECT_EQ(Rec.Events, (TStrings{"start", "0", "100", "finish", kDone + output}));
  }
}

// The message names the folder and the reason, as every other file error does.
TEST_F(DriverTest, FolderThatCannotBeCreatedReportsAndWritesNothing) {
  WriteFile(OutFile("blocker"), "a file");
  Project.Project_output = OutFile("blocker/site");
  AddTable("a", "t");
  Generate();
  EXPECT_EQ(Rec.Events, (TStrings{"start", "0",
                                  "error: Can't create project directories!\nCannot create folder \"" +
                                      OutFile("blocker/site/") + "\": Not a directory",
                                  "100", "finish"}));
  EXPECT_EQ(Tree(Out.Path()), TStrings{"blocker: a file"});
  EXPECT_EQ(Project.CurrentDatabase + "." + Project.CurrentTable, "keep.me");
}

// Table a.t fails at its update page: the error reaches the caller after the clean-up.
TEST_F(DriverTest, UnwritableTargetReachesTheCallerAfterCleanUp) {
  ForceDirectories(OutFile("a_t_update.php"));
  AddTable("a", "t");
  EXPECT_THROW(Generate(), EInOutError);
  EXPECT_EQ(Project.CurrentDatabase + "." + Project.CurrentTable, "keep.me");
  EXPECT_EQ(Rec.Events, (TStrings{"start", "0", "finish"}));  // no closing message
  EXPECT_TRUE(FileExists(OutFile("a_t_insert.php")));
  EXPECT_FALSE(FileExists(OutFile("a_t_detail.php")));
}

}  // namespace
