#include "GuiTestApp.h"
#include "core/Exception.h"
#include "ui/QtConvert.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <cctype>

#include <gtest/gtest.h>


using namespace qftest;

namespace {

constexpr auto Press = QEvent::MouseButtonPress, Release = QEvent::MouseButtonRelease, Move = QEvent::MouseMove;

// ---------------------------------------------------------------- labels

// A caption that shows nothing is measured as one blank: the label keeps a
// line's height and a blank's width instead of shrinking to nothing.
TEST(Label, AutoSizeMeasuresWhatTheCaptionShowsAndNothingAsABlank) {
  TShownForm form;
  const QFontMetrics metrics(ToQFont(form.Font()));
  const int line = metrics.height();
  const struct {
    const char* name;
    std::string caption;
    bool accel;
    QString shown;
  } cases[] = {
      {"empty", "", true, " "},
      {"a_lone_prefix", "&", true, " "},
      {"a_lone_ampersand_shown", "&", false, "&"},
      {"a_prefixed_letter", "&A", true, "A"},
      {"text", "Name:", true, "Name:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* label = Place<TLabel>(&form, 10, 10, 65, 17);
    label->SetShowAccelChar(c.accel);
    label->SetCaption("x");
    label->SetCaption(c.caption);
    EXPECT_EQ(std::pair(label->Width(), label->Height()), std::pair(metrics.horizontalAdvance(c.shown), line));
    EXPECT_GT(label->Width(), 0);
  }
}

// ---------------------------------------------------------------- edits

TEST(Edit, OnChangeFiresForEveryChangeOfTheTextAlsoFromCode) {
  TShownForm form;
  const struct { const char* name; std::function<void(TEdit*)> act; std::string text; int changes; } cases[] = {
      {"set_same_twice", [](TEdit* e) { e->SetText("abc"); e->SetText("abc"); }, "abc", 1},
      {"typed", [](TEdit*) { Type(Focus(), "xy"); }, "xy", 2},
      {"upper_case_code_and_typed",
       [](TEdit* e) { e->SetCharCase(ecUpperCase); e->SetText("Mixed"); e->SetSelStart(5); Type(Focus(), "q"); },
       "MIXEDQ", 2},
      {"lower_case_turned_on_later", [](TEdit* e) { e->SetText("ABC"); e->SetCharCase(ecLowerCase); }, "abc", 2},
      {"max_length_stops_typing", [](TEdit* e) { e->SetMaxLength(3); Type(Focus(), "abcd"); }, "abc", 3},
      {"read_only_takes_no_typing", [](TEdit* e) { e->SetReadOnly(true); Type(Focus(), "x"); }, "", 0},
      // A port field: KeyPress lets digits and Backspace through; a paste is not typed.
      {"key_press_filters_typing",
       [](TEdit* e) {
         e->OnKeyPress = [](TObject*, TKeyChar& key) {
           if (key != '\b' && (key < '0' || key > '9')) key = 0;
         };
         Type(Focus(), "3a 3-0.6\b");
         qobject_cast<QLineEdit*>(Focus())->insert("x1");
       },
       "330x1", 6},
  };
  for (const auto& c : cases) {
    auto* edit = Place<TEdit>(&form, 10, 10, 121, 21);
    int changes = 0;
    edit->OnChange = [&](TObject* sender) { changes += sender == edit; };
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused()) << c.name;
    c.act(edit);
    EXPECT_EQ(edit->Text(), c.text) << c.name;
    EXPECT_EQ(changes, c.changes) << c.name;
    delete edit;
  }
}

TEST(Edit, FrameHeightAndBackgroundFollowBorderStyleCtl3DFontAndColor) {
  TShownForm form;
  const int text = QFontMetrics(ToQFont(form.Font())).height();
  const struct { TBorderStyle style; bool ctl3d; int edge, height; } cases[] = {
      {bsSingle, true, 2, text + 8}, {bsSingle, false, 1, text + 6}, {bsNone, true, 0, text + 8}};
  for (const auto& c : cases) {
    auto* edit = new TEdit(&form);  // the height comes from the form's font
    edit->SetParent(&form);
    edit->SetBorderStyle(c.style);
    edit->SetCtl3D(c.ctl3d);
    edit->SetColor(clYellow);
    const int w = edit->Width(), h = edit->Height();
    EXPECT_EQ(h, c.height) << c.edge;
    EXPECT_EQ(edit->ClientWidth(), 121 - 2 * c.edge);
    const QImage img = edit->Handle()->grab().toImage();
    if (c.edge == 2) {  // the sunken edge of two pixels
      EXPECT_EQ(PixelAt(img, 1, 1), ColorToRGB(cl3DDkShadow));
      EXPECT_EQ(PixelAt(img, w - 1, h - 1), ColorToRGB(clBtnHighlight));
    }
    if (c.edge == 1) {
      EXPECT_TRUE(Ring(img, {0, 0, w, h}, clWindowFrame));
    }
    // Inside the frame the text background is the control's colour.
    EXPECT_EQ(PixelAt(img, c.edge, c.edge), clYellow) << c.edge;
    delete edit;
  }
  auto* edit = Place<TEdit>(&form, 10, 10, 121, 21);
  edit->Font().SetHeight(-20);
  EXPECT_EQ(edit->Height(), QFontMetrics(ToQFont(edit->Font())).height() + 8);
}

TEST(Edit, EnteringSelectsTheTextUnlessAutoSelectIsOffAndSelectionsCountCharacters) {
  TShownForm form;
  auto* other = Place<TEdit>(&form, 10, 40, 121, 21);
  for (bool autoSelect : {true, false}) {
    auto* edit = Place<TEdit>(&form, 10, 10, 121, 21);
    edit->SetText("h\xC3\xA9llo");  // "héllo": five characters
    edit->SetAutoSelect(autoSelect);
    other->SetFocus();
    edit->SetFocus();
    EXPECT_EQ(edit->SelLength(), autoSelect ? 5 : 0);
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), "\xC3\xA9ll");
    delete edit;
  }
  other->SetPasswordChar('*');  // a password edit shows its character and keeps the text
  other->SetText("secret");
  auto* line = other->Handle()->findChild<QLineEdit*>();
  EXPECT_EQ(line->displayText(), QString("******"));
  EXPECT_EQ(other->Text(), "secret");
  other->SetPasswordChar(0);
  EXPECT_EQ(line->displayText(), QString("secret"));
}

