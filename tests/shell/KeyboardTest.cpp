// The program with the keyboard alone: Tab through every dialog's fields and
// buttons, Enter and Escape in the dialogs, the grids' drop-down cells, and
// a whole project made, saved and closed without a mouse event.

#include "ShellTestKit.h"

#include "components/FlatButton.h"
#include "components/FlatCheckBox.h"
#include "components/FlatEdit.h"
#include "components/FlatMemo.h"
#include "components/FlatSpinEdit.h"
#include "components/GradPageControl.h"
#include "core/Files.h"
#include "grid/CellEditors.h"
#include "grid/GridView.h"
#include "model/XMLIO.h"
#include "shell/AppSettings.h"
#include "shell/ConnectionWindow.h"
#include "shell/DetailedPropertiesFrame.h"
#include "shell/TableSelectFrame.h"
#include "ui/ComCtrls.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace qftest;

namespace {

/** The windowed control of owner's components (at any depth) that has the focus. */
TWinControl* FocusedIn(TComponent* owner) {
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->Focused() && !w->Name().empty()) return w;
    if (TWinControl* inner = FocusedIn(c)) return inner;
  }
  return nullptr;
}

void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* target = Focus() ? Focus() : QApplication::activeWindow();
  ASSERT_NE(target, nullptr) << "no window takes the keys";
  QTest::keyClick(target, key, mods);
}

/** The names of the controls Tab visits from start until it comes back
 *  (at most limit steps). */
std::vector<std::string> TabCycle(TComponent* owner, TWinControl* start, int limit = 60) {
  FocusOn(start);
  std::vector<std::string> names{start->Name()};
  for (int i = 0; i < limit; ++i) {
    Press(Qt::Key_Tab);
    TWinControl* now = FocusedIn(owner);
    if (now == start) break;
    names.push_back(now ? now->Name() : "?");
  }
  return names;
}

/** Whether list holds part as one run, in order. */
bool HoldsRun(const std::vector<std::string>& list, const std::vector<std::string>& part) {
  return std::search(list.begin(), list.end(), part.begin(), part.end()) != list.end();
}

/** Types text into the focused field in place of what it held. */
void Retype(const std::string& text) {
  Press(Qt::Key_A, Qt::ControlModifier);
  Type(Focus(), text);
}

/** Counts the mouse presses the application sees. */
struct TMousePresses : QObject {
  TMousePresses() { qApp->installEventFilter(this); }
  ~TMousePresses() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    Count += e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick;
    return false;
  }
  int Count = 0;
};

}  // namespace

TEST(Keyboard, TabReachesEveryFieldAndButtonOfTheDialogsInOrder) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  main->NewSBtnClick();
  TConnectionForm* project = main->ConnectionForm;
  Activate(project);
  EXPECT_EQ(TabCycle(project, project->EHost),
            (std::vector<std::string>{"EHost", "EUsername", "EPassword", "EPort", "EDatabase", "BtnTest",
                                      "EProjectName", "EPrjPath", "BtnPrjPath", "EPrjOutput", "BtnPrjOutput",
                                      "EPrjComment", "EPrjLocalDomain", "EPrjUseLocalDomain", "BtnConnect",
                                      "BtnCancel"}));
  project->Hide();

  main->DefaultSettingsSBtnClick();
  TApplicationSettings* settings = main->ApplicationSettings;
  Activate(settings);
  EXPECT_EQ(TabCycle(settings, settings->EDefOutputPath),
            (std::vector<std::string>{"EDefOutputPath", "BtnChangeOutputPath", "EDefProjectPath",
                                      "BtnChangeProjectPath", "EReloadLast", "EAutoConnect", "EHostname",
                                      "EUserName", "EPassword", "EPort", "EDatabase", "BtnOK", "BtnCancel"}));
  settings->Hide();

  // In the main window: the table panel's buttons, and those of a typed-in list.
  Activate(main);
  AddFromServer(main, "shop", "products");
  main->FrameDetailedProperties->setDetails("Combobox");
  main->FrameDetailedProperties->DataSourceSelector->SetActivePage(main->FrameDetailedProperties->ManualSourcePage);
  const std::vector<std::string> visited = TabCycle(main, main->SelectTablePanel->TreeSelectedTable, 120);
  EXPECT_TRUE(HoldsRun(visited, {"TreeSelectedTable", "BtnRemoveTable", "BtnAddTable", "TreeAllTable"}));
  EXPECT_TRUE(HoldsRun(visited, {"PreselectCombo", "BtnValueListAdd", "BtnRemove", "BtnRemoveAll",
                                 "BtnValueListUp", "BtnValueListDown"}));
}

