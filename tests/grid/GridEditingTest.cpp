// Editing in the grid through real keys and clicks on a shown grid: the cell
// editor, the input row, check boxes, navigation, the incremental search,
// the wheel and row resizing, and the faults decided for the grid (a scroll
// commits, cleared rows leave nothing current, destruction is silent).

#include "GridWindowTest.h"
#include "grid/CellEditors.h"


#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using gridtest::CellCentre;
using gridtest::Click;
using gridtest::Focus;
using gridtest::Press;
using gridtest::TShownForm;
using gridtest::Type;
using qftest::ProcessEventsUntil;

namespace {

using Log = std::vector<std::string>;

std::string At(int col, int row) { return std::to_string(col) + "," + std::to_string(row); }

/** A shown grid of four columns: 0 editable text, 1 editable check box, 2 an
 *  editable drop-down list of A, B, C, 3 read-only text that the incremental
 *  search looks in. Every event the editing raises is logged. */
struct TEditingGrid {
  explicit TEditingGrid(int rows = 6) : Grid(gridtest::MakeGrid(&Form, {}, 0)) {
    auto editable = [](TCustomColumn* c) { c->SetOptions(TColumnOptions(c->Options()) << coEditing); };
    editable(Grid->Columns().Add<TTextualColumn>());
    auto* check = Grid->Columns().Add<TCheckBoxColumn>();
    editable(check);
    check->SetWidth(40);
    check->SetAlignment(taCenter);
    auto* list = Grid->Columns().Add<TComboBoxColumn>();
    TStringList items;
    for (const char* item : {"A", "B", "C"}) items.Add(item);
    list->SetItems(items);
    list->SetStyle(cbsDropDownList);
    editable(list);
    auto* names = Grid->Columns().Add<TTextualColumn>();
    names->SetOptions(TColumnOptions(names->Options()) << coSearchColumn);
    Grid->AddRow(rows);
    const char* const fruit[] = {"apple", "Banana", "cherry", "avocado", "blueberry", "Apricot"};
    for (int r = 0; r < rows; ++r) {
      Grid->SetCellText(0, r, qftest::Str("t", r));
      Grid->SetCellText(2, r, "A");
      Grid->SetCellText(3, r, fruit[r % 6]);
    }
    // Twice: the first size may take a scroll bar away.
    Grid->SetClientSize(400, 200);
    Grid->SetClientSize(400, 200);
    auto note = [this](const char* what, int c, int r, const std::string& v) {
      Events.push_back(what + At(c, r) + (v.empty() ? "" : " " + v));
    };
    Grid->OnBeforeEdit = [=, this](TObject*, int c, int r, bool& accept) {
      note("before ", c, r, "");
      accept = AcceptEdits;
    };
    Grid->OnEdit = [=](TObject*, int c, int r, const std::string& v) { note("edit ", c, r, v); };
    Grid->OnEditAccept = [=, this](TObject*, int c, int r, const std::string& v, bool& accept) {
      note("accept ", c, r, v);
      accept = AcceptValues;
    };
    Grid->OnAfterEdit = [=](TObject*, int c, int r, const std::string& v) { note("after ", c, r, v); };
    Grid->OnCellClick = [=](TObject*, int c, int r) { note("click ", c, r, ""); };
    Focus(Grid);
  }
  TCellEditor* Editor() const { return Grid->ActiveEditor(); }
  TGridCell Current() const { return {Grid->CurrentColumn(), Grid->CurrentRow()}; }
  std::string EditorText() const { return Editor() ? Editor()->Text() : "<none>"; }
  TShownForm Form;
  TGridView* Grid;
  Log Events;
  bool AcceptEdits = true;
  bool AcceptValues = true;
};

TEST(GridEditing, TypingOpensTheEditorWithTheKeysAndEnterCommitsAndMoves) {
  const struct {
    TSelectionMoveDirection direction;
    int col, row;
  } cases[] = {{mdDown, 0, 2}, {mdUp, 0, 0}, {mdRight, 1, 1}, {mdLeft, 0, 1}, {mdNone, 0, 1}};
  for (const auto& c : cases) {
    TEditingGrid g;
    g.Grid->SetSelectionMoveDirection(c.direction);
    g.Grid->SelectCell(0, 1, {});
    Type("ab");  // the first key is not replaced by the second
    ASSERT_NE(g.Editor(), nullptr) << c.direction;
    EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->EditedCell(), g.Editor()->Focused()),
              std::tuple("ab", TGridCell{0, 1}, true));
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(g.Grid->GetCellText(0, 1), "ab") << c.direction;
    EXPECT_TRUE(!g.Editor() && g.Grid->Focused()) << "closed, and the grid took the focus back";
    EXPECT_EQ(g.Current(), (TGridCell{c.col, c.row})) << c.direction;
    EXPECT_EQ(g.Events, (Log{"before 0,1", "edit 0,1 ab", "accept 0,1 ab", "after 0,1 ab"})) << c.direction;
  }
}