// A text longer than the edit, set from code, shows its start; in the edit
// being typed in, a text set from code leaves the caret where it was.
TEST(Edit, TextSetFromCodeShowsItsStartUnlessTheEditIsBeingTypedIn) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 10, 10, 60, 21);
  auto* other = Place<TEdit>(&form, 10, 40, 60, 21);
  auto* line = edit->Handle()->findChild<QLineEdit*>();
  const std::string path = "/srv/www/" + std::string(80, 'x') + "/output/";
  auto upper = [](std::string t) {
    for (char& ch : t) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return t;
  };
  other->SetFocus();
  edit->SetText(path);
  EXPECT_EQ(line->cursorPosition(), 0) << "the start in view";
  edit->SetFocus();
  Key(line, Qt::Key_End);
  edit->OnChange = [&](TObject*) { edit->SetText(upper(edit->Text())); };
  Type(line, "ab");
  EXPECT_EQ(edit->Text(), upper(path) + "AB");
  EXPECT_EQ(line->cursorPosition(), line->text().size()) << "typing goes on at the end";
}

// The selection shows in the highlight colour while the edit has the focus,
// and without it only with HideSelection off.
TEST(Edit, HideSelectionHidesTheSelectionOfAnEditOrMemoWithoutTheFocus) {
  TShownForm form;
  auto* other = Place<TEdit>(&form, 10, 200, 121, 21);
  auto* edit = Place<TEdit>(&form, 10, 10, 121, 21);
  auto* memo = Place<TMemo>(&form, 10, 50, 185, 89);
  for (TCustomEdit* e : {static_cast<TCustomEdit*>(edit), static_cast<TCustomEdit*>(memo)}) {
    e->SetText("selected text");
    EXPECT_TRUE(e->HideSelection()) << "on by default";
    for (bool hide : {true, false}) {
      e->SetHideSelection(hide);
      e->SetFocus();
      e->SelectAll();
      EXPECT_GT(CountPixels(Grabbed(e), clHighlight), 20) << "focused, hide " << hide;
      other->SetFocus();
      const int shown = CountPixels(Grabbed(e), clHighlight);
      if (hide)
        EXPECT_EQ(shown, 0) << "hidden without the focus";
      else
        EXPECT_GT(shown, 20) << "kept without the focus";
      EXPECT_EQ(e->SelLength(), 13) << "the selection itself stays";
    }
  }
}

// ---------------------------------------------------------------- memo

TEST(Memo, LinesEditTheTextAndEveryChangeFiresOnChange) {
  TShownForm form;
  auto* memo = Place<TMemo>(&form, 10, 10, 185, 89);
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  TStrings& lines = memo->Lines();
  lines.Add("first");
  lines.Add("second");
  lines.Insert(1, "middle");
  lines.Put(0, "top");
  lines.Delete(2);
  EXPECT_THROW(lines.Get(2), EListError);
  EXPECT_EQ(std::pair(memo->Text(), changes), std::pair(std::string("top\r\nmiddle\r\n"), 5));

  memo->SetText("a\nb");  // any line break comes back as CR LF
  EXPECT_EQ(memo->Text(), "a\r\nb");
  memo->SetText("a\r\nb");
  EXPECT_EQ(changes, 6) << "the same text is no change";
  lines.Clear();
  EXPECT_EQ(std::pair(memo->Text(), changes), std::pair(std::string(), 7));
}

TEST(Memo, EnterTabAndTheLengthLimitAsTheMemoWantsThem) {
  const struct {
    const char* name;
    bool wantReturns, wantTabs;
    int maxLength;
    Qt::Key key;
    const char* keyText;
    std::string text;
    int defaultClicks;
    bool keepsFocus;
  } cases[] = {
      {"return_typed", true, false, 0, Qt::Key_Return, "\r", "ab\r\n", 0, true},
      {"return_to_default_button", false, false, 0, Qt::Key_Return, "\r", "ab", 1, true},
      {"tab_typed", false, true, 0, Qt::Key_Tab, "\t", "ab\t", 0, true},
      {"tab_moves_focus", true, false, 0, Qt::Key_Tab, "\t", "ab", 0, false},
      {"length_limit", true, false, 2, Qt::Key_C, "c", "ab", 0, true},
  };
  for (const auto& c : cases) {
    TShownForm form;
    auto* memo = Place<TMemo>(&form, 10, 10, 185, 89);
    auto* button = Place<TButton>(&form, 10, 110, 75, 25);
    button->SetDefault(true);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    memo->SetWantReturns(c.wantReturns);
    memo->SetWantTabs(c.wantTabs);
    memo->SetMaxLength(c.maxLength);
    memo->SetText("ab");
    memo->SetFocus();
    memo->SetSelStart(2);
    Key(Focus(), c.key, c.keyText);
    EXPECT_EQ(memo->Text(), c.text) << c.name;
    EXPECT_EQ(clicks, c.defaultClicks) << c.name;
    EXPECT_EQ(memo->Focused(), c.keepsFocus) << c.name;
  }
}