TEST(Keyboard, EnterPressesTheMainOrTheFocusedButtonEscapeCancels) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  main->Project()->ProjectName = "shopfront";
  // Enter in a field saves; Escape cancels, also from the comment, which
  // takes Enter for its lines; Enter on Cancel presses Cancel, not Save.
  const struct {
    const char* Name;
    bool InComment, OnCancel;
    Qt::Key Key;
    std::string Project, Comment;  // what the project holds afterwards
  } cases[] = {
      {"escape", false, false, Qt::Key_Escape, "shopfront", ""},
      {"enter", false, false, Qt::Key_Return, "shopfront-x", ""},
      {"escape_in_comment", true, false, Qt::Key_Escape, "shopfront-x", ""},
      {"enter_on_cancel", false, true, Qt::Key_Return, "shopfront-x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    main->ProjectSettingsSBtnClick();
    TConnectionForm* d = main->ConnectionForm;
    Activate(d);
    FocusOn(c.InComment ? static_cast<TWinControl*>(d->EPrjComment) : d->EProjectName);
    Press(Qt::Key_End);
    if (c.InComment) {
      Press(Qt::Key_Return);
      Type(Focus(), "more");
      EXPECT_EQ(d->EPrjComment->Lines().Count(), 2) << "a new line";
    } else {
      Type(Focus(), "-x");
    }
    if (c.OnCancel) FocusOn(d->BtnCancel);
    Press(c.Key);
    EXPECT_FALSE(d->Visible());
    EXPECT_EQ(std::pair(main->Project()->ProjectName, main->Project()->Project_comment), std::pair(c.Project, c.Comment));
  }

  // The settings dialog: Enter is OK, Escape is Cancel.
  for (const auto& [key, host] : {std::pair{Qt::Key_Escape, db.Host}, {Qt::Key_Return, std::string("db.example.org")}}) {
    main->DefaultSettingsSBtnClick();
    Activate(main->ApplicationSettings);
    FocusOn(main->ApplicationSettings->EHostname);
    Retype("db.example.org");
    Press(key);
    EXPECT_FALSE(main->ApplicationSettings->Visible());
    EXPECT_EQ(f.ReadSettings().at("Default_Hostname"), host);
  }
}

// Wherever the focus was left, a dialog opens on its first field: a rename
// typed at once goes into the name, and Enter saves it.
TEST(Keyboard, ADialogOpensOnItsFirstFieldWhereverItWasLeft) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  main->Project()->ProjectName = "shopfront";
  main->ProjectSettingsSBtnClick();
  TConnectionForm* d = main->ConnectionForm;
  Activate(d);
  FocusOn(d->BtnCancel);
  Press(Qt::Key_Return);  // left with Cancel
  ASSERT_FALSE(d->Visible());

  main->ProjectSettingsSBtnClick();
  Activate(d);
  EXPECT_EQ(FocusedIn(d), d->EProjectName) << "the connection fields are disabled here";
  Retype("renamed");
  Press(Qt::Key_Return);
  EXPECT_FALSE(d->Visible());
  EXPECT_EQ(main->Project()->ProjectName, "renamed");

  // Creating, the first field is the host; the settings dialog's is the output folder.
  main->ProjectSettingsSBtnClick();
  Activate(d);
  FocusOn(d->BtnConnect);
  d->Hide();
  f.Messages.Recorder.Answers = {TModalResult::mrNo};  // the rename need not be saved
  main->NewSBtnClick();
  Activate(d);
  EXPECT_EQ(FocusedIn(d), d->EHost);
  d->Hide();
  main->DefaultSettingsSBtnClick();
  TApplicationSettings* settings = main->ApplicationSettings;
  Activate(settings);
  FocusOn(settings->BtnCancel);
  Press(Qt::Key_Escape);
  main->DefaultSettingsSBtnClick();
  Activate(settings);
  EXPECT_EQ(FocusedIn(settings), settings->EDefOutputPath);
}

