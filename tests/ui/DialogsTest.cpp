#include "GuiTestApp.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"
#include "ui/ShellServices.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct FilterCase {
  const char* name;
  const char* classic;
  const char* qt;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class FileFilters : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FileFilters, BecomeQtFilters) { EXPECT_EQ(QtFileFilter(GetParam().classic), GetParam().qt); }

INSTANTIATE_TEST_SUITE_P(
    Filters, FileFilters,
    ::testing::Values(
        FilterCase{"project_and_all", "Project files (*.vrk)|*.vrk|All files (*.*)|*.*",
                   "Project files (*.vrk);;All files (*)"},
        FilterCase{"several_patterns", "Pictures|*.bmp;*.png; *.jpg", "Pictures (*.bmp *.png *.jpg)"},
        FilterCase{"empty", "", ""},
        FilterCase{"description_without_pattern", "Project files (*.vrk)|*.vrk|Dangling", "Project files (*.vrk)"},
        FilterCase{"empty_pattern_left_out", "Nothing||Text|*.txt", "Text (*.txt)"},
        FilterCase{"no_description", "|*.vrk", "*.vrk (*.vrk)"}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExtCase {
  const char* file;
  const char* ext;
  const char* result;
};

void PrintTo(const ExtCase& c, std::ostream* os) { *os << '"' << c.file << "\" + \"" << c.ext << '"'; }

class DefaultExt : public ::testing::TestWithParam<ExtCase> {};

TEST_P(DefaultExt, IsAddedOnlyWithoutAnExtension) {
  EXPECT_EQ(AddDefaultExt(GetParam().file, GetParam().ext), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Names, DefaultExt,
                         ::testing::Values(ExtCase{"/home/u/shop", "vrk", "/home/u/shop.vrk"},
                                           ExtCase{"/home/u/shop.xml", "vrk", "/home/u/shop.xml"},
                                           ExtCase{"/home/u.v/shop", "vrk", "/home/u.v/shop.vrk"},
                                           ExtCase{"shop", ".vrk", "shop.vrk"}, ExtCase{"shop", "", "shop"},
                                           ExtCase{"", "vrk", ""}, ExtCase{"/home/u/", "vrk", "/home/u/"}));

TEST(MessageBoxes, CaptionsOfTheKinds) {
  EXPECT_EQ(MessageDlgCaption(TMsgDlgType::mtWarning), "Warning");
  EXPECT_EQ(MessageDlgCaption(TMsgDlgType::mtError), "Error");
  EXPECT_EQ(MessageDlgCaption(TMsgDlgType::mtInformation), "Information");
  EXPECT_EQ(MessageDlgCaption(TMsgDlgType::mtConfirmation), "Confirm");
  EXPECT_EQ(MessageDlgCaption(TMsgDlgType::mtCustom), Application->Title());
}

TEST(MessageBoxes, RecorderAnswersTheScriptThenTheDefault) {
  TMessageRecorder r;
  r.Answers = {TModalResult::mrYes, TModalResult::mrNo};
  IMessageService& seam = r;
  EXPECT_EQ(seam.MessageDlg("Are you sure to overwrite the actual project?", TMsgDlgType::mtConfirmation, mbYes | mbNo),
            TModalResult::mrYes);
  EXPECT_EQ(r.MessageBox("Boom.", "Quarrowfield", TMsgDlgType::mtError, mbOK), TModalResult::mrNo);
  EXPECT_EQ(seam.MessageDlg("Can't connect to database!", TMsgDlgType::mtWarning, mbOK), TModalResult::mrNone);
  r.DefaultAnswer = TModalResult::mrOk;
  EXPECT_EQ(seam.MessageDlg("x", TMsgDlgType::mtInformation, mbOK), TModalResult::mrOk);
  ASSERT_EQ(r.Calls.size(), 4u);
  EXPECT_EQ(r.Calls[0].Buttons, static_cast<TMsgDlgButtons>(mbYes | mbNo));
  EXPECT_EQ(r.Calls[0].Caption, "");
  EXPECT_EQ(r.Calls[1].Caption, "Quarrowfield");
  EXPECT_EQ(r.Calls[2].Type, TMsgDlgType::mtWarning);
}

TEST(ShellServices, RecorderAnswersDialogsInOrderThenCancels) {
  TShellRecorder r;
  r.Answers = {std::string("/p/shop.vrk"), std::nullopt, std::string("/out")};
  TFileDialogOptions o;
  o.Title = "Open project";
  o.Filter = "Project files (*.vrk)|*.vrk";
  EXPECT_EQ(r.ExecuteOpen(o), std::optional<std::string>("/p/shop.vrk"));
  EXPECT_EQ(r.ExecuteSave(o), std::nullopt);
  EXPECT_EQ(r.BrowseForFolder("Output folder", "/tmp"), std::optional<std::string>("/out"));
  EXPECT_EQ(r.ExecuteOpen(o), std::nullopt);  // script used up: cancelled
  r.UrlResult = false;
  EXPECT_FALSE(r.OpenURL("http://localhost/shop/index.php"));
  EXPECT_TRUE(r.ShowHelp("quarrowfield.hlp"));
  ASSERT_EQ(r.Calls.size(), 6u);
  EXPECT_EQ(r.Calls[0].Kind, TShellRecorder::skOpen);
  EXPECT_EQ(r.Calls[0].Options.Filter, o.Filter);
  EXPECT_EQ(r.Calls[2].Kind, TShellRecorder::skFolder);
  EXPECT_EQ(r.Calls[2].Options.InitialDir, "/tmp");
  EXPECT_EQ(r.Calls[4].Argument, "http://localhost/shop/index.php");
  EXPECT_EQ(r.Calls[5].Kind, TShellRecorder::skHelp);
}

TEST(ShellServices, RealServicesRefuseWhatCannotBeOpened) {
  // Neither of these may start another program.
  TQtHelpService help;
  EXPECT_FALSE(help.ShowHelp(""));
  EXPECT_FALSE(help.ShowHelp("no-such-help-file.hlp"));
  EXPECT_FALSE(help.ShowHelp("/no/such/folder/quarrowfield.hlp"));
  TQtUrlOpener url;
  EXPECT_FALSE(url.OpenURL(""));
}

}  // namespace