TEST(GridEditing, F4OrAltWithAnArrowOpensADropDownCellWithItsListAndNoOtherCell) {
  const struct {
    const char* name;
    int col;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool accept, opens;
    int rowAfter;
  } cases[] = {
      {"f4", 2, Qt::Key_F4, Qt::NoModifier, true, true, 1},
      {"alt_down", 2, Qt::Key_Down, Qt::AltModifier, true, true, 1},
      {"alt_up", 2, Qt::Key_Up, Qt::AltModifier, true, true, 1},
      {"shift_f4", 2, Qt::Key_F4, Qt::ShiftModifier, true, false, 1},
      {"refused_by_the_grid_s_owner", 2, Qt::Key_F4, Qt::NoModifier, false, false, 1},
      {"f4_on_a_text_cell", 0, Qt::Key_F4, Qt::NoModifier, true, false, 1},
      {"alt_down_on_a_text_cell_moves_down", 0, Qt::Key_Down, Qt::AltModifier, true, false, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEditingGrid g;
    g.AcceptEdits = c.accept;
    g.Grid->SelectCell(c.col, 1, {});
    g.Grid->SetCellText(2, 1, "B");
    Press(c.key, {}, c.mods);
    auto* editor = dynamic_cast<TComboBoxEditor*>(g.Editor());
    EXPECT_EQ(editor != nullptr, c.opens);
    EXPECT_EQ(g.Current(), (TGridCell{c.col, c.rowAfter}));
    if (!c.opens) continue;
    EXPECT_TRUE(editor->DroppedDown() && editor->Focused());
    EXPECT_EQ(std::tuple(g.Grid->EditedCell(), editor->PopupList()->ItemIndex()), std::tuple(TGridCell{2, 1}, 1))
        << "the list opens on the cell's item";
  }
}

TEST(GridEditing, ATypedKeyOnAComboCellIsTheWholeTextOrPicksAnItemButNeverTextOutsideTheList) {
  const struct {
    const char* name;
    TCompoBoxStyle style;
    const char* cell;
    const char* typed;
    const char* editor;  // the editor's text once opened
    bool written;        // Enter writes the cell
  } cases[] = {
      {"drop_down_keeps_the_key_over_the_cells_item", cbsDropDown, "A", "b", "b", true},
      {"drop_down_on_an_empty_cell", cbsDropDown, "", "x", "x", true},
      {"list_picks_the_first_item_it_starts", cbsDropDownList, "A", "c", "C", true},
      {"list_on_an_empty_cell", cbsDropDownList, "", "b", "B", true},
      {"list_keeps_its_item_when_none_starts_so", cbsDropDownList, "A", "z", "A", false},
      {"list_on_an_empty_cell_takes_no_stray_text", cbsDropDownList, "", "q", "", false},
      {"list_on_text_outside_the_items", cbsDropDownList, "zz", "q", "zz", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEditingGrid g;
    auto* column = static_cast<TComboBoxColumn*>(g.Grid->Columns().Items(2));
    column->SetStyle(c.style);
    g.Grid->SetCellText(2, 1, c.cell);
    g.Grid->SelectCell(2, 1, {});
    Type(c.typed);
    ASSERT_NE(g.Editor(), nullptr);
    EXPECT_EQ(g.EditorText(), c.editor);
    Press(Qt::Key_Return, "\r");
    EXPECT_EQ(g.Grid->GetCellText(2, 1), c.written ? c.editor : c.cell);
    const bool accepted = std::find(g.Events.begin(), g.Events.end(), "accept 2,1 " + std::string(c.editor)) !=
                          g.Events.end();
    EXPECT_EQ(accepted, c.written);
  }

  // The input row's list takes items only, too.
  TEditingGrid g(2);
  g.Grid->SetOptions({goHeader, goInput, goGrid});
  g.Grid->SelectCell(2, 0, {});
  g.Grid->SetInputRowFocused(true);
  for (auto [typed, text] : {std::pair("q", ""), std::pair("B", "B")}) {
    Type(typed);
    ASSERT_NE(g.Editor(), nullptr) << typed;
    EXPECT_EQ(g.EditorText(), text) << typed;
    Press(Qt::Key_Escape, "\x1b");
  }
}

TEST(GridEditing, AClickOnTheCurrentCellOpensItsTextAReleaseElsewhereNothing) {
  TEditingGrid g;
  g.Grid->SelectCell(0, 1, {});
  Click(g.Grid, CellCentre(*g.Grid, 0, 2));
  ASSERT_NE(g.Editor(), nullptr);
  // coEditorAutoSelect selects the text; the editor lies within the cell's grid lines.
  const TRect cell = g.Grid->GetCellRect(0, 2);
  const int selected = dynamic_cast<TTextualEditor*>(g.Editor())->SelLength();
  EXPECT_EQ(std::tuple(g.EditorText(), selected, g.Editor()->BoundsRect()),
            std::tuple("t2", 2, TRect{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1}));
  EXPECT_EQ(g.Events, (Log{"click 0,2", "before 0,2"}));

  // A press on one cell released on another: no click, no editor; the open one was committed.
  g.Events.clear();
  Press(Qt::Key_X, "x");
  const TPoint from = CellCentre(*g.Grid, 0, 3), to = CellCentre(*g.Grid, 0, 4);
  qftest::SendMouse(g.Grid->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {from.X, from.Y});
  qftest::SendMouse(g.Grid->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {to.X, to.Y});
  EXPECT_EQ(std::tuple(g.Grid->GetCellText(0, 2), g.EditorText(), g.Grid->CurrentRow()), std::tuple("x", "<none>", 3));
  EXPECT_EQ(g.Events, (Log{"edit 0,2 x", "accept 0,2 x", "after 0,2 x"}));
}

TEST(GridEditing, EscapeDiscardsUnchangedTextCommitsNothingAndRefusalsLeaveTheCell) {
  TEditingGrid g;
  g.Grid->SelectCell(0, 0, {});
  Type("zz");
  Press(Qt::Key_Escape, "\x1b");
  EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->GetCellText(0, 0), g.Grid->Focused()), std::tuple("<none>", "t0", true));
  // The key that opened the editor is its first text, not a change of it.
  EXPECT_EQ(g.Events, (Log{"before 0,0", "edit 0,0 zz"}));

  g.Events.clear();
  g.Grid->BeginEdit(0, 0);
  EXPECT_FALSE(g.Grid->CommitEdit());
  EXPECT_EQ(g.Events, (Log{"before 0,0"})) << "no accept and no after-edit for the same text";
  g.Grid->BeginEdit(0, 0, "other");
  EXPECT_EQ(g.Events.size(), 1u) << "the edited cell again opens nothing";
  Press(Qt::Key_Escape, "\x1b");

  g.Events.clear();
  g.AcceptEdits = false;
  g.Grid->SelectCell(0, 2, {});
  Type("q");
  EXPECT_EQ(g.Editor(), nullptr);
  EXPECT_EQ(g.Events, (Log{"before 0,2"}));

  g.Events.clear();
  g.AcceptEdits = true;
  g.AcceptValues = false;
  Type("q");
  EXPECT_FALSE(g.Grid->CommitEdit());
  EXPECT_NE(g.Editor(), nullptr) << "a refused value keeps the editor open";
  Press(Qt::Key_Return, "\r");
  EXPECT_EQ(g.Grid->GetCellText(0, 2), "t2");
  EXPECT_EQ(g.Events, (Log{"before 0,2", "accept 0,2 q", "accept 0,2 q"}));
}