TEST(Keyboard, ADropDownCellOpensWithF4OrAltDownAndTheArrowsChoose) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  AddFromServer(main, "shop", "products");
  TGridView* grid = main->TableInfo;
  const int row = RowOf(main, "name");
  // The key opens the list in an open editor, and on the grid's current cell
  // it opens the editor with its list.
  const struct {
    Qt::Key Open;
    Qt::KeyboardModifiers Mods;
    std::vector<Qt::Key> Moves;
    Qt::Key Choose;
    std::string Chosen;
    bool FromTheGrid;
  } cases[] = {{Qt::Key_F4, Qt::NoModifier, {Qt::Key_Down, Qt::Key_Down}, Qt::Key_Return, "Combobox", false},
               {Qt::Key_Down, Qt::AltModifier, {Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}, Qt::Key_F4, "Textarea", false},
               {Qt::Key_F4, Qt::NoModifier, {Qt::Key_Up}, Qt::Key_Escape, "Textarea", false},  // Esc chooses nothing
               {Qt::Key_F4, Qt::NoModifier, {Qt::Key_Down, Qt::Key_Down}, Qt::Key_Return, "Listbox", true},
               {Qt::Key_Down, Qt::AltModifier, {Qt::Key_Up, Qt::Key_Up}, Qt::Key_Return, "Textarea", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Chosen + (c.FromTheGrid ? " from the grid" : ""));
    FocusOn(grid);
    TComboBoxEditor* editor = nullptr;
    if (c.FromTheGrid) {
      grid->SelectCell(9, row, {});
      ASSERT_EQ(grid->ActiveEditor(), nullptr);
      Press(c.Open, c.Mods);
      editor = dynamic_cast<TComboBoxEditor*>(grid->ActiveEditor());
      ASSERT_NE(editor, nullptr) << "the key opens the cell";
      EXPECT_TRUE(editor->Focused());
      EXPECT_EQ(grid->CurrentRow(), row);
    } else {
      grid->BeginEdit(9, row, "");
      editor = dynamic_cast<TComboBoxEditor*>(grid->ActiveEditor());
      ASSERT_NE(editor, nullptr);
      ASSERT_TRUE(ProcessEventsUntil([&] { return editor->Focused(); }));
      Press(c.Open, c.Mods);
    }
    EXPECT_TRUE(editor->DroppedDown());
    for (Qt::Key move : c.Moves) Press(move);
    Press(c.Choose);
    EXPECT_FALSE(editor->DroppedDown());
    EXPECT_TRUE(editor->Visible()) << "the cell is still being edited";
    Press(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellText(9, row), c.Chosen);
    EXPECT_EQ(main->Project()->GetCurrentTable()->GetInputListElement(1)->Input_type, c.Chosen);
  }
}

// A drop-down cell too narrow for its text shows the text's start, opened
// with either key, also after an edit on another row ended.
TEST(Keyboard, ADropDownCellShowsTheStartOfItsText) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  AddFromServer(main, "shop", "products");
  TGridView* grid = main->TableInfo;
  const struct {
    Qt::Key Open;
    Qt::KeyboardModifiers Mods;
    const char* Field;
  } cases[] = {{Qt::Key_Down, Qt::AltModifier, "name"}, {Qt::Key_F4, Qt::NoModifier, "id"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Field);
    FocusOn(grid);
    grid->SelectCell(10, RowOf(main, c.Field), {});
    Press(c.Open, c.Mods);
    auto* editor = dynamic_cast<TComboBoxEditor*>(grid->ActiveEditor());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->DroppedDown());
    QLineEdit* line = editor->LineEdit();
    EXPECT_EQ(line->text(), "Interval");
    EXPECT_GT(line->fontMetrics().horizontalAdvance(line->text()), line->width()) << "the text fits: nothing to see";
    line->grab();  // the edit scrolls its text as it paints
    EXPECT_EQ(line->cursorPositionAt(QPoint(1, line->height() / 2)), 0) << "the first letter is at the left edge";
    Press(Qt::Key_Escape);  // the list closes
    Press(Qt::Key_Escape);  // and the edit ends
    EXPECT_EQ(grid->ActiveEditor(), nullptr);
  }
}

