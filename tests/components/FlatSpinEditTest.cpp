// The spin edit and its repeating buttons.

#include "FlatTestKit.h"
#include "components/FlatSpinEdit.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace flattest;
using namespace qftest;

namespace {

QLineEdit* Line(TFlatSpinEditInteger* s) { return s->Handle()->findChild<QLineEdit*>(); }

void Paste(TFlatSpinEditInteger* s, const std::string& text) {
  QApplication::clipboard()->setText(QString::fromStdString(text));
  Key(Line(s), Qt::Key_V, "\x16", Qt::ControlModifier);
}

TEST(SpinEdit, ValueIsKeptInTheRangeWhenWrittenAndReadAsTyped) {
  const struct {
    int min, max, write;
    std::string shown;
  } writes[] = {{0, 200, 250, "200"}, {0, 200, -5, "0"},        {0, 200, 17, "17"},          {1, 200, 0, "1"},
                {0, 0, -12345, "-12345"}, {5, 5, INT_MAX, "2147483647"}, {-10, -1, 0, "-1"}};
  for (const auto& w : writes) {
    TFlatSpinEditInteger s(nullptr);
    s.SetMinValue(w.min);
    s.SetMaxValue(w.max);
    s.SetValue(w.write);
    EXPECT_EQ(s.Text(), w.shown) << w.min << ".." << w.max << " <- " << w.write;
  }
  const struct {
    const char* text;
    int value;
  } reads[] = {{"42", 42}, {" 42", 42}, {"+7", 7}, {"-3", -3}, {"500", 500},  // reading does not clamp
               {"", 10},   {"abc", 10}, {"4x", 10}, {"4 ", 10}, {"99999999999", 10}, {"-", 10}};
  TFlatSpinEditInteger s(nullptr);
  s.SetMinValue(10);
  s.SetMaxValue(200);
  int changes = 0;
  s.OnChange = [&](TObject*) { ++changes; };
  for (const auto& r : reads) {
    s.SetText(r.text);
    EXPECT_EQ(s.Value(), r.value) << '"' << r.text << '"';
  }
  EXPECT_EQ(changes, static_cast<int>(std::size(reads))) << "text from code fires OnChange";
}

TEST(SpinEdit, StepsSaturateAtTheIntegerLimitsAndAReadOnlyFieldBeeps) {
  const struct {
    int start, increment, direction, expected;
  } cases[] = {{INT_MAX - 1, 5, 1, INT_MAX}, {INT_MIN + 1, 5, -1, INT_MIN}, {10, 3, 1, 13},
               {10, 3, -1, 7},               {0, INT_MAX, -1, -INT_MAX},   {-1, INT_MIN, 1, INT_MIN}};
  for (const auto& c : cases) {
    TFlatSpinEditInteger s(nullptr);
    s.SetValue(c.start);
    s.SetIncrement(c.increment);
    if (c.direction > 0)
      s.UpClick(&s);
    else
      s.DownClick(&s);
    EXPECT_EQ(s.Value(), c.expected) << c.start << (c.direction > 0 ? " + " : " - ") << c.increment;
  }
  TShownForm form;
  auto* s = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
  s->SetValue(5);
  s->SetReadOnly(true);
  s->SetFocus();
  const int beeps = MessageBeepCount();
  s->UpClick(s);
  Key(Line(s), Qt::Key_Up, "");
  Key(Line(s), Qt::Key_Down, "");
  EXPECT_EQ(MessageBeepCount(), beeps + 3);
  EXPECT_EQ(s->Value(), 5);
  s->SetReadOnly(false);
  for (int key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) Key(Line(s), key, "");
  EXPECT_EQ(s->Value(), 6);
}

TEST(SpinEdit, OnlyNumberCharactersAreTypedAndNothingWithoutTheEditor) {
  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
  spin->SetFocus();
  spin->SetText("");
  const int beeps = MessageBeepCount();
  for (const char* ch : {"1", "a", "+", " ", "\r", "-", "é", "2"})
    Key(Line(spin), ch[0] == '\r' ? Qt::Key_Return : 0, ch);
  EXPECT_EQ(spin->Text(), "1+-2");
  EXPECT_EQ(MessageBeepCount(), beeps + 4) << "the letters, the blank and Enter beep";
  Key(Line(spin), Qt::Key_Backspace, "\b");
  EXPECT_EQ(spin->Text(), "1+-");
  EXPECT_TRUE(spin->AcceptsKey('.')) << "the decimal separator";

  spin->SetValue(77);
  spin->SetEditorEnabled(false);  // no typing, no paste, no cut; control characters but backspace go through
  EXPECT_TRUE(spin->AcceptsKey(3)) << "Ctrl+C";
  EXPECT_FALSE(spin->AcceptsKey(VK_BACK));
  Line(spin)->selectAll();
  Key(Line(spin), 0, "3");
  Paste(spin, "5");
  Key(Line(spin), Qt::Key_X, "\x18", Qt::ControlModifier);
  Key(Line(spin), Qt::Key_Insert, "", Qt::ShiftModifier);
  Line(spin)->setCursorPosition(2);
  Key(Line(spin), Qt::Key_Backspace, "\b");
  EXPECT_EQ(spin->Text(), "77");
  EXPECT_EQ(Line(spin)->contextMenuPolicy(), Qt::NoContextMenu);
  spin->SetEditorEnabled(true);
  Line(spin)->selectAll();
  Key(Line(spin), Qt::Key_X, "\x18", Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "");
  Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "77");
}