TEST(GridEditing, ScrollsAndResizesCommitTheEditorEscapeAloneDiscards) {
  const struct {
    const char* name;
    std::function<void(TGridView*)> move;
  } cases[] = {
      {"line_down", [](TGridView* g) { g->VertScrollBar()->LineDown(); }},
      {"horizontal", [](TGridView* g) { g->PerformScroll(sbHorizontal, SB_LINEDOWN); }},
      {"resize", [](TGridView* g) { g->SetClientSize(380, 150); }},
  };
  for (const auto& c : cases) {
    TEditingGrid g(40);
    g.Grid->Columns().Items(3)->SetWidth(400);  // something to scroll sideways
    g.Grid->SelectCell(0, 1, {});
    Type("kept");
    c.move(g.Grid);
    EXPECT_EQ(std::tuple(g.Grid->GetCellText(0, 1), g.EditorText(), g.Grid->State().Contains(gbEditing)),
              std::tuple("kept", "<none>", false))
        << c.name;
  }
}

TEST(GridEditing, TheFocusLeavingTheGridCommitsAndClosesTheEditor) {
  const struct {
    const char* name;
    bool input;
  } cases[] = {{"cell", false}, {"input_row", true}};
  for (const auto& c : cases) {
    TEditingGrid g;
    TCustomControl* other = gridtest::FocusTaker(&g.Form);
    g.Grid->SetOptions({goHeader, goInput});
    if (c.input) {
      g.Grid->BeginInputEdit(0);
      Type("in");
    } else {
      g.Grid->SelectCell(0, 1, {});
      Type("out");
    }
    ASSERT_NE(g.Editor(), nullptr) << c.name;
    Focus(other);
    EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->State().Contains(gbEditing), g.Grid->State().Contains(gbInputEditing)),
              std::tuple("<none>", false, false))
        << c.name;
    EXPECT_EQ(std::tuple(g.Grid->GetCellText(0, 1), g.Grid->Columns().Items(0)->InputValue()),
              c.input ? std::tuple("t1", "in") : std::tuple("out", ""))
        << c.name;
  }
}