TEST(Memo, ItsScrollBarsAreTheWindowsOwnAndFollowTheText) {
  TShownForm form;
  auto* memo = Place<TMemo>(&form, 10, 10, 185, 89);
  auto* text = memo->Handle()->findChild<QPlainTextEdit*>();
  memo->SetScrollBars(ssVertical);
  EXPECT_FALSE(memo->ScrollBarShown(sbHorizontal));
  EXPECT_EQ(memo->ClientWidth(), 185 - 4 - 16);
  EXPECT_FALSE(memo->ScrollBarEnabled(sbVertical)) << "nothing to scroll yet";
  EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);

  std::string many;
  for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\r\n";
  memo->SetText(many);
  ASSERT_TRUE(ProcessEventsUntil([&] { return memo->ScrollBarEnabled(sbVertical); }));
  const TScrollInfo info = memo->GetScrollInfo(sbVertical);
  EXPECT_EQ(info.Max - (info.Page - 1), text->verticalScrollBar()->maximum());
  memo->PerformScroll(sbVertical, SB_LINEDOWN);
  memo->PerformScroll(sbVertical, SB_LINEDOWN);
  EXPECT_EQ(text->verticalScrollBar()->value(), 2);
  memo->PerformScroll(sbVertical, SB_BOTTOM);
  EXPECT_EQ(memo->GetScrollInfo(sbVertical).Pos, text->verticalScrollBar()->maximum());
  text->verticalScrollBar()->setValue(1);  // the text scrolled by itself (wheel, caret)
  EXPECT_EQ(memo->GetScrollInfo(sbVertical).Pos, 1);

  memo->SetScrollBars(ssBoth);
  EXPECT_TRUE(memo->ScrollBarShown(sbHorizontal));
  EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap) << "a horizontal bar turns wrapping off";
  memo->SetScrollBars(ssNone);
  memo->SetWordWrap(false);
  EXPECT_FALSE(memo->ScrollBarShown(sbVertical));
  EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(memo->ClientWidth(), 185 - 4);
}

// ---------------------------------------------------------------- combo box

/** Logs a combo box's events. */
void Watch(TCustomComboBox* combo, Log& log, bool withSelect = false) {
  combo->OnClick = [&log](TObject*) { log.push_back("click"); };
  combo->OnChange = [&log](TObject*) { log.push_back("change"); };
  if (withSelect) combo->OnSelect = [&log](TObject*) { log.push_back("select"); };
  combo->OnDropDown = [&log](TObject*) { log.push_back("drop"); };
  combo->OnCloseUp = [&log](TObject*) { log.push_back("close"); };
}

TEST(Combo, KeysChooseWithTheListClosedAndMoveTheHighlightWhileItIsOpen) {
  TShownForm form;
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 21);
  combo->SetStyle(csDropDownList);
  for (const char* s : {"Center", "Left", "Right", "Top"}) combo->Items().Add(s);
  auto* ok = Place<TButton>(&form, 10, 100, 75, 25);
  ok->SetDefault(true);
  Log log;
  Watch(combo, log);
  ok->OnClick = [&](TObject*) { log.push_back("default"); };
  combo->SetFocus();
  QWidget* w = Focus();
  const struct {
    const char* name;
    Qt::Key key;
    const char* text;
    Qt::KeyboardModifiers mods;
    bool toPopup;
    int index, highlight;
    Log events;
  } steps[] = {
      {"down_chooses_first", Qt::Key_Down, "", Qt::NoModifier, false, 0, -1, {"click", "change"}},
      {"down", Qt::Key_Down, "", Qt::NoModifier, false, 1, -1, {"click", "change"}},
      {"up", Qt::Key_Up, "", Qt::NoModifier, false, 0, -1, {"click", "change"}},
      {"up_at_the_top", Qt::Key_Up, "", Qt::NoModifier, false, 0, -1, {}},
      {"letter", Qt::Key_R, "r", Qt::NoModifier, false, 2, -1, {"click", "change"}},
      {"enter_closed_is_the_forms", Qt::Key_Return, "\r", Qt::NoModifier, false, 2, -1, {"default"}},
      {"alt_down_opens", Qt::Key_Down, "", Qt::AltModifier, false, 2, 2, {"drop"}},
      {"open_down_moves_highlight", Qt::Key_Down, "", Qt::NoModifier, true, 2, 3, {}},
      {"open_down_at_the_end", Qt::Key_Down, "", Qt::NoModifier, true, 2, 3, {}},
      {"open_letter", Qt::Key_L, "l", Qt::NoModifier, true, 2, 1, {}},
      {"enter_takes_it", Qt::Key_Return, "\r", Qt::NoModifier, true, 1, -1, {"click", "change", "close"}},
      {"f4_opens", Qt::Key_F4, "", Qt::NoModifier, false, 1, 1, {"drop"}},
      {"open_home", Qt::Key_Home, "", Qt::NoModifier, true, 1, 0, {}},
      {"escape_leaves_it", Qt::Key_Escape, "\x1b", Qt::NoModifier, true, 1, -1, {"close"}},
  };
  for (const auto& s : steps) {
    log.clear();
    QWidget* target = s.toPopup ? QApplication::activePopupWidget() : w;
    ASSERT_NE(target, nullptr) << s.name;
    Key(target, s.key, s.text, s.mods);
    EXPECT_EQ(combo->ItemIndex(), s.index) << s.name;
    EXPECT_EQ(combo->DropDownIndex(), s.highlight) << s.name;
    EXPECT_EQ(combo->DroppedDown(), s.highlight >= 0) << s.name;
    EXPECT_EQ(log, s.events) << s.name;
  }
  EXPECT_EQ(combo->Text(), "Left");
  ASSERT_TRUE(ProcessEventsUntil([&] { return combo->Focused(); }));

  // With an OnSelect handler the choice goes there instead of to OnChange.
  Watch(combo, log, true);
  log.clear();
  Key(w, Qt::Key_Down);
  EXPECT_EQ(log, (Log{"click", "select"}));

  // Tab closes the list unchanged and moves on.
  Key(w, Qt::Key_F4);
  Key(QApplication::activePopupWidget(), Qt::Key_Down);
  Key(QApplication::activePopupWidget(), Qt::Key_Tab, "\t");
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_TRUE(ProcessEventsUntil([&] { return ok->Focused(); }));
}