TEST(Keyboard, TheSettingsCheckBoxTheTabReachesShowsTheFocusRoundItsCaption) {
  TProgramFolder f;
  TMainForm* main = f.Start();
  main->DefaultSettingsSBtnClick();
  TApplicationSettings* d = main->ApplicationSettings;
  Activate(d);
  FocusOn(d->BtnChangeProjectPath);
  // The dotted frame inverts every other pixel round the caption, on the
  // dialog's face; the mark left of it is filled, not inverted.
  auto framed = [](TFlatCheckBox* box) {
    qftest::ProcessEventsUntil([] { return false; }, 20);  // the repaints the focus change asked for
    const QImage img = box->PaintedImage();
    return qftest::CountPixels(img, {box->MarkRect().Right, 0, box->Width(), box->Height()}, qftest::kInvertedFace);
  };
  const struct {
    Qt::Key Key;
    Qt::KeyboardModifiers Mods;
    const char* Focused;
  } steps[] = {{Qt::Key_Tab, Qt::NoModifier, "EReloadLast"},
               {Qt::Key_Tab, Qt::NoModifier, "EAutoConnect"},
               {Qt::Key_Tab, Qt::NoModifier, "EHostname"},
               {Qt::Key_Backtab, Qt::ShiftModifier, "EAutoConnect"}};
  for (const auto& s : steps) {
    Press(s.Key, s.Mods);
    ASSERT_EQ(FocusedIn(d) ? FocusedIn(d)->Name() : "?", s.Focused);
    for (TFlatCheckBox* box : {d->EReloadLast, d->EAutoConnect}) {
      SCOPED_TRACE(s.Focused + std::string(" focused, ") + box->Name());
      if (box->Name() == s.Focused)
        EXPECT_GT(framed(box), 100) << "a dotted frame round the caption";
      else
        EXPECT_EQ(framed(box), 0);
    }
  }
}

// Reached by Tab, the available-tables tree frames its first node while
// none is chosen, and a check box without a caption frames its mark.
TEST(Keyboard, TheTreeAndTheCheckBoxesWithoutACaptionShowTheFocus) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  auto tabTo = [&](TWinControl* from, TWinControl* target) {
    FocusOn(from);
    for (int i = 0; i < 20 && FocusedIn(main) != target; ++i) Press(Qt::Key_Tab);
    ASSERT_EQ(FocusedIn(main), target) << target->Name();
    ProcessEventsUntil([] { return false; }, 20);  // the repaints the focus change asked for
  };
  // Pixels of r that changed between two pictures.
  auto changed = [](const QImage& a, const QImage& b, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
  };

  TTreeView* tree = main->SelectTablePanel->TreeAllTable;
  ASSERT_EQ(tree->Selected(), nullptr);
  const TRect first = tree->Items().GetFirstNode()->DisplayRect(true);
  const TRect second = tree->Items().GetFirstNode()->getNextSibling()->DisplayRect(true);
  const QImage before = Grabbed(tree);
  tabTo(main->SelectTablePanel->BtnAddTable, tree);
  const QImage focused = Grabbed(tree);
  EXPECT_GT(changed(before, focused, first), 10) << "a dotted frame round the first node";
  EXPECT_EQ(changed(before, focused, second), 0);
  EXPECT_EQ(tree->Selected(), nullptr) << "the focus chooses nothing";

  AddFromServer(main, "shop", "products");
  main->TableInfo->SelectRow(RowOf(main, "name"));
  TFlatCheckBox* box = main->FrameDetailedProperties->inpIsRequired;
  ASSERT_TRUE(box->Caption().empty());
  FocusOn(main->TableInfo);
  ProcessEventsUntil([] { return false; }, 20);
  const QImage rest = box->PaintedImage();
  tabTo(main->FrameDetailedProperties->inpMaxSize, box);
  const QImage mine = box->PaintedImage();
  TRect around = box->MarkRect();
  InflateRect(around, 2, 2);
  IntersectRect(around, around, box->ClientRect());
  TRect mark = box->MarkRect();
  const int outside = changed(rest, mine, around) - changed(rest, mine, mark);
  EXPECT_GT(outside, 10) << "a dotted frame round the mark";
  EXPECT_EQ(changed(rest, mine, {around.Right, 0, box->Width(), box->Height()}), 0);
}

// Wherever Tab goes in the main window, the window shows it: no stop (a
// frame, a page control, a read-only memo) takes the focus unseen. Each stop
// is compared with the window where no control has the focus.
TEST(Keyboard, EveryTabStopOfTheMainWindowShowsTheFocus) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  AddFromServer(main, "shop", "products");
  const int flashTime = QApplication::cursorFlashTime();
  QApplication::setCursorFlashTime(0);  // a caret that never blinks off
  auto settled = [] { ProcessEventsUntil([] { return false; }, 20); };
  for (TGradTabSheet* page : {main->AdvTabSheet1, main->AdvTabSheet2, main->AdvTabSheet3}) {
    main->SubPageControl->SetActivePage(page);
    TWinControl* start = main->SelectTablePanel->TreeSelectedTable;
    FocusOn(start);
    QApplication::focusWidget()->clearFocus();
    settled();
    const QImage nowhere = Grabbed(main);
    FocusOn(start);
    std::vector<std::string> unseen;
    for (int i = 0; i < 80; ++i) {
      Press(Qt::Key_Tab);
      settled();
      TWinControl* now = FocusedIn(main);
      if (now == start) break;
      if (Grabbed(main) == nowhere) unseen.push_back(now ? now->Name() : "?");
    }
    EXPECT_EQ(FocusedIn(main), start) << "Tab comes round";
    EXPECT_EQ(unseen, std::vector<std::string>{}) << page->Caption();
  }
  QApplication::setCursorFlashTime(flashTime);
}