TEST(GridEditing, RowsThatWentAwayAreNotWritten) {
  TEditingGrid g;
  g.Grid->BeginEdit(0, 5);
  g.Editor()->SetText("late");
  g.Events.clear();
  // The row goes behind the grid's back, straight from the store.
  g.Grid->Cells().DeleteRow(5);
  g.Grid->Rows().Delete(5);
  EXPECT_FALSE(g.Grid->CommitEdit());
  EXPECT_TRUE(g.Events.empty()) << "not even OnEditAccept";
  g.Grid->Cells().ClearRows();
  g.Grid->Rows().Clear();
  EXPECT_FALSE(g.Grid->CommitEdit());
}

TEST(GridEditing, AColumnThatCannotBeEditedOpensNoEditorAnywhere) {
  TEditingGrid g;
  g.Grid->SelectCell(0, 1, {});
  g.Grid->Columns().Items(2)->SetEnabled(false);
  Click(g.Grid, CellCentre(*g.Grid, 2, 1));
  EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->CurrentColumn()), std::tuple("<none>", 0)) << "nor on the current cell";
  Click(g.Grid, CellCentre(*g.Grid, 3, 1));  // no coEditing
  EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->CurrentColumn()), std::tuple("<none>", 3));
  g.Grid->BeginEdit(2, 1);
  EXPECT_EQ(g.Editor(), nullptr);
}