TEST(Combo, TheMouseOpensTheListChoosesAnItemAndAPressOutsideClosesIt) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 200, 10, 121, 21);
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 21);
  for (const char* s : {"Text", "Textarea", "Combobox", "Listbox", "Checkbox"}) combo->Items().Add(s);
  combo->SetItemIndex(0);
  Log log;
  Watch(combo, log);
  edit->SetFocus();
  const QPoint button(combo->Width() - 8, 10);
  Click(combo->Handle(), QPoint(20, 10));
  EXPECT_FALSE(combo->DroppedDown()) << "a press on the edit of a csDropDown box types";
  edit->SetFocus();
  Click(combo->Handle(), button);
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_TRUE(combo->Focused()) << "the press focused the box";
  TCustomControl* list = combo->DropDownWindow();
  ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activePopupWidget() == list->Handle(); }));
  const TPoint below = combo->ClientToScreen({0, 21});
  EXPECT_EQ(list->BoundsRect(), Bounds(below.X, below.Y, 145, 5 * combo->ItemHeight() + 2));

  const int ih = combo->ItemHeight();
  SendMouse(list->ClientWidget(), Move, Qt::NoButton, QPoint(10, 3 * ih + 2));
  EXPECT_EQ(combo->DropDownIndex(), 3);
  EXPECT_EQ(combo->ItemIndex(), 0) << "hovering chooses nothing";
  Click(list->ClientWidget(), QPoint(10, 2 * ih + 2));
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Combobox");
  EXPECT_EQ(log, (Log{"drop", "click", "change", "close"}));

  log.clear();
  Click(combo->Handle(), button);
  ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activePopupWidget() == list->Handle(); }));
  const QPoint outside = list->Handle()->mapFromGlobal(edit->Handle()->mapToGlobal(QPoint(5, 5)));
  SendMouse(list->Handle(), Press, Qt::LeftButton, outside);
  EXPECT_FALSE(list->Showing());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(log, (Log{"drop", "close"}));
  ASSERT_TRUE(ProcessEventsUntil([&] { return combo->Focused(); })) << "the focus comes back to the box";
  EXPECT_EQ(form.ActiveControl(), combo);
}

TEST(Combo, CodeSetsTextAndItemsQuietlyAndItemIndexStaysOnItsItem) {
  TShownForm form;
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 21);
  Log log;
  Watch(combo, log);
  TStrings& items = combo->Items();
  items.Add("b");
  items.Add("c");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "c");
  combo->SetText("typed");
  EXPECT_EQ(combo->ItemIndex(), 1);
  items.Insert(0, "a");
  EXPECT_EQ(combo->ItemIndex(), 2);
  items.Delete(0);
  EXPECT_EQ(combo->ItemIndex(), 1);
  items.Delete(1);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_THROW(items.Get(9), EListError);
  items.Clear();
  EXPECT_EQ(combo->Text(), "typed") << "clearing the items keeps the text";
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_TRUE(log.empty());

  items.SetText("pear\nApple\nfig");
  combo->SetItemIndex(0);
  combo->SetSorted(true);
  EXPECT_EQ(items.Text(), "Apple\r\nfig\r\npear\r\n");
  EXPECT_EQ(combo->ItemIndex(), 2) << "the chosen item moved with the sort";
  EXPECT_EQ(items.Add("banana"), 1);
  EXPECT_EQ(combo->ItemIndex(), 3);

  combo->SetFocus();
  Type(Focus(), "x");
  EXPECT_EQ(log, (Log{"change"})) << "typing is a change";
  EXPECT_EQ(combo->ItemIndex(), -1);

  combo->SetStyle(csDropDownList);
  combo->SetText("FIG");
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "fig");
  combo->SetText("nothing");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetStyle(csDropDown);
  EXPECT_EQ(combo->Text(), "fig") << "a new edit starts with the chosen item";
  EXPECT_EQ(log, (Log{"change"}));
}

TEST(Combo, ALongListScrollsToKeepTheHighlightInView) {
  TShownForm form;
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 21);
  combo->SetStyle(csDropDownList);
  for (int i = 0; i < 20; ++i) combo->Items().Add("item " + std::to_string(i));
  combo->SetFocus();
  combo->SetDroppedDown(true);
  auto* list = combo->DropDownWindow();
  EXPECT_EQ(list->Height(), 8 * combo->ItemHeight() + 2);
  EXPECT_TRUE(list->ScrollBarShown(sbVertical));
  const struct { Qt::Key key; int highlight, top; } steps[] = {
      {Qt::Key_End, 19, 12}, {Qt::Key_PageUp, 12, 12}, {Qt::Key_Up, 11, 11},
      {Qt::Key_Home, 0, 0},  {Qt::Key_PageDown, 7, 0}, {Qt::Key_Down, 8, 1}};
  for (const auto& s : steps) {
    Key(list->Handle(), s.key);
    EXPECT_EQ(combo->DropDownIndex(), s.highlight) << s.key;
    EXPECT_EQ(combo->DropDownTopIndex(), s.top) << s.key;
    EXPECT_EQ(list->GetScrollInfo(sbVertical).Pos, s.top);
  }
  list->PerformScroll(sbVertical, SB_PAGEDOWN);
  EXPECT_EQ(combo->DropDownTopIndex(), 9);
  Key(list->Handle(), Qt::Key_Return, "\r");
  EXPECT_EQ(combo->ItemIndex(), 8);
}

