// The folder browser: Execute through the folder service's recorder, and
// our own dialog's rules driven without showing it.

#include "GuiTestApp.h"
#include "TestSupport.h"
#include "components/BrwsFldr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

/** A folder with sub-folders b and c, a hidden one and a file. */
struct TFolders {
  TFolders() {
    for (const char* sub : {"a", "a/b", "a/c", "a/.hidden"}) fs::create_directories(Dir.File(sub));
    qftest::WriteFile(Dir.File("a/file.txt"), "x");
  }
  std::string Path(const std::string& sub) const { return Dir.File(sub); }
  qftest::TempDir Dir;
};

std::vector<std::string> ChildTexts(const TTreeNode* node) {
  std::vector<std::string> out;
  for (int i = 0; i < node->Count(); ++i) out.push_back(node->Item(i)->Text());
  return out;
}

TEST(BrowseForFolder, ExecuteAsksTheFolderService) {
  TFolders folders;
  const std::string start = folders.Path("a");
  const struct {
    const char* name;
    std::optional<std::string> answer;
    bool chosen;
    std::string path;
    bool programWide;  // the service every browser without one of its own uses
  } cases[] = {
      {"a_folder", folders.Path("a/b"), true, folders.Path("a/b"), false},
      {"cancelled", std::nullopt, false, start, false},
      {"a_file", folders.Path("a/file.txt"), false, start, false},
      {"the_program_wide_service", folders.Path("a/c"), true, folders.Path("a/c"), true},
  };
  for (const auto& c : cases) {
    TShellRecorder shell;
    shell.Answers.push_back(c.answer);
    TBrowseForFolder browser(nullptr);
    if (c.programWide)
      TBrowseForFolder::SetDefaultBrowser(&shell);
    else
      browser.SetBrowser(&shell);
    browser.SetTitle("Project path:");
    browser.SetPath(start);
    EXPECT_EQ(browser.Execute(), c.chosen) << c.name;
    TBrowseForFolder::SetDefaultBrowser(nullptr);
    EXPECT_EQ(browser.Path(), c.path) << c.name;
    ASSERT_EQ(shell.Calls.size(), 1u) << c.name;
    EXPECT_EQ(shell.Calls[0].Kind, TShellRecorder::skFolder);
    EXPECT_EQ(shell.Calls[0].Argument, "Project path:");
    EXPECT_EQ(shell.Calls[0].Options.InitialDir, start);
  }
}

TEST(FolderDialog, WhatTheOptionsShow) {
  const struct {
    const char* name;
    std::string title, status;
    bool newStyle, editBox;
    bool titleShown, statusShown, editShown;
    TFormBorderStyle border;
  } cases[] = {
      {"bare", "", "", false, false, false, false, false, bsDialog},
      {"title_and_status", "Choose", "Pick one", false, false, true, true, false, bsDialog},
      {"new_style_shows_no_status_line", "", "Pick one", true, false, false, false, false, bsSizeable},
      {"edit_box", "", "", false, true, false, false, true, bsDialog},
  };
  for (const auto& c : cases) {
    TBrowseForFolder browser(nullptr);
    browser.SetTitle(c.title);
    browser.SetStatusText(c.status);
    browser.SetNewDialogStyle(c.newStyle);
    browser.SetEditBox(c.editBox);
    TFolderDialog dialog(&browser);
    dialog.Initialize();
    EXPECT_EQ(dialog.TitleLabel != nullptr, c.titleShown) << c.name;
    EXPECT_EQ(dialog.StatusLabel != nullptr, c.statusShown) << c.name;
    EXPECT_EQ(dialog.PathEdit != nullptr, c.editShown) << c.name;
    EXPECT_EQ(dialog.BorderStyle(), c.border) << c.name;
    EXPECT_EQ(dialog.TitleLabel ? dialog.TitleLabel->Caption() : c.title, c.title) << c.name;
    EXPECT_EQ(dialog.StatusLabel ? dialog.StatusLabel->Caption() : c.status, c.status) << c.name;
  }
}


TEST(FolderDialog, AnItemWithoutAFolderDisablesOk) {
  TFolders folders;
  struct TWatching : TBrowseForFolder {
    using TBrowseForFolder::TBrowseForFolder;
    std::vector<std::string> Heard;
    void DoSelChanged(const std::string& path, bool& enable) override {
      Heard.push_back("do " + path + (enable ? " on" : " off"));
    }
  } browser(nullptr);
  bool force = false;
  browser.OnSelChanged = [&](TObject*, const std::string& path, bool& enable) {
    browser.Heard.push_back("event " + path + (enable ? " on" : " off"));
    if (force) enable = true;
  };
  browser.SetPath(folders.Path("a/b"));
  TFolderDialog dialog(&browser);
  dialog.Initialize();
  EXPECT_TRUE(dialog.OkButton->Enabled());
  TTreeNode* computer = dialog.Tree->Items().GetFirstNode();
  dialog.Tree->SetSelected(computer);
  EXPECT_FALSE(dialog.OkButton->Enabled()) << "the tree's root is no folder";
  EXPECT_EQ(dialog.SelectedPath(), "");
  force = true;
  dialog.Tree->SetSelected(computer->Item(0));
  dialog.Tree->SetSelected(computer);
  EXPECT_TRUE(dialog.OkButton->Enabled()) << "unless OnSelChanged says otherwise";
  EXPECT_EQ(browser.Heard.front(), "event " + folders.Path("a/b") + " on");
  EXPECT_EQ(browser.Heard[1], "do " + folders.Path("a/b") + " on");
  EXPECT_EQ(browser.Heard[2], "event  off");
  EXPECT_EQ(browser.Heard.back(), "do  on");
}

TEST(FolderDialog, TheStartFolderTheEditBoxAndThePosition) {
  TFolders folders;
  TBrowseForFolder browser(nullptr);
  browser.SetEditBox(true);
  browser.SetPath(folders.Path("a"));
  std::vector<int> seen;
  browser.OnSetPosition = [&](TObject*, int& left, int& top, int width, int height) {
    seen = {left, top, width, height};
    left = 10;
    top = 20;
  };
  TFolderDialog dialog(&browser);
  dialog.SetBounds(100, 100, dialog.Width(), dialog.Height());
  dialog.Initialize();
  EXPECT_EQ(seen, (std::vector<int>{100, 100, dialog.Width(), dialog.Height()}));
  EXPECT_EQ(std::pair(dialog.Left(), dialog.Top()), std::pair(10, 20));
  // The start folder is selected; its folders are listed, hidden ones left out.
  EXPECT_EQ(dialog.SelectedPath(), folders.Path("a"));
  EXPECT_TRUE(dialog.OkButton->Enabled());
  ASSERT_NE(dialog.Tree->Selected(), nullptr);
  EXPECT_EQ(ChildTexts(dialog.Tree->Selected()), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(ChildTexts(dialog.Tree->Items().GetFirstNode()).back(), "File System");
  EXPECT_EQ(dialog.PathEdit->Text(), "a") << "the edit box names the selection";
  EXPECT_EQ(dialog.ChosenPath(), folders.Path("a"));
  dialog.PathEdit->SetText("c");
  EXPECT_EQ(dialog.ChosenPath(), folders.Path("a/c")) << "a typed name is inside the selection";
  dialog.PathEdit->SetText(folders.Path("a/b"));
  EXPECT_EQ(dialog.ChosenPath(), folders.Path("a/b"));
  EXPECT_FALSE(dialog.SelectPath(folders.Path("a/gone/deeper")));
  EXPECT_EQ(dialog.SelectedPath(), folders.Path("a")) << "the deepest folder found";
}

}  // namespace