TEST(GridEditing, DeletedClearedRowsAndColumnsLeaveNoStaleCurrentRowSelectionOrEditor) {
  TEditingGrid g;
  g.Grid->SetOptions({goHeader, goSelectFullRow, goMultiSelect});
  g.Grid->SelectRow(5);
  g.Grid->DeleteRow(5);
  EXPECT_EQ(g.Grid->CurrentRow(), 4);
  g.Grid->DeleteRow(0);
  EXPECT_EQ(g.Grid->CurrentRow(), 3) << "past the end again: the last row";
  g.Grid->SelectCell(0, 1, {});
  g.Grid->SelectCell(0, 3, {ssShift});
  g.Grid->BeginEdit(0, 3, "x");
  ASSERT_NE(g.Editor(), nullptr);
  g.Grid->ClearRows();
  EXPECT_EQ(std::tuple(g.Grid->CurrentRow(), g.EditorText(), g.Grid->EditedCell()),
            std::tuple(-1, "<none>", TGridCell{}));
  EXPECT_FALSE(g.Grid->State().Contains(gbMultiSelect) || g.Grid->State().Contains(gbEditing));
  g.Grid->AddRow(3);
  EXPECT_EQ(g.Grid->CurrentRow(), 0) << "nothing left over from before the clearing";
  for (int r = 0; r < 3; ++r) EXPECT_FALSE(g.Grid->IsRowSelected(r)) << r;
  // An empty grid moves the current column but selects no row.
  g.Grid->ClearRows();
  Log selections;
  g.Grid->OnSelectCell = [&](TObject*, int c, int r) { selections.push_back("select " + At(c, r)); };
  g.Grid->OnDeselectCell = [&](TObject*, int c, int r) { selections.push_back("deselect " + At(c, r)); };
  g.Grid->SelectCell(1, 0, {});
  EXPECT_EQ(selections, Log{"deselect 0,-1"});
  EXPECT_EQ(g.Current(), (TGridCell{1, -1}));
  g.Grid->AddRow(3);
  EXPECT_EQ(g.Grid->CurrentRow(), 0) << "rows came: the first one is current";

  // Without columns there are no rows, nor row records.
  for (int c = 3; c > 0; --c) g.Grid->Columns().Delete(c);
  EXPECT_EQ(g.Grid->Rows().Count(), 3);
  g.Grid->Columns().Delete(0);
  // The store and the records agree.
  EXPECT_EQ(std::tuple(g.Grid->RowCount(), g.Grid->Rows().Count(), g.Grid->CurrentRow()), std::tuple(0, 0, -1));
  g.Grid->Columns().Add<TTextualColumn>();
  EXPECT_EQ(g.Grid->RowCount(), 0);
  g.Grid->AddRow(2);
  g.Grid->Columns().Clear();
  EXPECT_EQ(std::tuple(g.Grid->RowCount(), g.Grid->Rows().Count()), std::tuple(0, 0));
}

TEST(GridEditing, DestroyingTheGridRaisesNoEvents) {
  auto g = std::make_unique<TEditingGrid>();
  Log after;
  TGridView* grid = g->Grid;
  grid->OnChange = [&](TObject*, int, int) { after.push_back("change"); };
  grid->OnSelectCell = [&](TObject*, int, int) { after.push_back("select"); };
  grid->OnDeselectCell = [&](TObject*, int, int) { after.push_back("deselect"); };
  grid->OnExit = [&](TObject*) { after.push_back("exit"); };
  grid->OnPostDraw = [&](TObject*) { after.push_back("paint"); };
  grid->OnCellColoring = [&](TObject*, int, int, TColor&, TColor&, TCellState) { after.push_back("paint"); };
  grid->SelectCell(0, 2, {});
  Type("unsaved");
  ASSERT_TRUE(g->Editor()->Focused());
  after.clear();
  g->Events.clear();
  delete grid;
  EXPECT_TRUE(after.empty()) << after.front();
  EXPECT_TRUE(g->Events.empty()) << g->Events.front();
}

