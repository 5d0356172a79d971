#include "core/Exception.h"
#include "core/Files.h"
#include "core/StringList.h"
#include "generator/PhpMain.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using qftest::ReadFile;
using qftest::TempDir;
using qftest::WriteFile;

class TRecordingProgress : public IProgressDisplay {
public:
  void Start() override { Events.push_back("start"); }
  void SetProgress(int percent) override {
    if (Values.empty() || Values.back() != percent) Values.push_back(percent);
  }
  void Finish() override { Events.push_back("finish"); }
  std::vector<std::string> Events;
  std::vector<int> Values;  // consecutive repeats folded
};

class TRecordingMessages : public IMessageService {
public:
  TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) override {
    Texts.push_back(text);
    Types.push_back(type);
    Buttons.push_back(buttons);
    return TModalResult::mrOk;
  }
  std::vector<std::string> Texts;
  std::vector<TMsgDlgType> Types;
  std::vector<TMsgDlgButtons> Buttons;
};

const char* const kTemplates[] = {"dbinfo.tpl", "login.tpl", "index.tpl", "menu.tpl", "list.tpl",
                                  "insert.tpl", "update.tpl", "detail.tpl", "delete.tpl"};

/** A program folder with one-line templates naming themselves, two themes and scripts. */
class DriverTest : public ::testing::Test {
protected:
  void SetUp() override {
    App = IncludeTrailingPathDelimiter(AppDir.Path());
    ForceDirectories(App + "tpl");
    for (const char* name : kTemplates) WriteFile(App + "tpl/" + name, std::string("page ") + name + "\n");
    WriteFile(App + "tpl/left.html", "left");
    WriteFile(App + "tpl/other.html", "not copied");
    for (const char* theme : {"default", "dark"}) {
      ForceDirectories(App + "themes/" + theme + "/images");
      WriteFile(App + "themes/" + theme + "/style.css", theme);
      WriteFile(App + "themes/" + theme + "/images/info.gif", theme);
      WriteFile(App + "themes/" + theme + "/images/skip.png", theme);
    }
    ForceDirectories(App + "scripts");
    WriteFile(App + "scripts/functions.php", "<?php");
    WriteFile(App + "scripts/checks.js", "js");
    Project.Project_output = Out.Path();
  }

  void AddTable(const std::string& db, const std::string& name) {
    auto t = std::make_unique<TWebTable>();
    t->DB = db;
    t->Name = name;
    t->Caption = name;
    t->InsertRight = t->UpdateRight = t->DeleteRight = t->DetailRight = t->ListRight = "Guest";
    auto col = std::make_unique<TWebInput>("id");
    col->Database_field = "id";
    col->Key = col->List = true;
    t->AddToInputList(std::move(col));
    Project.AddTable(std::move(t));
  }

  void Generate(const std::string& theme = "default") {
    TMainPhpManager(Project, App, theme, &Progress, &Messages).Generate();
  }

  std::string OutFile(const std::string& name) const { return Out.Path() + "/" + name; }

  TempDir AppDir, Out;
  std::string App;
  TProjectManager Project;
  TRecordingProgress Progress;
  TRecordingMessages Messages;
};