TEST(Combo, ASimpleBoxShowsItsListUnderTheEditAlwaysAndNeverDropsDown) {
  TShownForm form;
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 90);
  combo->SetStyle(csSimple);
  for (const char* s : {"Red", "Green", "Blue"}) combo->Items().Add(s);
  Log log;
  Watch(combo, log);
  TCustomListBox* list = combo->SimpleList();
  ASSERT_NE(list, nullptr);
  const int row = combo->EditRowHeight();
  EXPECT_EQ(row, combo->ItemHeight() + 8);
  EXPECT_EQ(list->BoundsRect(), (TRect{0, row, 145, 90}));
  EXPECT_EQ(list->Items().Count(), 3);
  EXPECT_EQ(combo->Height(), 90) << "the box keeps its height";
  combo->SetFocus();
  ASSERT_TRUE(ProcessEventsUntil([&] { return combo->Focused(); }));
  QWidget* edit = Focus();

  const struct {
    const char* name;
    std::function<void()> act;
    int index;
    const char* text;
    Log events;
  } steps[] = {
      {"f4_opens_nothing", [&] { Key(edit, Qt::Key_F4); }, -1, "", {}},
      {"from_code_neither", [&] { combo->SetDroppedDown(true); }, -1, "", {}},
      {"a_click_in_the_list_chooses", [&] { Click(list->ClientWidget(), QPoint(20, list->ItemHeight() + 2)); },
       1, "Green", {"click", "change"}},
      {"down_in_the_edit", [&] { Key(edit, Qt::Key_Down); }, 2, "Blue", {"click", "change"}},
      {"typing_chooses_nothing", [&] { Type(Focus(), "x"); }, -1, "x", {"change"}},
      {"an_item_from_code", [&] { combo->SetItemIndex(0); }, 0, "Red", {}},
      {"a_new_first_item_moves_it", [&] { combo->Items().Insert(0, "Black"); }, 1, "Red", {}},
  };
  for (const auto& s : steps) {
    log.clear();
    s.act();
    EXPECT_FALSE(combo->DroppedDown()) << s.name;
    EXPECT_EQ(std::tuple(combo->ItemIndex(), list->ItemIndex(), combo->Text()), std::tuple(s.index, s.index, s.text))
        << s.name;
    EXPECT_EQ(log, s.events) << s.name;
  }
  EXPECT_EQ(list->Items().Text(), combo->Items().Text());
  EXPECT_TRUE(combo->Focused()) << "the list leaves the focus with the box";
  EXPECT_EQ(QApplication::focusWidget(), edit);

  // The edit row is framed, and there is no button.
  const QImage face = Painted(combo);
  EXPECT_EQ(Missing(face, {At(0, 0, clBtnShadow), At(1, 1, cl3DDkShadow), At(5, row - 1, clBtnHighlight), At(140, 10, clWindow)}), "");
  combo->SetStyle(csDropDown);
  EXPECT_EQ(combo->SimpleList(), nullptr);
  EXPECT_EQ(combo->Text(), "Red");
}

TEST(Combo, OwnerDrawnBoxesDrawTheirItemsThroughOnDrawItemInRowsOfTheirHeights) {
  TShownForm form;
  const TColor colours[] = {clRed, clLime, clBlue};
  auto* combo = Place<TComboBox>(&form, 10, 10, 145, 21);
  for (const char* s : {"Red", "Green", "Blue"}) combo->Items().Add(s);
  std::vector<std::tuple<int, bool, bool, bool>> drawn;  // index, selected, focused, the box's own field
  combo->OnDrawItem = [&](TWinControl* control, int index, const TRect& r, TOwnerDrawState state) {
    drawn.emplace_back(index, state.Contains(odSelected), state.Contains(odFocused), state.Contains(odComboBoxEdit));
    TCanvas* c = static_cast<TComboBox*>(control)->Canvas();
    c->Brush.Color = index >= 0 ? colours[index] : clYellow;
    c->FillRect(TRect{r.Left, r.Top, r.Right, r.Bottom - 1});
  };
  combo->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 * (index + 1); };

  combo->SetStyle(csOwnerDrawFixed);
  combo->SetItemHeight(16);
  EXPECT_EQ(PixelAt(Painted(combo), 20, 5), clYellow) << "nothing chosen";
  combo->SetItemIndex(1);
  drawn.clear();
  EXPECT_EQ(PixelAt(Painted(combo), 20, 5), clLime);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, bool, bool, bool>>{{1, false, false, true}}));
  combo->SetFocus();
  drawn.clear();
  Painted(combo);
  EXPECT_EQ(drawn, (std::vector<std::tuple<int, bool, bool, bool>>{{1, true, true, true}}));

  const struct {
    TComboBoxStyle style;
    std::vector<int> tops;  // each row's top in the list
    int height;
  } cases[] = {{csOwnerDrawFixed, {0, 16, 32}, 3 * 16 + 2}, {csOwnerDrawVariable, {0, 10, 30}, 10 + 20 + 30 + 2}};
  for (const auto& c : cases) {
    combo->SetStyle(c.style);
    combo->SetItemIndex(1);
    combo->SetDroppedDown(true);
    TCustomControl* list = combo->DropDownWindow();
    ASSERT_TRUE(list && combo->DroppedDown()) << c.style;
    EXPECT_EQ(list->Height(), c.height) << c.style;
    drawn.clear();
    const QImage rows = Painted(list);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PixelAt(rows, 20, c.tops[i] + 2), colours[i]) << c.style << " row " << i;
    EXPECT_EQ(drawn, (std::vector<std::tuple<int, bool, bool, bool>>{
                         {0, false, false, false}, {1, true, false, false}, {2, false, false, false}}))
        << "the highlighted row is the chosen one";
    Click(list->ClientWidget(), QPoint(20, c.tops[2] + 3));
    EXPECT_EQ(std::tuple(combo->DroppedDown(), combo->ItemIndex()), std::tuple(false, 2)) << c.style;
  }
  combo->SetFocus();
  ASSERT_TRUE(ProcessEventsUntil([&] { return combo->Focused() && Focus(); }));
  Key(Focus(), Qt::Key_G, "g");
  EXPECT_EQ(combo->ItemIndex(), 1) << "a typed letter chooses as in a list";
}

// ---------------------------------------------------------------- list box