TEST(GridEditing, CheckBoxesToggleByAClickOnTheBoxOrBySpace) {
  TEditingGrid g;
  const TRect cell = g.Grid->GetCellRect(1, 2);
  const TPoint box = cell.CenterPoint();
  Click(g.Grid, box);
  EXPECT_EQ(std::tuple(g.Grid->GetCellText(1, 2), g.EditorText()), std::tuple("True", "<none>")) << "and no editor";
  EXPECT_EQ(g.Events, (Log{"click 1,2", "before 1,2", "accept 1,2 True", "after 1,2 True"}));

  g.Events.clear();
  Click(g.Grid, {cell.Left + 2, box.Y});  // in the cell, beside the box
  EXPECT_EQ(g.Grid->GetCellText(1, 2), "True");
  Press(Qt::Key_Space, " ");
  EXPECT_EQ(g.Grid->GetCellText(1, 2), "False");

  g.AcceptValues = false;
  g.Events.clear();
  Press(Qt::Key_Space, " ");
  EXPECT_EQ(g.Grid->GetCellText(1, 2), "False");
  EXPECT_EQ(g.Events, (Log{"before 1,2", "accept 1,2 True"})) << "refused: no after-edit";

  g.AcceptValues = true;
  g.Grid->Columns().Items(1)->SetEnabled(false);
  Click(g.Grid, CellCentre(*g.Grid, 1, 3));
  EXPECT_EQ(g.Grid->GetCellText(1, 3), "False") << "a disabled column does not toggle";
}

TEST(GridEditing, TheIncrementalSearchComparesPrefixesOfAToZWithoutCaseAndWrapsOnce) {
  TEditingGrid g;
  g.Grid->SelectCell(3, 0, {});
  for (auto [typed, row] : {std::pair{"b", 1}, {"l", 4}, {"x", 4}}) {
    Type(typed);
    EXPECT_EQ(g.Grid->CurrentRow(), row) << typed;
  }
  EXPECT_EQ(g.Grid->SearchText(), "blx");
  ASSERT_TRUE(ProcessEventsUntil([&] { return g.Grid->SearchText().empty(); })) << "the timer empties it";
  Type("A");  // the row after the current one first: "Apricot"
  EXPECT_EQ(g.Grid->CurrentRow(), 5);
  g.Grid->SearchTimer()->OnTimer(nullptr);
  Type("a");  // round to the top: "apple"
  EXPECT_EQ(g.Grid->CurrentRow(), 0);
  g.Grid->SetCellText(3, 2, "\xC3\xA9t\xC3\xA9");  // été
  g.Grid->SearchTimer()->OnTimer(nullptr);
  Type(QString::fromUtf8("\xC3\x89"));  // É is not é
  EXPECT_EQ(g.Grid->CurrentRow(), 0);
  g.Grid->SearchTimer()->OnTimer(nullptr);
  Type(QString::fromUtf8("\xC3\xA9"));
  EXPECT_EQ(g.Grid->CurrentRow(), 2);
  EXPECT_EQ(g.Editor(), nullptr) << "searching opens no editor";
}