TEST_F(DriverTest, InterleavedDatabasesGoInFirstSeenOrder) {
  AddTable("a", "t1");
  AddTable("b", "t2");
  AddTable("a", "t3");
  AddTable("c", "t4");
  Project.CurrentDatabase = "keep";
  Project.CurrentTable = "me";

  // The driver logs each table as it generates it; the log gives the order.
  qftest::ScopedCurrentDir cd(Out.Path());
  WriteFile("logon", "");
  Generate();

  TStringList log;
  log.LoadFromFile("qfx.log");
  std::vector<std::string> tables;
  for (const std::string& line : log) {
    const size_t pos = line.find("  --    ");
    if (pos != std::string::npos) tables.push_back(line.substr(pos + 8));
  }
  EXPECT_EQ(tables, (std::vector<std::string>{"a.t1", "a.t3", "b.t2", "c.t4"}));
  EXPECT_EQ(Progress.Values, (std::vector<int>{0, 33, 66, 100}));
  EXPECT_EQ(Progress.Events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(Project.CurrentDatabase, "keep");
  EXPECT_EQ(Project.CurrentTable, "me");

  for (const char* t : {"a_t1", "b_t2", "a_t3", "c_t4"})
    for (const char* page : {"list", "insert", "update", "detail", "delete"}) {
      const std::string file = OutFile(std::string(t) + "_" + page + ".php");
      ASSERT_TRUE(FileExists(file)) << file;
      // The one-line templates lack the generators' blocks; their error lines come first.
      EXPECT_TRUE(ReadFile(file).ends_with(std::string("page ") + page + ".tpl\r\n")) << file;
    }
}

TEST_F(DriverTest, ProjectWithoutTablesWritesTheSitePagesAndCopies) {
  Generate("dark");
  EXPECT_EQ(ReadFile(OutFile("general/dbinfo.php")), "page dbinfo.tpl\r\n");
  EXPECT_EQ(ReadFile(OutFile("general/login.php")), "page login.tpl\r\n");
  EXPECT_EQ(ReadFile(OutFile("index.html")), "page index.tpl\r\n");
  EXPECT_EQ(ReadFile(OutFile("menu.php")), "page menu.tpl\r\n");
  EXPECT_EQ(ReadFile(OutFile("theme/style.css")), "dark");
  EXPECT_EQ(ReadFile(OutFile("theme/images/info.gif")), "dark");
  EXPECT_FALSE(FileExists(OutFile("theme/images/skip.png")));
  EXPECT_EQ(ReadFile(OutFile("general/functions.php")), "<?php");
  EXPECT_EQ(ReadFile(OutFile("scripts/checks.js")), "js");
  EXPECT_FALSE(FileExists(OutFile("general/checks.js")));
  EXPECT_EQ(ReadFile(OutFile("left.html")), "left");
  EXPECT_FALSE(FileExists(OutFile("other.html")));
  EXPECT_EQ(Progress.Values, (std::vector<int>{0, 100}));

  ASSERT_EQ(Messages.Texts.size(), 1u);
  EXPECT_EQ(Messages.Texts[0], "              Congratulation !\r\n\r\nYour project was sucessfully generated!\r\n"
                               "Generated files are located in " + Out.Path());
  EXPECT_EQ(Messages.Types[0], TMsgDlgType::mtInformation);
  EXPECT_EQ(Messages.Buttons[0], TMsgDlgButtons(mbOK));
}

TEST_F(DriverTest, EmptyThemeNameCopiesDefault) {
  Generate("");
  EXPECT_EQ(ReadFile(OutFile("theme/style.css")), "default");
}

TEST_F(DriverTest, EmptyOutputFolderMeansOutputBesideTheProgram) {
  Project.Project_output.clear();
  Generate();
  EXPECT_EQ(Project.Project_output, App + "output");
  EXPECT_EQ(ReadFile(App + "output/menu.php"), "page menu.tpl\r\n");
  ASSERT_EQ(Messages.Texts.size(), 1u);
  EXPECT_NE(Messages.Texts[0].find("Generated files are located in " + App + "output"), std::string::npos);
}

TEST_F(DriverTest, FolderThatCannotBeCreatedReportsAndWritesNothing) {
  WriteFile(OutFile("blocker"), "a file, not a folder");
  Project.Project_output = OutFile("blocker/site");
  AddTable("a", "t");
  Project.CurrentDatabase = "x";
  Generate();
  ASSERT_EQ(Messages.Texts.size(), 1u);
  EXPECT_EQ(Messages.Texts[0], "Can't create project directories!");
  EXPECT_EQ(Messages.Types[0], TMsgDlgType::mtError);
  EXPECT_EQ(FindFiles(Out.Path(), "*"), (std::vector<std::string>{"blocker"}));
  EXPECT_EQ(Project.Project_output, OutFile("blocker/site")) << "nothing copied, the path stays";
  EXPECT_EQ(Progress.Events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_EQ(Project.CurrentDatabase, "x");
}

TEST_F(DriverTest, MissingTemplateEndsTheRunAndRestoresTheState) {
  AddTable("a", "t");
  Project.CurrentDatabase = "before";
  Project.CurrentTable = "table";
  ASSERT_EQ(::unlink((App + "tpl/update.tpl").c_str()), 0);
  EXPECT_THROW(Generate(), EInOutError);
  EXPECT_EQ(Project.CurrentDatabase, "before");
  EXPECT_EQ(Project.CurrentTable, "table");
  EXPECT_EQ(Progress.Events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_TRUE(Messages.Texts.empty()) << "no closing message after a failure";
  EXPECT_TRUE(FileExists(OutFile("a_t_insert.php")));
  EXPECT_FALSE(FileExists(OutFile("a_t_update.php")));
}

TEST_F(DriverTest, UnwritableTargetEndsTheRunAndRestoresTheState) {
  AddTable("a", "t");
  ForceDirectories(OutFile("a_t_list.php"));  // a folder where the page should go
  EXPECT_THROW(Generate(), EInOutError);
  EXPECT_EQ(Progress.Events, (std::vector<std::string>{"start", "finish"}));
  EXPECT_TRUE(Project.CurrentDatabase.empty());
  EXPECT_TRUE(Project.CurrentTable.empty());
}

TEST_F(DriverTest, CollidingPageNamesAreReportedNotOverwritten) {
  AddTable("a_b", "c");
  AddTable("a", "b_c");
  WriteFile(App + "tpl/list.tpl", "list of {yzt_table_name}\n");
  Generate();
  EXPECT_TRUE(ReadFile(OutFile("a_b_c_list.php")).ends_with("list of c\r\n"));
  ASSERT_EQ(Messages.Texts.size(), 1u);
  EXPECT_NE(Messages.Texts[0].find("a.b_c"), std::string::npos) << Messages.Texts[0];
  EXPECT_EQ(Messages.Texts[0].find("a_b.c"), std::string::npos) << Messages.Texts[0];
}

}  // namespace