// Dropped and pasted text goes in as its characters would if typed.
TEST(SpinEdit, DropsAndPastesTakeOnlyWhatTypingWould) {
  enum TWay { Drop, PasteKey, PasteMenu };
  const struct {
    const char* name;
    TWay way;
    std::string text, shown;
    bool editor;
    int beeps;
  } cases[] = {
      {"letters_dropped", Drop, "abc", "5", true, 1},
      {"a_number_dropped_before", Drop, "7", "75", true, 0},
      {"digits_kept_from_a_mixed_drop", Drop, "x9y", "95", true, 1},
      {"letters_pasted", PasteKey, "abc", "5", true, 1},
      {"a_mixed_paste", PasteKey, "1 2\t-3", "512-3", true, 1},
      {"the_menu_s_paste", PasteMenu, "a4", "54", true, 1},
      {"no_drop_without_the_editor", Drop, "7", "5", false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
    spin->SetValue(5);
    spin->SetEditorEnabled(c.editor);
    spin->SetFocus();
    Line(spin)->setCursorPosition(c.way == Drop ? 0 : 1);
    int changes = 0;
    spin->OnChange = [&](TObject*) { ++changes; };
    const int beeps = MessageBeepCount();
    QMimeData data;
    data.setText(QString::fromStdString(c.text));
    QApplication::clipboard()->setText(data.text());
    if (c.way == Drop) {
      // A drag comes in, then drops.
      QDragEnterEvent enter(QPoint(1, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(Line(spin), &enter);
      QDropEvent drop(QPointF(1, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(Line(spin), &drop);
    } else if (c.way == PasteKey) {
      Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
    } else {
      Line(spin)->paste();
    }
    EXPECT_EQ(spin->Text(), c.shown);
    EXPECT_EQ(MessageBeepCount(), beeps + c.beeps);
    EXPECT_EQ(changes, c.shown == "5" ? 0 : 1) << "nothing taken, no change";
  }
}

// Over a selection, a paste refused whole changes nothing, as the same
// characters typed would not; a paste partly taken replaces the selection.
TEST(SpinEdit, ARefusedPasteOverASelectionChangesNothing) {
  enum TWay { Typed, PasteKey, PasteMenu, Drop };
  const struct {
    const char* name;
    TWay way;
    std::string text, shown, selected;
    int beeps, changes;
  } cases[] = {
      {"typed", Typed, "x", "123", "2", 1, 0},
      {"pasted_by_the_key", PasteKey, "x", "123", "2", 1, 0},
      {"pasted_from_the_menu", PasteMenu, "x", "123", "2", 1, 0},
      {"dropped", Drop, "x", "123", "", 1, 0},
      {"partly_taken", PasteKey, "4x", "143", "", 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
    spin->SetValue(123);
    spin->SetFocus();
    Line(spin)->setSelection(1, 1);
    ASSERT_EQ(Line(spin)->selectedText(), "2");
    int changes = 0;
    spin->OnChange = [&](TObject*) { ++changes; };
    const int beeps = MessageBeepCount();
    QMimeData data;
    data.setText(QString::fromStdString(c.text));
    switch (c.way) {
      case Typed: Key(Line(spin), Qt::Key_X, QString::fromStdString(c.text)); break;
      case PasteKey: Paste(spin, c.text); break;
      case PasteMenu:
        QApplication::clipboard()->setText(data.text());
        Line(spin)->paste();
        break;
      case Drop: {
        QDragEnterEvent enter(QPoint(1, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Line(spin), &enter);
        QDropEvent drop(QPointF(1, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Line(spin), &drop);
        break;
      }
    }
    EXPECT_EQ(spin->Text(), c.shown);
    EXPECT_EQ(Line(spin)->selectedText().toStdString(), c.selected);
    EXPECT_EQ(MessageBeepCount(), beeps + c.beeps);
    EXPECT_EQ(changes, c.changes);
  }
}

TEST(SpinEdit, LeavingClampsOrRestoresTheTextBeforeOnExitReadsIt) {
  // Pasted, except text with letters, which only code can put in.
  const struct {
    const char* name;
    std::vector<std::string> pasted;
    int value;
  } cases[] = {
      {"above_max", {"500"}, 200},
      {"below_min", {"-5"}, 1},
      {"in_range", {"150"}, 150},
      {"letters_go_back", {"abc"}, 120},
      {"emptied_goes_back", {""}, 120},
      {"last_valid_was_out_of_range", {"999", "x"}, 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TShownForm form;
    auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
    auto* other = Place<TEdit>(&form, 10, 50, 100, 21);
    spin->SetMinValue(1);
    spin->SetMaxValue(200);
    spin->SetValue(120);
    std::vector<std::string> log;
    spin->OnExit = [&](TObject*) { log.push_back(std::to_string(spin->Value()) + " " + spin->Text()); };
    spin->SetFocus();
    Line(spin)->selectAll();
    std::string typed;
    for (const std::string& p : c.pasted) {
      if (p.find_first_of("abcx") == std::string::npos)
        Paste(spin, p);
      else
        spin->SetText(typed + p);
      typed += p;
    }
    EXPECT_EQ(spin->Text(), typed);
    other->SetFocus();
    const std::string value = std::to_string(c.value);
    EXPECT_EQ(log, (std::vector<std::string>{value + " " + value}));
    EXPECT_EQ(spin->Text(), value);
  }
}

TEST(SpinEdit, TheButtonsSitInsideTheRightEdgeAndTheTextStopsBeforeThem) {
  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 19);
  EXPECT_EQ(spin->Height(), GetFontMetrics(spin->Font()).tmHeight + 7) << "raised to the font's least";
  TSpinButton* b = spin->Button();
  EXPECT_EQ(b->BoundsRect(), (TRect{121 - 22 - 5, 0, 121 - 5, spin->Height() - 6}));
  EXPECT_EQ(b->DownButton()->BoundsRect(), (TRect{10, 0, 21, b->Height()})) << "overlapping the up button by one";
  EXPECT_EQ(Line(spin)->textMargins().right(), 22 + 3);
  spin->SetBounds(10, 10, 160, 40);
  EXPECT_EQ(b->BoundsRect(), (TRect{160 - 27, 0, 160 - 5, 34}));
  EXPECT_EQ(b->UpButton()->Height(), 34);
  EXPECT_EQ(b->DownButton()->Layout(), blGlyphBottom) << "the down arrow sits at the bottom of its button";
  TBitmap big(20, 10);
  b->SetUpGlyph(&big);
  b->SetUpGlyph(nullptr);
  EXPECT_EQ(b->UpGlyph().Width(), 7) << "the default again";
}

TEST(SpinEdit, HoldingAnArrowStepsAfter400MsThenEvery100MsUpToTheMaximum) {
  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
  auto* other = Place<TEdit>(&form, 10, 50, 100, 21);
  other->SetFocus();
  spin->SetMaxValue(4);
  TTimerSpeedButton* up = spin->Button()->UpButton();
  QElapsedTimer clock;
  MoveMouse(up, 5, 5);
  Press(up, 5, 5);
  clock.start();
  EXPECT_TRUE(spin->Focused()) << "the arrow gives the focus to the field";
  ProcessEventsUntil([] { return false; }, 300);
  EXPECT_EQ(spin->Value(), 0) << "nothing before 400 ms";
  ASSERT_TRUE(ProcessEventsUntil([&] { return spin->Value() == 1; }));
  const qint64 first = clock.elapsed();
  EXPECT_GE(first, 370);
  ASSERT_TRUE(ProcessEventsUntil([&] { return spin->Value() == 4; }));
  EXPECT_GE(clock.elapsed() - first, 3 * 90) << "three more steps, 100 ms apart (coarse timers may fire 5 % early)";
  EXPECT_LT(clock.elapsed() - first, 3 * 300) << "not 400 ms apart";
  ProcessEventsUntil([] { return false; }, 250);
  EXPECT_EQ(spin->Value(), 4) << "held at the maximum";
  Release(up, 5, 5);
  EXPECT_FALSE(up->RepeatTimer()->Enabled());

  // Dragged off the button the repeat pauses.
  spin->SetMaxValue(100);
  Press(up, 5, 5);
  MoveMouse(up, 40, 5, Qt::LeftButton);
  ProcessEventsUntil([] { return false; }, 600);
  EXPECT_EQ(spin->Value(), 4);
  Release(up, 40, 5);
  Click(spin->Button()->DownButton(), 5, 5);
  EXPECT_EQ(spin->Value(), 3) << "a click steps once";
}

TEST(SpinButton, KeysClickItsButtonsAndItForgetsAFocusControlThatWentAway) {
  TShownForm form;
  auto* spin = Place<TSpinButton>(&form, 10, 10, 21, 20);
  spin->SetTabStop(true);
  std::vector<std::string> log;
  spin->OnUpClick = [&](TObject* s) { log.push_back(s == spin ? "up" : "?"); };
  spin->OnDownClick = [&](TObject* s) { log.push_back(s == spin ? "down" : "?"); };
  spin->SetFocus();
  for (int key : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_Up})
    Key(spin->ClientWidget(), key, key == Qt::Key_Space ? " " : "");
  EXPECT_EQ(log, (std::vector<std::string>{"up", "down", "down", "up"}));
  EXPECT_TRUE(spin->UpButton()->RepeatFlags().Contains(tbFocusRect)) << "the focus rectangle moved with the arrows";

  auto* edit = Place<TEdit>(&form, 10, 50, 100, 21);
  spin->SetFocusControl(edit);
  Press(spin->DownButton(), 5, 5);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(spin->FocusedButton(), spin->DownButton());
  Release(spin->DownButton(), 5, 5);
  delete edit;
  EXPECT_EQ(spin->FocusControl(), nullptr);
  Press(spin->UpButton(), 5, 5);  // now the spin button takes the focus itself
  EXPECT_TRUE(spin->Focused());
  Release(spin->UpButton(), 5, 5);
}

}  // namespace