TEST(ListBox, ClicksKeysAndTypedLettersChooseAndOnlyTheUsersChoicesClick) {
  TShownForm form;
  auto* list = Place<TListBox>(&form, 10, 10, 121, 97);
  for (int i = 0; i < 12; ++i) list->Items().Add((i % 2 ? "odd " : "even ") + std::to_string(i));
  int clicks = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  const int ih = list->ItemHeight();
  const int rows = list->ClientHeight() / ih;
  ASSERT_LT(rows, 12);
  EXPECT_TRUE(list->ScrollBarShown(sbVertical)) << "the rows do not all fit";
  QWidget* w = list->ClientWidget();
  const struct {
    const char* name;
    std::function<void()> act;
    int index, top, clicks;
  } steps[] = {
      {"a_click_on_the_third_row", [&] {
         Click(list->ClientWidget(), QPoint(10, 2 * ih + 1));
         ASSERT_TRUE(ProcessEventsUntil([&] { return list->Focused(); })) << "a click takes the focus";
         w = Focus();
       }, 2, 0, 1},
      {"down", [&] { Key(w, Qt::Key_Down); }, 3, 0, 1},
      {"end_scrolls", [&] { Key(w, Qt::Key_End); }, 11, 12 - rows, 1},
      {"end_again_is_no_choice", [&] { Key(w, Qt::Key_End); }, 11, 12 - rows, 0},
      {"home", [&] { Key(w, Qt::Key_Home); }, 0, 0, 1},
      {"page_down", [&] { Key(w, Qt::Key_PageDown); }, rows - 1, 0, 1},
      // The next even one, in the row that comes into view at the bottom.
      {"a_letter_the_next_item_it_starts", [&] { Key(w, Qt::Key_E, "e"); }, rows % 2 ? rows + 1 : rows,
       rows % 2 ? 2 : 1, 1},
      {"from_code_no_click", [&] { list->SetItemIndex(1); }, 1, 1, 0},
      {"outside_the_items_none", [&] { list->SetItemIndex(40); }, -1, 1, 0},
      {"the_bar_no_further_than_the_last_row", [&] { list->PerformScroll(sbVertical, SB_PAGEDOWN); }, -1,
       12 - rows, 0},
  };
  for (const auto& s : steps) {
    clicks = 0;
    s.act();
    EXPECT_EQ(std::tuple(list->ItemIndex(), list->TopIndex(), clicks), std::tuple(s.index, s.top, s.clicks)) << s.name;
  }
  EXPECT_EQ(list->ItemAtPos({10, 1}, true), 12 - rows);
  EXPECT_EQ(list->ItemRect(13 - rows), (TRect{0, ih, list->ClientWidth(), 2 * ih}));
  EXPECT_TRUE(list->ItemRect(0).IsEmpty()) << "scrolled off";

  list->SetItemIndex(2);
  list->Items().Delete(0);
  EXPECT_EQ(list->ItemIndex(), 1) << "the chosen item keeps its place";
  list->Items().Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(list->ItemAtPos({10, 10}, true), -1);
  EXPECT_EQ(list->ItemAtPos({10, 10}, false), 0) << "past the last item";
  EXPECT_FALSE(list->ScrollBarShown(sbVertical));
  list->SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig"}) list->Items().Add(s);
  EXPECT_EQ(list->Items().Text(), "Apple\r\nfig\r\npear\r\n");
}

TEST(ListBox, FrameRowsAndTheChosenRowsHighlight) {
  TShownForm form;
  auto* list = Place<TListBox>(&form, 10, 10, 121, 97);
  for (const char* s : {"one", "two"}) list->Items().Add(s);
  const struct {
    TBorderStyle style;
    bool ctl3d;
    int frame;
  } frames[] = {{bsSingle, true, 2}, {bsSingle, false, 1}, {bsNone, true, 0}};
  for (const auto& f : frames) {
    list->SetBorderStyle(f.style);
    list->SetCtl3D(f.ctl3d);
    EXPECT_EQ(std::tuple(list->FrameWidth(), list->ClientWidth()), std::tuple(f.frame, 121 - 2 * f.frame));
  }
  list->SetItemIndex(1);
  const int ih = list->ItemHeight();
  EXPECT_EQ(Missing(Painted(list), {At(100, 2, clWindow), At(100, ih + 2, clHighlight), At(100, 3 * ih, clWindow)}),
            "");
  const TColor dotted = ColorToRGB(clHighlight) ^ 0xFFFFFF;
  EXPECT_EQ(CountPixels(Painted(list), {0, ih, list->ClientWidth(), ih + 1}, dotted), 0);
  list->SetFocus();
  EXPECT_GT(CountPixels(Painted(list), {0, ih, list->ClientWidth(), ih + 1}, dotted), 20)
      << "the focus rectangle round the chosen row";
}

// ---------------------------------------------------------------- buttons

TEST(Button, EnterClicksTheDefaultOrTheFocusedButtonAndEscapeTheCancelOne) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 10, 10, 121, 21);
  auto* ok = Place<TButton>(&form, 10, 50, 75, 25);
  auto* cancel = Place<TButton>(&form, 90, 50, 75, 25);
  auto* other = Place<TButton>(&form, 170, 50, 75, 25);
  ok->SetDefault(true);
  ok->SetModalResult(TModalResult::mrOk);
  cancel->SetCancel(true);
  cancel->SetModalResult(TModalResult::mrCancel);
  Log log;
  for (auto [b, name] : {std::pair{ok, "ok"}, {cancel, "cancel"}, {other, "other"}})
    b->OnClick = [&log, name = std::string(name)](TObject*) { log.push_back(name); };
  const struct {
    const char* name;
    TWinControl* focus;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    Log clicks;
    TModalResult result;
  } cases[] = {
      {"enter_in_an_edit", edit, Qt::Key_Return, Qt::NoModifier, {"ok"}, TModalResult::mrOk},
      {"escape_in_an_edit", edit, Qt::Key_Escape, Qt::NoModifier, {"cancel"}, TModalResult::mrCancel},
      {"shift_enter", edit, Qt::Key_Return, Qt::ShiftModifier, {}, TModalResult::mrNone},
      {"enter_on_another_button", other, Qt::Key_Return, Qt::NoModifier, {"other"}, TModalResult::mrNone},
      {"enter_on_the_cancel_button", cancel, Qt::Key_Return, Qt::NoModifier, {"cancel"}, TModalResult::mrCancel},
      {"escape_on_another_button", other, Qt::Key_Escape, Qt::NoModifier, {"cancel"}, TModalResult::mrCancel},
  };
  for (const auto& c : cases) {
    log.clear();
    form.SetModalResult(TModalResult::mrNone);
    c.focus->SetFocus();
    EXPECT_EQ(ok->Active(), c.focus == edit) << c.name << ": the default button's frame";
    Key(Focus(), c.key, c.key == Qt::Key_Return ? "\r" : "\x1b", c.mods);
    EXPECT_EQ(log, c.clicks) << c.name;
    EXPECT_EQ(form.ModalResult(), c.result) << c.name;
  }
  log.clear();
  edit->SetFocus();
  ok->SetEnabled(false);
  Key(Focus(), Qt::Key_Return, "\r");
  EXPECT_TRUE(log.empty()) << "a disabled default button does not answer";
}