TEST(GridEditing, TheInputRowIsEnteredFromRowZeroAndAddsRowsOnEnter) {
  TEditingGrid g(2);
  g.Grid->SetOptions({goHeader, goInput, goGrid});
  g.Grid->Columns().Items(2)->SetDefaultValue("B");
  int added = 0;
  bool acceptInput = true;
  g.Grid->OnInputAccept = [&](TObject*, bool& accept) { accept = acceptInput; };
  g.Grid->OnInputAdded = [&](TObject*) { ++added; };
  g.Grid->SelectCell(0, 0, {});
  Press(Qt::Key_Up);
  EXPECT_TRUE(g.Grid->InputRowFocused());
  Press(Qt::Key_Down);
  EXPECT_EQ(std::tuple(g.Grid->InputRowFocused(), g.Grid->CurrentRow()), std::tuple(false, 0));

  Click(g.Grid, CellCentre(*g.Grid, 0, 0, gpInputRow));
  ASSERT_NE(g.Editor(), nullptr);
  EXPECT_EQ(std::tuple(g.Grid->State().Contains(gbInputEditing), g.Grid->InputColumn()), std::tuple(true, 0));
  Type("new");
  EXPECT_EQ(std::tuple(g.Grid->InputEdited(), g.Events.back()), std::tuple(true, std::string("edit -1,-1 new")));
  Press(Qt::Key_Return, "\r");
  ASSERT_EQ(g.Grid->RowCount(), 3);
  // An empty input takes the column's default value; the input row stays in editing.
  EXPECT_EQ(std::tuple(g.Grid->GetCellText(0, 2), g.Grid->GetCellText(2, 2), added), std::tuple("new", "B", 1));
  ASSERT_NE(g.Editor(), nullptr);
  EXPECT_EQ(std::tuple(g.EditorText(), g.Grid->InputEdited()), std::tuple(std::string(), false));

  acceptInput = false;
  Type("no");
  Press(Qt::Key_Return, "\r");
  EXPECT_EQ(std::tuple(g.Grid->RowCount(), g.Grid->Columns().Items(0)->InputValue()), std::tuple(3, std::string("no")))
      << "committed, not added";
  Press(Qt::Key_Escape, "\x1b");
  EXPECT_EQ(g.Editor(), nullptr);

  // Down from the input row reaches the first row also when it is the only one.
  TEditingGrid one(1);
  one.Grid->SetOptions({goHeader, goInput});
  one.Grid->SetInputRowFocused(true);
  Press(Qt::Key_Down);
  EXPECT_FALSE(one.Grid->InputRowFocused());
}

TEST(GridNavigation, KeysMoveTheCurrentCellAndScroll) {
  // 30 rows of 16 pixels in 200 - 18: eleven rows fit.
  const struct {
    const char* name;
    int fromRow, fromTop, key;
    int col, row, top;
  } cases[] = {
      {"page_down_to_last_visible", 3, 0, Qt::Key_PageDown, 0, 10, 0},
      {"page_down_again", 10, 0, Qt::Key_PageDown, 0, 21, 11},
      {"page_up_to_first_visible", 15, 11, Qt::Key_PageUp, 0, 11, 11},
      {"page_up_again", 11, 11, Qt::Key_PageUp, 0, 0, 0},
      {"end", 2, 0, Qt::Key_End, 0, 29, 19},          {"home", 25, 19, Qt::Key_Home, 0, 0, 0},
      {"up_scrolls", 11, 11, Qt::Key_Up, 0, 10, 10},  {"down_scrolls", 10, 0, Qt::Key_Down, 0, 11, 1},
      {"right", 4, 0, Qt::Key_Right, 1, 4, 0},        {"left_at_the_edge", 4, 0, Qt::Key_Left, 0, 4, 0},
  };
  for (const auto& c : cases) {
    TEditingGrid g(30);
    g.Grid->VertScrollBar()->SetPosition(c.fromTop);
    g.Grid->SelectCell(0, c.fromRow, {});
    Press(c.key);
    EXPECT_EQ(std::tuple(g.Current(), g.Grid->TopRow()), std::tuple(TGridCell{c.col, c.row}, c.top)) << c.name;
  }
  // The hidden column is passed over; the arrows inside an editor stay with it.
  TEditingGrid g;
  g.Grid->Columns().Items(1)->SetVisible(false);
  g.Grid->SelectCell(0, 0, {});
  Press(Qt::Key_Right);
  EXPECT_EQ(g.Grid->CurrentColumn(), 2);
  g.Grid->BeginEdit(0, 3);
  Press(Qt::Key_Down);
  EXPECT_TRUE(g.Grid->CurrentRow() == 0 && g.Editor());
}

