// The in-place editors on a shown form, through real keys and clicks: the
// formatting rectangle, the preview box, the left-edge selection, Enter,
// typed values, the combo box's keys and wheel, the drop-down list and its
// button, and the look of a list-style editor.

#include "GridWindowTest.h"
#include "core/Exception.h"
#include "grid/CellEditors.h"
#include "ui/QtConvert.h"

#include <QFontMetrics>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using gridtest::Focus;
using gridtest::Press;
using gridtest::TShownForm;
using gridtest::Type;
using qftest::ProcessEventsUntil;
using qftest::SendMouse;

namespace {

/** A shown editor of class T, 121 x 20 at (10, 10) of a form, focused. */
template <class T> struct TEditorOnForm {
  TEditorOnForm() {
    Editor = new T(&Form);
    Editor->SetParent(&Form);
    Editor->SetBounds(10, 10, 121, 20);
    Editor->Show();
    Focus(Editor);
  }
  TShownForm Form;
  T* Editor;
};

TStringList Abc() {
  TStringList items;
  for (const char* item : {"A", "B", "C"}) items.Add(item);
  return items;
}

int TextHeight(const TCellEditor& editor) { return QFontMetrics(ToQFont(editor.Font())).height(); }

TEST(CellEditors, TheFormattingRectangleFollowsMarginAlignmentPreviewAndButton) {
  TShownForm form;
  const int client = 16;  // 20 less the 2-pixel sunken edge at the top and bottom
  const struct {
    const char* name;
    int margin;
    TVerticalAlignment align;
    bool preview;
    int left, rightLess;
  } cases[] = {
      {"plain", 0, vaMiddle, false, 2, 1},   {"margin", 3, vaTop, false, 5, 4},
      {"bottom", 2, vaBottom, false, 4, 3},  {"preview", 0, vaMiddle, true, 29, 1},
      {"preview_margin", 1, vaTop, true, 30, 2},
  };
  for (const auto& c : cases) {
    for (int kind = 0; kind < 3; ++kind) {
      TTextualEditor* editor = kind == 0   ? new TTextualEditor(&form)
                               : kind == 1 ? new TCustomButtonCellEditor(&form)
                                           : new TPopupEditor(&form);
      editor->SetParent(&form);
      editor->SetMargin(c.margin);
      editor->SetVerticalAlignment(c.align);
      editor->SetShowPreview(c.preview);
      ASSERT_EQ(editor->ClientHeight(), client);
      const int button = kind == 0 ? 0 : kind == 1 ? 21 : 16;
      const int h = TextHeight(*editor);
      const TRect r = editor->FormattingRect();
      EXPECT_EQ(r.Left, c.left) << c.name << " " << kind;
      EXPECT_EQ(r.Right, editor->ClientWidth() - c.rightLess - button) << c.name << " " << kind;
      const int top = c.align == vaTop      ? c.margin
                      : c.align == vaMiddle ? (client - 1) / 2 - h / 2
                                            : client - c.margin - h;
      EXPECT_EQ(r.Top, top) << c.name << " " << kind;
      EXPECT_EQ(r.Height(), h) << c.name;
      // The line edit holds the text exactly there.
      EXPECT_EQ(editor->LineEdit()->geometry(), QRect(r.Left - 2, r.Top - 1, r.Width() + 4, h + 2)) << c.name;
      delete editor;
    }
  }
  TPopupEditor list(nullptr);
  list.SetStyle(dsDropDownList);
  EXPECT_TRUE(list.FormattingRect().IsEmpty()) << "a list draws its text itself";
  EXPECT_TRUE(list.ReadOnly());
  EXPECT_FALSE(list.TextEditable());
}

TEST(CellEditors, ThePreviewBoxIsTwentyPixelsAndFramedOnRequest) {
  TTextualEditor editor(nullptr);
  editor.SetShowPreview(true);
  editor.SetPreviewBorder(true);
  std::vector<TRect> drawn;
  editor.OnCustomPreviewDraw = [&](TObject*, const TRect& r) {
    drawn.push_back(r);
    editor.Canvas()->Brush.Color = clLime;
    editor.Canvas()->FillRect(r);
  };
  QImage img = qftest::FilledImage(editor.ClientWidth(), editor.ClientHeight(), clWhite);
  editor.PaintTo(img);
  EXPECT_EQ(std::tuple(editor.PreviewRect(), drawn),
            std::tuple(TRect{1, 1, 21, 15}, std::vector<TRect>{{2, 2, 20, 14}}));
  EXPECT_TRUE(qftest::Ring(img, {1, 1, 21, 15}, clBlack));
  EXPECT_EQ(qftest::Missing(img, {{{2, 2, 20, 14}, clLime}, qftest::At(0, 5, clWindow)}), "");
}

TEST(CellEditors, EnterTypesNothingAndALeftEdgePressSelectsEverything) {
  TEditorOnForm<TTextualEditor> f;
  Type("ab");
  Press(Qt::Key_Return, "\r");
  Type("c");
  EXPECT_EQ(f.Editor->Text(), "abc");
  QLineEdit* line = f.Editor->LineEdit();
  auto pressAt = [&](int clientX) {
    const QPoint at = line->mapFrom(f.Editor->ClientWidget(), QPoint(clientX, 8));
    SendMouse(line, QEvent::MouseButtonPress, Qt::LeftButton, at);
    SendMouse(line, QEvent::MouseButtonRelease, Qt::LeftButton, at);
  };
  pressAt(2);
  EXPECT_EQ(f.Editor->SelLength(), 3) << "within two pixels of the edge";
  pressAt(40);
  EXPECT_EQ(f.Editor->SelLength(), 0) << "elsewhere the press places the caret";
  SendMouse(f.Editor->ClientWidget(), QEvent::MouseMove, Qt::NoButton, {1, 8});
  EXPECT_EQ(f.Editor->Cursor(), crReversedArrow);
  EXPECT_EQ(TScreen::CursorFor(crReversedArrow).shape(), Qt::BitmapCursor) << "drawn in code and registered";
  SendMouse(f.Editor->ClientWidget(), QEvent::MouseMove, Qt::NoButton, {30, 8});
  EXPECT_EQ(f.Editor->Cursor(), crDefault);
}

// A text wider than the editor shows its start when set, selected whole, or
// (read-only) moved to its end; an editable one moved to its end shows that.
TEST(CellEditors, ATextWiderThanTheEditorShowsItsStart) {
  const std::string wide = "A text far wider than the editor that shows it";
  enum TCall { kSetText, kSelectAll, kMoveEnd };
  const struct {
    const char* Name;
    TCall Call;
    bool ReadOnly;
    bool ShowsStart;
  } cases[] = {{"set", kSetText, false, true},
               {"select_all", kSelectAll, false, true},
               {"move_end", kMoveEnd, false, false},
               {"move_end_read_only", kMoveEnd, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TEditorOnForm<TComboBoxEditor> f;
    f.Editor->SetReadOnly(c.ReadOnly);
    QLineEdit* line = f.Editor->LineEdit();
    line->end(false);
    f.Editor->SetText(wide);
    if (c.Call == kSelectAll) f.Editor->SelectAllText();
    if (c.Call == kMoveEnd) f.Editor->MoveEnd();
    line->grab();  // the edit scrolls its text as it paints
    const int atLeftEdge = line->cursorPositionAt(QPoint(1, line->height() / 2));
    EXPECT_EQ(atLeftEdge == 0, c.ShowsStart) << "the character at the left edge is " << atLeftEdge;
  }
}

TEST(CellEditors, APasswordCharacterMasksTheTextWithItself) {
  TEditorOnForm<TTextualEditor> f;
  f.Editor->SetText("abc");
  QLineEdit* line = f.Editor->LineEdit();
  const std::pair<TKeyChar, QString> masks[] = {
      {U'*', "***"}, {U'#', "###"}, {0, "abc"}, {U'\u2022', "\u2022\u2022\u2022"}};
  for (const auto& [mask, shown] : masks) {
    f.Editor->SetPasswordChar(mask);
    EXPECT_EQ(std::tuple(line->displayText(), f.Editor->Text()), std::tuple(shown, std::string("abc")))
        << static_cast<unsigned>(mask);
  }
}

TEST(CellEditors, TypedValuesReadAndWriteAsATextCellDoes) {
  TTextualEditor editor(nullptr);
  int changes = 0;
  editor.OnChange = [&](TObject*) { ++changes; };
  editor.SetAsInteger(-3);
  EXPECT_EQ(std::tuple(editor.Text(), editor.AsInteger()), std::tuple("-3", -3));
  editor.SetAsBoolean(true);
  EXPECT_EQ(std::tuple(editor.Text(), editor.AsBoolean()), std::tuple("True", true));
  editor.SetAsFloat(2.5);
  EXPECT_EQ(std::tuple(editor.Text(), editor.AsFloat()), std::tuple("2.5", 2.5));
  EXPECT_EQ(changes, 3) << "text set from code reports its change";
  // The conversions are the cells' own: a fraction is no integer, a word no number nor Boolean.
  EXPECT_THROW(editor.AsInteger(), EConvertError);
  editor.SetText("abc");
  EXPECT_THROW(editor.AsFloat(), EConvertError);
  EXPECT_THROW(editor.AsBoolean(), EConvertError);
}

TEST(CellEditors, TheComboBoxStepsThroughItsItemsOutsideCellEditing) {
  TEditorOnForm<TComboBoxEditor> f;
  f.Editor->SetItems(Abc());
  f.Editor->SetItemIndex(2);
  const struct {
    int key;
    int index;
    const char* text;
  } steps[] = {{Qt::Key_Down, 3, "C"}, {Qt::Key_Up, 2, "C"}, {Qt::Key_Up, 1, "B"}, {Qt::Key_Up, 0, "A"},
               {Qt::Key_Up, -1, "A"}, {Qt::Key_Down, 0, "A"}};
  for (const auto& s : steps) {
    Press(s.key);
    EXPECT_EQ(std::tuple(f.Editor->ItemIndex(), f.Editor->Text()), std::tuple(s.index, s.text));
  }
  // A notch of 120 is one item, however many events bring it.
  const std::pair<std::vector<int>, int> turns[] = {
      {{-120}, 1}, {{-60}, 1}, {{-60}, 2}, {{240}, 0}, {{120}, 0}, {{-360}, 3}, {{40, 40, 40}, 2}};
  for (const auto& [deltas, index] : turns) {
    for (int delta : deltas) gridtest::Wheel(f.Editor, delta);
    EXPECT_EQ(f.Editor->ItemIndex(), index) << deltas.front() << ": and the wheel stops at the first item";
  }
  f.Editor->SetItemIndex(0);
  f.Editor->SetCellEditing(true);
  Press(Qt::Key_Down);
  EXPECT_EQ(f.Editor->ItemIndex(), 0) << "in a grid the keys belong to the grid";
  // A list style shows the item again.
  f.Editor->SetText("typed");
  f.Editor->SetStyle(dsDropDownList);
  EXPECT_EQ(f.Editor->Text(), "A");
}

TEST(CellEditors, AltAndAnArrowOutsideCellEditingOnlyOpensTheList) {
  TEditorOnForm<TComboBoxEditor> f;
  f.Editor->SetItems(Abc());
  for (int key : {Qt::Key_Down, Qt::Key_Up}) {
    SCOPED_TRACE(key == Qt::Key_Down ? "Alt+Down" : "Alt+Up");
    f.Editor->SetItemIndex(1);
    Press(key, {}, Qt::AltModifier);
    EXPECT_TRUE(f.Editor->DroppedDown());
    EXPECT_EQ(std::tuple(f.Editor->ItemIndex(), f.Editor->Text(), f.Editor->PopupList()->ItemIndex()),
              std::tuple(1, std::string("B"), 1))
        << "the list opens on the item the editor shows";
    Press(Qt::Key_Escape, "\x1b");
    EXPECT_FALSE(f.Editor->DroppedDown());
    EXPECT_EQ(std::tuple(f.Editor->ItemIndex(), f.Editor->Text()), std::tuple(1, std::string("B")));
  }
}

TEST(CellEditors, TheDropDownListOpensBelowChoosesAndCloses) {
  TEditorOnForm<TComboBoxEditor> f;
  f.Editor->SetItems(Abc());
  f.Editor->SetItemIndex(0);
  std::vector<std::string> events;
  f.Editor->OnSelect = [&](TObject*) { events.push_back("select " + f.Editor->Text()); };
  f.Editor->OnCloseUp = [&](TObject*) { events.push_back("closeup " + f.Editor->Text()); };
  TSmallButton* button = f.Editor->Button();
  EXPECT_EQ(button->BoundsRect(), (TRect{117 - 16, 0, 117, 16})) << "at the right edge, full height";
  SendMouse(button->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {8, 8});
  ASSERT_TRUE(f.Editor->DroppedDown() && button->Pressed());
  TPopupList* list = f.Editor->PopupList();
  ASSERT_TRUE(ProcessEventsUntil([&] { return list->Visible(); }));
  // Below the editor, as wide, three items of 16 pixels high, on the editor's item.
  const TPoint corner = f.Form.ClientToScreen({10 - 1, 10 + 20});
  EXPECT_EQ(std::tuple(TPoint{list->Left(), list->Top()}, list->Width(), list->ClientHeight(), list->ItemIndex()),
            std::tuple(corner, 121, 3 * 16, 0));

  SendMouse(list->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {10, 5});  // arms only
  SendMouse(list->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {10, 16 + 5});
  SendMouse(list->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {10, 16 + 5});
  EXPECT_FALSE(list->Visible() || f.Editor->DroppedDown() || button->Pressed());
  EXPECT_EQ(f.Editor->ItemIndex(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"closeup B", "select B"}));

  // Escape closes without choosing; the list opens on the new item.
  events.clear();
  f.Editor->SetDroppedDown(true);
  EXPECT_EQ(list->ItemIndex(), 1);
  SendMouse(list->ClientWidget(), QEvent::MouseMove, Qt::NoButton, {10, 40});
  EXPECT_EQ(list->ItemIndex(), 2);
  Press(Qt::Key_Escape, "\x1b");
  EXPECT_FALSE(f.Editor->DroppedDown() || list->Visible());
  EXPECT_EQ(f.Editor->Text(), "B") << "the highlighted item was not chosen";
  EXPECT_EQ(events, std::vector<std::string>{"closeup B"});

  // A list-style editor opens on a press anywhere; hiding it closes the list.
  f.Editor->SetStyle(dsDropDownList);
  SendMouse(f.Editor->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {20, 8});
  EXPECT_TRUE(f.Editor->DroppedDown() && button->Pressed());
  f.Editor->Hide();
  EXPECT_FALSE(f.Editor->DroppedDown() || list->Visible());
}

TEST(CellEditors, TheExecuteButtonClicksAndAListStyleEditorPaintsItsText) {
  TEditorOnForm<TCustomButtonCellEditor> f;
  int clicks = 0;
  f.Editor->OnButtonClick = [&](TObject*) { ++clicks; };
  TSmallButton* button = f.Editor->Button();
  SendMouse(button->ClientWidget(), QEvent::MouseButtonPress, Qt::LeftButton, {5, 5});
  EXPECT_TRUE(button->Pressed());
  SendMouse(button->ClientWidget(), QEvent::MouseButtonRelease, Qt::LeftButton, {5, 5});
  EXPECT_EQ(std::tuple(button->Pressed(), clicks, f.Editor->Popup()->Visible()), std::tuple(false, 1, false))
      << "an execute button opens nothing";

  TEditorOnForm<TPopupEditor> p;
  p.Editor->SetStyle(dsDropDownList);
  p.Editor->SetText("Item");
  p.Editor->SetColor(clYellow);
  const struct {
    const char* name;
    bool focused, cellEditing;
    TColor fill, frame;
  } cases[] = {
      {"focused", true, false, clHighlight, clYellow},
      {"focused_in_a_grid", true, true, clHighlight, clHighlight},
      {"unfocused", false, false, clYellow, clYellow},
  };
  TCustomControl* other = gridtest::FocusTaker(&p.Form);
  for (const auto& c : cases) {
    Focus(c.focused ? static_cast<TWinControl*>(p.Editor) : other);
    p.Editor->SetCellEditing(c.cellEditing);
    QImage img = qftest::FilledImage(p.Editor->ClientWidth(), p.Editor->ClientHeight(), clWhite);
    p.Editor->PaintTo(img);
    const int right = p.Editor->ClientWidth() - 16;
    EXPECT_EQ(qftest::Missing(img, {qftest::At(right - 3, 8, c.fill), qftest::At(0, 8, c.frame)}), "") << c.name;
    EXPECT_GT(qftest::CountPixels(img, {2, 0, 40, 16}, c.focused ? clHighlightText : clWindowText), 5)
        << c.name << ": the text";
  }
}

}  // namespace