TEST(Button, TheMouseAndTheSpaceKeyClickIt) {
  TShownForm form;
  auto* button = Place<TButton>(&form, 10, 10, 75, 25);
  THookRecorder hook;
  button->SetHook(&hook);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  QWidget* w = button->ClientWidget();
  SendMouse(w, Press, Qt::LeftButton, {5, 5});
  EXPECT_TRUE(button->Focused()) << "a press takes the focus";
  SendMouse(w, Move, Qt::LeftButton, {90, 5});
  EXPECT_FALSE(button->Pressed()) << "off the button it comes up";
  SendMouse(w, Release, Qt::LeftButton, {90, 5});
  EXPECT_EQ(clicks, 0);
  Click(w, {5, 5}, true);
  EXPECT_EQ(clicks, 2) << "a double click is a second press";

  hook.Heard.clear();
  for (int i = 0; i < 3; ++i) Key(w, Qt::Key_Space, " ");  // held: the key repeats
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(clicks, 2);
  Key(w, Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease);
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(hook.Count(TControlMessage::StateChanged), 2) << "down once, up once";
  button->SetHook(nullptr);
}

// ---------------------------------------------------------------- check box, radio button

TEST(CheckBox, EveryChangeOfTheStateClicksAlsoFromCode) {
  TShownForm form;
  auto* edit = Place<TEdit>(&form, 10, 40, 121, 21);
  auto* check = Place<TCheckBox>(&form, 10, 10, 97, 17);
  check->SetCaption("&Insert");
  THookRecorder hook;
  check->SetHook(&hook);
  std::vector<TCheckBoxState> seen;
  check->OnClick = [&](TObject*) { seen.push_back(check->State()); };
  QWidget* w = check->ClientWidget();
  const struct { const char* name; std::function<void()> act; TCheckBoxState state; size_t clicks; } steps[] = {
      {"checked_from_code", [&] { check->SetChecked(true); }, cbChecked, 1},
      {"same_again", [&] { check->SetChecked(true); }, cbChecked, 1},
      {"grayed_from_code", [&] { check->SetState(cbGrayed); }, cbGrayed, 2},
      {"click_from_grayed", [&] { Click(w, {5, 5}); }, cbChecked, 3},
      {"release_outside",
       [&] { SendMouse(w, Press, Qt::LeftButton, {5, 5}); SendMouse(w, Release, Qt::LeftButton, {200, 5}); },
       cbChecked, 3},
      {"space", [&] { Key(w, Qt::Key_Space, " "); Key(w, Qt::Key_Space, " ", Qt::NoModifier, QEvent::KeyRelease); },
       cbUnchecked, 4},
      {"grayed_on_the_way", [&] { check->SetAllowGrayed(true); Click(w, {5, 5}); }, cbGrayed, 5},
      {"accelerator_from_an_edit", [&] { edit->SetFocus(); Key(Focus(), Qt::Key_I, "i", Qt::AltModifier); },
       cbChecked, 6},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(check->State(), s.state) << s.name;
    EXPECT_EQ(seen.size(), s.clicks) << s.name;
  }
  EXPECT_EQ(seen.back(), cbChecked) << "OnClick sees the new state";
  EXPECT_TRUE(check->Focused()) << "the accelerator focused it";
  EXPECT_EQ(hook.Count(TControlMessage::StateChanged), 6 + 2 * 4) << "six new states, four presses";
  check->SetHook(nullptr);
}

TEST(RadioButton, ButtonsOfOneParentFormAGroup) {
  TShownForm form;
  auto* a = Place<TCustomControl>(&form, 0, 0, 150, 100);
  auto* b = Place<TCustomControl>(&form, 200, 0, 150, 100);
  Log log;
  auto radio = [&](TWinControl* parent, int y, std::string name) {
    auto* r = Place<TRadioButton>(parent, 5, y, 113, 17);
    r->OnClick = [&log, name](TObject*) { log.push_back(name); };
    return r;
  };
  TRadioButton *a1 = radio(a, 5, "a1"), *a2 = radio(a, 25, "a2"), *a3 = radio(a, 45, "a3"), *b1 = radio(b, 5, "b1");
  a1->SetChecked(true);
  a2->SetChecked(true);
  b1->SetChecked(true);
  EXPECT_EQ(log, (Log{"a1", "a2", "b1"})) << "unchecking clicks nothing";
  EXPECT_FALSE(a1->Checked());
  EXPECT_TRUE(a2->TabStop());
  EXPECT_FALSE(a1->TabStop()) << "only the checked one is a tab stop";

  log.clear();
  Click(a2->ClientWidget(), {5, 5});
  EXPECT_TRUE(log.empty()) << "a click on the checked one changes nothing";
  Click(a3->ClientWidget(), {5, 5});
  EXPECT_EQ(log, (Log{"a3"}));
  EXPECT_FALSE(a2->Checked());

  log.clear();
  a3->SetFocus();
  Key(Focus(), Qt::Key_Down);  // round the group, checking
  EXPECT_TRUE(a1->Checked());
  EXPECT_TRUE(a1->Focused());
  Key(Focus(), Qt::Key_Up);
  EXPECT_TRUE(a3->Checked());
  EXPECT_EQ(log, (Log{"a1", "a3"}));
  EXPECT_TRUE(b1->Checked()) << "another parent, another group";
}