TEST(GridNavigation, EnterMovesOnlyWithWantReturns) {
  TEditingGrid g;
  g.Grid->SelectCell(3, 1, {});
  Press(Qt::Key_Return, "\r");
  EXPECT_EQ(g.Grid->CurrentRow(), 1);
  g.Grid->SetWantReturns(true);
  Press(Qt::Key_Return, "\r");
  EXPECT_EQ(g.Grid->CurrentRow(), 2);
}

TEST(GridMouse, TheWheelScrollsALineOrAPageANotchButNotUnderAnEditor) {
  TEditingGrid g(60);
  // One after the other: a touchpad's small deltas add up to a notch, one
  // event may carry several, the rest is dropped when the wheel turns back.
  const struct {
    std::vector<int> deltas;
    Qt::KeyboardModifiers mods;
    int top;
  } turns[] = {
      {{-40, -40}, Qt::NoModifier, 0}, {{-40}, Qt::NoModifier, 1},        {{-360}, Qt::NoModifier, 4},
      {{-120}, Qt::ControlModifier, 14}, {{-60, 60, 60}, Qt::NoModifier, 13}, {{120}, Qt::NoModifier, 12},
  };
  for (const auto& t : turns) {
    for (int delta : t.deltas) gridtest::Wheel(g.Grid, delta, t.mods, {50, 50});
    EXPECT_EQ(g.Grid->TopRow(), t.top) << t.deltas.front() << " " << t.mods;
  }
  g.Grid->BeginEdit(0, 14);
  gridtest::Wheel(g.Grid, -120, Qt::NoModifier, {50, 50});
  EXPECT_EQ(g.Grid->TopRow(), 12);
}

TEST(GridMouse, RowsAreResizedInTheIndicatorButNotBelowEightPixels) {
  TEditingGrid g;
  g.Grid->SetOptions({goHeader, goIndicator, goRowResizing});
  QWidget* w = g.Grid->ClientWidget();
  const int border = g.Grid->RowTop(1) + 16;  // row 1's lower edge
  qftest::SendMouse(w, QEvent::MouseMove, Qt::NoButton, {5, border});
  EXPECT_EQ(g.Grid->Cursor(), crVertSplit);
  qftest::SendMouse(w, QEvent::MouseMove, Qt::NoButton, {5, border - 8});
  EXPECT_EQ(g.Grid->Cursor(), crIndicatorSelect);
  qftest::SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {5, border});
  EXPECT_EQ(g.Grid->ResizingRow(), 1);
  EXPECT_EQ(g.Grid->InvertedCount(), 1) << "the line";
  qftest::SendMouse(w, QEvent::MouseMove, Qt::LeftButton, {5, 2});
  qftest::SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {5, 2});
  EXPECT_EQ(g.Grid->GetRowHeight(1), 8);
  EXPECT_EQ(g.Grid->InvertedCount(), 0);
  EXPECT_EQ(g.Grid->ResizingRow(), -1);
  const int bottom = g.Grid->RowTop(2) + 16;
  qftest::SendMouse(w, QEvent::MouseButtonPress, Qt::LeftButton, {5, bottom});
  qftest::SendMouse(w, QEvent::MouseMove, Qt::LeftButton, {5, bottom + 14});
  qftest::SendMouse(w, QEvent::MouseButtonRelease, Qt::LeftButton, {5, bottom + 14});
  EXPECT_EQ(g.Grid->GetRowHeight(2), 30);
}

TEST(GridMouse, DoubleClicksCountOnlyOverTheData) {
  TEditingGrid g;
  int doubles = 0;
  g.Grid->OnDblClick = [&](TObject*) { ++doubles; };
  const TPoint cell = CellCentre(*g.Grid, 3, 1);
  qftest::Click(g.Grid->ClientWidget(), {cell.X, cell.Y}, true);
  EXPECT_EQ(doubles, 1);
  qftest::Click(g.Grid->ClientWidget(), {50, 8}, true);  // the header
  EXPECT_EQ(doubles, 1);
}

}  // namespace