TEST(Keyboard, AWholeProjectWithoutTheMouse) {
  QF_REQUIRE_DB(db);
  TProgramFolder f;
  TMainForm* main = StartConnected(f, db);
  ForceDirectories(f.File("projects"));
  TMousePresses mouse;
  auto tabTo = [&](TWinControl* control) {
    for (int i = 0; i < 150 && !control->Focused(); ++i) Press(Qt::Key_Tab);
    ASSERT_TRUE(control->Focused()) << control->Name();
  };

  // A new project, typed into the dialog and created with Enter.
  Press(Qt::Key_N, Qt::ControlModifier);
  TConnectionForm* d = main->ConnectionForm;
  ASSERT_NE(d, nullptr);
  Activate(d);
  tabTo(d->EHost);
  for (const std::string& text : {db.Host, db.User, db.Password, std::to_string(db.Port), std::string("shop")}) {
    Retype(text);
    Press(Qt::Key_Tab);
  }
  tabTo(d->EProjectName);
  Retype("keys");
  Press(Qt::Key_Tab);
  Retype(f.File("projects/"));
  Press(Qt::Key_Return);
  ASSERT_FALSE(d->Visible());
  EXPECT_EQ(main->Project()->ProjectName, "keys");

  // The table "products" chosen in the server's tree and added with its button.
  Activate(main);
  TTableSelectPanel& panel = *main->SelectTablePanel;
  tabTo(panel.TreeAllTable);
  Press(Qt::Key_Home);
  for (int i = 0; i < 20 && panel.TreeAllTable->Selected()->Text() != "shop"; ++i) Press(Qt::Key_Down);
  Press(Qt::Key_Right);
  for (int i = 0; i < 20 && panel.TreeAllTable->Selected()->Text() != "products"; ++i) Press(Qt::Key_Down);
  ASSERT_EQ(panel.TreeAllTable->Selected()->Text(), "products");
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_TRUE(panel.BtnAddTable->Focused());
  Press(Qt::Key_Space);
  ASSERT_NE(main->Project()->FindTable("shop", "products"), nullptr);
  EXPECT_EQ(main->Project()->CurrentTable, "products");

  // The column "name" becomes a drop-down list: a typed key opens the cell.
  TGridView* grid = main->TableInfo;
  tabTo(grid);
  Press(Qt::Key_Home);
  for (int i = 0; i < 20 && grid->GetCellText(1, grid->CurrentRow()) != "name"; ++i) Press(Qt::Key_Down);
  for (int i = 0; i < 20 && grid->CurrentColumn() != 9; ++i) Press(Qt::Key_Right);
  ASSERT_EQ(std::pair(grid->GetCellText(1, grid->CurrentRow()), grid->CurrentColumn()), std::pair(std::string("name"), 9));
  Type(Focus(), "x");
  ASSERT_NE(grid->ActiveEditor(), nullptr);
  Press(Qt::Key_Down, Qt::AltModifier);
  for (int i = 0; i < 3; ++i) Press(Qt::Key_Down);
  Press(Qt::Key_Return);  // chooses
  Press(Qt::Key_Return);  // takes it, and goes a row down
  const std::string chosen = grid->GetCellText(9, RowOf(main, "name"));
  EXPECT_EQ(chosen, "Listbox");

  // Saved with Ctrl+S, closed with Ctrl+Q: nothing left to ask.
  Press(Qt::Key_S, Qt::ControlModifier);
  Activate(main);  // the progress window took it: a window manager gives it back
  Press(Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(main->Visible());
  EXPECT_TRUE(f.Messages.Recorder.Calls.empty()) << Texts(f.Messages.Recorder).front();
  EXPECT_EQ(mouse.Count, 0);
  TProjectManager saved;
  XMLManager().LoadProject(f.File("projects/keys.vrk"), saved);
  ASSERT_NE(saved.FindTable("shop", "products"), nullptr);
  EXPECT_EQ(saved.FindTable("shop", "products")->GetInputListElement(1)->Input_type, chosen);
  EXPECT_EQ(f.ReadSettings().at("Last_project_name"), "keys");
}