// ---------------------------------------------------------------- faces

TEST(Faces, ButtonsCheckBoxesRadioButtonsAndComboBoxesInEachState) {
  TShownForm form;
  auto* button = Place<TButton>(&form, 10, 10, 75, 25);
  auto* check = Place<TCheckBox>(&form, 100, 10, 97, 17);
  auto* radio = Place<TRadioButton>(&form, 100, 40, 113, 17);
  auto* combo = Place<TComboBox>(&form, 10, 100, 145, 21);
  auto* edit = Place<TEdit>(&form, 10, 150, 121, 21);
  combo->SetStyle(csDropDownList);
  combo->Items().Add("A");
  combo->SetItemIndex(0);
  const int top = (17 - 13) / 2;                                         // the glyphs' top
  const TRect box{2, top + 2, 11, top + 11}, dot{4, top + 4, 8, top + 8};  // check box inside, radio dot
  auto press = [](TControl* c) { SendMouse(c->ClientWidget(), Press, Qt::LeftButton, {5, 5}); };
  const struct {
    const char* name;
    std::function<TCustomControl*()> setup;  // the control to paint
    std::vector<TSpot> spots;
  } cases[] = {
      {"button_raised", [&] { edit->SetFocus(); return button; },
       {At(0, 0, cl3DLight), At(74, 24, cl3DDkShadow), At(10, 4, clBtnFace)}},
      {"button_default_in_a_black_frame", [&] { button->SetDefault(true); return button; },
       {At(0, 0, clWindowFrame), At(74, 24, clWindowFrame), At(1, 1, cl3DLight), At(73, 23, cl3DDkShadow)}},
      {"button_focused_with_its_focus_rectangle", [&] { button->SetFocus(); return button; },
       {At(0, 0, clWindowFrame), At(4, 4, kInvertedFace), At(5, 4, clBtnFace), At(70, 20, kInvertedFace)}},
      {"button_pressed", [&] { press(button); return button; },
       {At(0, 0, clWindowFrame), At(1, 1, clBtnShadow), At(73, 23, clBtnShadow), At(2, 2, clBtnFace)}},
      {"check_box_sunken_white", [&] { return check; }, {At(1, top + 1, cl3DDkShadow), {box, clWindow}}},
      {"check_box_mark", [&] { check->SetChecked(true); return check; }, {{box, clWindowText, 21}}},
      {"check_box_on_the_right_greyed",
       [&] {
         check->SetAlignment(taLeftJustify);
         check->SetEnabled(false);
         return check;
       },
       {{{97 - 11, top + 2, 97 - 2, top + 11}, clGrayText, 21}}},
      {"radio_rings_lit_from_the_top_left", [&] { return radio; },
       {At(4, top, clBtnShadow), At(4, top + 11, clBtnHighlight), At(4, top + 1, cl3DDkShadow), {dot, clWindow}}},
      {"radio_round_dot", [&] { radio->SetChecked(true); return radio; }, {{dot, clWindowText, 12}}},
      {"radio_pressed_grey_inside", [&] { press(radio); return radio; }, {At(3, top + 5, clBtnFace)}},
      {"combo_sunken_raised_button_arrow", [&] { return combo; },
       {At(1, 1, cl3DDkShadow), At(128, 3, clBtnHighlight), {{127, 2, 143, 19}, clBtnText, 7 + 5 + 3 + 1},
        At(120, 10, clWindow)}},
      {"combo_focused_item_highlighted", [&] { combo->SetFocus(); return combo; }, {At(120, 10, clHighlight)}},
      {"combo_button_pressed_flat", [&] { press(combo); return combo; },
       {At(127, 2, clBtnShadow), At(128, 3, clBtnFace)}},
  };
  for (const auto& c : cases) EXPECT_EQ(Missing(Painted(c.setup()), c.spots), "") << c.name;
  for (TControl* c : std::initializer_list<TControl*>{button, radio, combo})
    SendMouse(c->ClientWidget(), Release, Qt::LeftButton, {5, 5});
}

// ---------------------------------------------------------------- group box

TEST(GroupBox, EtchedFrameCaptionGapInsideAreaAndAccelerator) {
  TShownForm form;
  auto* group = Place<TGroupBox>(&form, 10, 10, 185, 105);
  group->SetCaption("    ");  // blanks: the gap without glyphs
  TCanvas measure;
  measure.Font = group->Font();
  const int h = measure.TextHeight("0"), line = h / 2 - 1, gap = measure.TextWidth("    ");
  EXPECT_EQ(Missing(Painted(group), {At(2, line, clBtnShadow), At(2, line + 1, clBtnHighlight),
                                     At(183, 103, clBtnShadow), At(184, 104, clBtnHighlight),
                                     {{8, line, 8 + gap, line + 2}, clBtnFace}, At(8 + gap, line, clBtnShadow)}),
            "")
      << "etched; the caption interrupts the line";

  auto* inside = Place<TEdit>(group, 0, 0, 50, 21);
  inside->SetAlign(alClient);
  EXPECT_EQ(inside->BoundsRect(), (TRect{2, h + 2, 183, 103}));

  auto* elsewhere = Place<TEdit>(&form, 250, 10, 50, 21);
  group->SetCaption("&Mail");
  elsewhere->SetFocus();
  Key(Focus(), Qt::Key_M, "m", Qt::AltModifier);
  EXPECT_TRUE(inside->Focused()) << "the accelerator goes to the first control inside";
}

}  // namespace
