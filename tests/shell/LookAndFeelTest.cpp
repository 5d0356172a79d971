#include "ShellTestKit.h"

#include "components/FlatComboBox.h"
#include "components/FlatEdit.h"
#include "components/GradPageControl.h"
#include "core/Exception.h"
#include "core/Files.h"
#include "model/General.h"
#include "shell/LookAndFeelFrame.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"
#include "ui/HtmlView.h"

#include <regex>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

std::string Link(const std::string& theme) {
  return "<link href=\"" + theme + ".css\" rel=\"stylesheet\" type=\"text/css\">\r\n";
}

void Select(TLookAndFeel& look, const std::string& theme) {
  look.CssSelector->SetItemIndex(look.CssSelector->Items().IndexOf(theme));
  look.CssSelectorChange();
}

/** The colour "#rrggbb" as a TColor. */
TColor HexColour(const std::string& hex) {
  const unsigned v = std::stoul(hex.substr(1), nullptr, 16);
  return RGB(v >> 16, (v >> 8) & 0xff, v & 0xff);
}

}  // namespace

TEST(LookAndFeel, ThePreviewLinksTheThemesStyleSheetAndSavingKeepsTheThemeWhenNoneIsChosen) {
  TProgramFolder f;
  TMainForm* form = f.Start();
  form->SubPageControl->SetActivePage(form->AdvTabSheet2);
  TLookAndFeel& look = *form->LookAndFeelPanel;
  ForceDirectories(f.File("themes/empty"));
  ForceDirectories(f.File("themes/bare"));
  WriteFile(f.File("themes/empty/preview.tbl"), "");
  look.ThemesFolder = f.File("themes/");
  look.FillThemes();

  // An empty fragment still gets its link line.
  Select(look, "empty");
  EXPECT_EQ(ReadFile(f.File("themes/empty/preview.html")), Link("empty"));
  // No preview.tbl: an error, and nothing written.
  look.CssSelector->SetItemIndex(look.CssSelector->Items().IndexOf("bare"));
  EXPECT_THROW(look.CssSelectorChange(), EFOpenError);
  EXPECT_FALSE(FileExists(f.File("themes/bare/preview.html")));
  // No theme chosen: no preview, and no file named ".html" or "preview.html" in "themes".
  look.CssSelector->SetItemIndex(-1);
  look.CssSelectorChange();
  EXPECT_EQ(FindFiles(f.File("themes/"), "*.html"), std::vector<std::string>{});

  // The shipped themes: the header in the accent colour of the site's own style sheet.
  look.ThemesFolder = GetAppFolder() + "themes/";
  look.FillThemes();
  for (const std::string theme : {"default", "ocean"}) {
    SCOPED_TRACE(theme);
    const std::string folder = look.ThemesFolder + theme + "/";
    Select(look, theme);
    EXPECT_EQ(ReadFile(folder + "preview.html"), Link(theme) + ReadFile(folder + "preview.tbl"));
    EXPECT_TRUE(FileExists(folder + theme + ".css"));
    std::smatch accent;
    const std::string site = ReadFile(folder + "style.css");
    ASSERT_TRUE(std::regex_search(site, accent, std::regex("--qf-accent: (#[0-9a-f]{6});")));
    EXPECT_NE(look.Browser->PlainText().find("Pride and Prejudice"), std::string::npos);
    const QImage shown = look.Browser->Handle()->grab().toImage();
    EXPECT_GT(CountPixels(shown, HexColour(accent[1])), 500) << accent[1];
  }

  // Saving keeps the project's theme when none is chosen.
  TProjectManager& p = *form->Project();
  p.CSS = "ocean";
  look.CssSelector->SetItemIndex(-1);

  // Typed like a user; leaving the frame saves.
  look.ETableWidth->SetFocus();
  Type(Focus(), "\b\b\b1a2");
  EXPECT_EQ(look.ETableWidth->Text(), "12");
  look.TableSizeSelector->SetItemIndex(0);
  look.ETableAlign->SetItemIndex(2);
  form->SelectTablePanel->TreeSelectedTable->SetFocus();
  EXPECT_EQ(p.TableWidth, 12);
  EXPECT_EQ(p.WidthType, 0);
  EXPECT_EQ(p.TableAlign, "Right");
  EXPECT_EQ(p.CSS, "ocean");
  // Entering the selector shows the project's theme; one chosen with the keys is saved on leaving.
  look.CssSelector->SetFocus();
  EXPECT_EQ(look.CssSelector->Text(), "ocean");
  Key(Focus(), Qt::Key_Up);
  form->SelectTablePanel->TreeSelectedTable->SetFocus();
  EXPECT_EQ(p.CSS, "default");
}

TEST(LookAndFeel, AThemeFolderThatCannotBeWrittenStillShowsItsPreview) {
  QF_RUN_UNPRIVILEGED();
  TProgramFolder f;
  TLookAndFeel& look = *f.Start()->LookAndFeelPanel;
  const std::string locked = f.File("themes/locked");
  ForceDirectories(locked);
  WriteFile(locked + "/preview.tbl", "<p>From a folder of another owner</p>");
  ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
  look.ThemesFolder = f.File("themes/");
  look.FillThemes();
  EXPECT_NO_THROW(Select(look, "locked"));
  EXPECT_FALSE(FileExists(locked + "/preview.html"));
  EXPECT_NE(look.Browser->PlainText().find("From a folder of another owner"), std::string::npos);
  ::chmod(locked.c_str(), 0755);
}
