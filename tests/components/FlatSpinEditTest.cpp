// The spin edit and its repeating buttons.

#include "FlatTestKit.h"
#include "components/FlatSpinEdit.h"
#include "ui/StdCtrls.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace flattest;
using qftest::Key;
using qftest::Place;
using qftest::ProcessEventsUntil;
using qftest::TShownForm;

namespace {

QLineEdit* Line(TFlatSpinEditInteger* s) { return s->Handle()->findChild<QLineEdit*>(); }

TEST(SpinEdit, ValueIsKeptInTheRangeWhenWrittenAndReadAsTyped) {
  const struct {
    int min, max, write;
    std::string shown;
  } writes[] = {{0, 200, 250, "200"}, {0, 200, -5, "0"},          {0, 200, 17, "17"},
                {1, 200, 0, "1"},     {0, 0, -12345, "-12345"},   {5, 5, INT_MAX, "2147483647"},
                {-10, -1, 0, "-1"}};
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
  for (const auto& r : reads) {
    s.SetText(r.text);
    EXPECT_EQ(s.Value(), r.value) << '"' << r.text << '"';
  }
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
  Key(Line(s), Qt::Key_Up, "");
  Key(Line(s), Qt::Key_Up, "");
  Key(Line(s), Qt::Key_Down, "");
  EXPECT_EQ(s->Value(), 6);
}

TEST(SpinEdit, OnlyNumberCharactersAreTyped) {
  const struct {
    TKeyChar key;
    bool editing, disabled;  // accepted with EditorEnabled, and without
  } keys[] = {{'0', true, false}, {'9', true, false}, {'+', true, false}, {'-', true, false}, {'.', true, false},
              {'a', false, false}, {' ', false, false}, {'\r', false, false}, {VK_BACK, true, false},
              {3, true, true},  // Ctrl+C: a control character
              {U'é', false, false}};
  TFlatSpinEditInteger s(nullptr);
  for (const auto& k : keys) {
    s.SetEditorEnabled(true);
    EXPECT_EQ(s.AcceptsKey(k.key), k.editing) << static_cast<int>(k.key);
    s.SetEditorEnabled(false);
    EXPECT_EQ(s.AcceptsKey(k.key), k.disabled) << static_cast<int>(k.key);
  }

  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
  spin->SetFocus();
  spin->SetText("");
  const int beeps = MessageBeepCount();
  for (const char* ch : {"1", "a", "2", " ", "\r"}) Key(Line(spin), ch[0] == '\r' ? Qt::Key_Return : 0, ch);
  EXPECT_EQ(spin->Text(), "12");
  EXPECT_EQ(MessageBeepCount(), beeps + 3) << "the letter, the blank and Enter beep";
  spin->SetEditorEnabled(false);
  Key(Line(spin), Qt::Key_3, "3");
  EXPECT_EQ(spin->Text(), "12");
}

TEST(SpinEdit, LeavingClampsOrRestoresTheTextBeforeOnExitReadsIt) {
  const struct {
    const char* name;
    std::string typed;
    bool paste;
    int value;
    std::string text;
  } cases[] = {
      {"above_max", "500", false, 200, "200"},
      {"below_min", "-5", false, 1, "1"},
      {"in_range", "150", false, 150, "150"},
      {"pasted_letters_go_back", "abc", true, 120, "120"},
      {"emptied_goes_back", "", true, 120, "120"},
      {"last_valid_was_out_of_range", "999x", true, 200, "200"},
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
    if (c.paste) {
      if (c.name == std::string("last_valid_was_out_of_range")) {
        QApplication::clipboard()->setText("999");
        Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
        Line(spin)->end(false);
        QApplication::clipboard()->setText("x");
      } else {
        QApplication::clipboard()->setText(QString::fromStdString(c.typed));
      }
      Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
      EXPECT_EQ(spin->Text(), c.typed);
    } else {
      Line(spin)->del();
      for (char ch : c.typed) Key(Line(spin), 0, QString(QChar(ch)));
      EXPECT_EQ(spin->Text(), c.typed);
    }
    other->SetFocus();
    EXPECT_EQ(log, (std::vector<std::string>{std::to_string(c.value) + " " + c.text}));
    EXPECT_EQ(spin->Text(), c.text);
  }
}

TEST(SpinEdit, PasteAndCutAreRefusedWithoutTheEditor) {
  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 20);
  spin->SetValue(77);
  spin->SetFocus();
  QApplication::clipboard()->setText("5");
  spin->SetEditorEnabled(false);
  Line(spin)->selectAll();
  Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
  Key(Line(spin), Qt::Key_X, "\x18", Qt::ControlModifier);
  Key(Line(spin), Qt::Key_Insert, "", Qt::ShiftModifier);
  EXPECT_EQ(spin->Text(), "77");
  EXPECT_EQ(Line(spin)->contextMenuPolicy(), Qt::NoContextMenu);
  spin->SetEditorEnabled(true);
  Line(spin)->selectAll();
  Key(Line(spin), Qt::Key_X, "\x18", Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "");
  Key(Line(spin), Qt::Key_V, "\x16", Qt::ControlModifier);
  EXPECT_EQ(spin->Text(), "77");
}

TEST(SpinEdit, TheButtonsSitInsideTheRightEdgeAndTheTextStopsBeforeThem) {
  TShownForm form;
  auto* spin = Place<TFlatSpinEditInteger>(&form, 10, 10, 121, 19);
  const int tm = GetFontMetrics(spin->Font()).tmHeight;
  EXPECT_EQ(spin->Height(), tm + 7) << "raised to the font's least";
  TSpinButton* b = spin->Button();
  EXPECT_EQ(b->BoundsRect(), (TRect{121 - 22 - 5, 0, 121 - 5, spin->Height() - 6}));
  EXPECT_EQ(b->UpButton()->BoundsRect(), (TRect{0, 0, 11, b->Height()}));
  EXPECT_EQ(b->DownButton()->BoundsRect(), (TRect{10, 0, 21, b->Height()}));
  EXPECT_EQ(Line(spin)->textMargins().right(), 22 + 3);
  spin->SetBounds(10, 10, 160, 40);
  EXPECT_EQ(b->BoundsRect(), (TRect{160 - 27, 0, 160 - 5, 34}));
  EXPECT_EQ(b->UpButton()->Height(), 34);
  // Default glyphs: an arrow at the top of the up button, at the bottom of the down button.
  EXPECT_FALSE(b->UpGlyph().Empty());
  EXPECT_EQ(b->UpButton()->Layout(), blGlyphTop);
  EXPECT_EQ(b->DownButton()->Layout(), blGlyphBottom);
  EXPECT_EQ(b->UpButton()->Margin(), 2);
  TBitmap big(20, 10);
  b->SetUpGlyph(&big);
  EXPECT_EQ(b->UpGlyph().Width(), 20);
  b->SetUpGlyph(nullptr);
  EXPECT_EQ(b->UpGlyph().Width(), 7);
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
  ASSERT_NE(up->RepeatTimer(), nullptr);
  EXPECT_EQ(up->RepeatTimer()->Interval(), 400u);
  ProcessEventsUntil([] { return false; }, 300);
  EXPECT_EQ(spin->Value(), 0) << "nothing before 400 ms";
  ASSERT_TRUE(ProcessEventsUntil([&] { return spin->Value() == 1; }, 2000));
  const qint64 first = clock.elapsed();
  EXPECT_GE(first, 370);
  EXPECT_EQ(up->RepeatTimer()->Interval(), 100u);
  ASSERT_TRUE(ProcessEventsUntil([&] { return spin->Value() == 4; }, 3000));
  EXPECT_GE(clock.elapsed() - first, 3 * 90) << "three more steps, 100 ms apart (coarse timers may fire 5 % early)";
  ProcessEventsUntil([] { return false; }, 250);
  EXPECT_EQ(spin->Value(), 4) << "held at the maximum";
  Release(up, 5, 5);
  EXPECT_FALSE(up->RepeatTimer()->Enabled());
  EXPECT_EQ(spin->Value(), 4);

  // Dragged off the button the repeat pauses.
  spin->SetMaxValue(100);
  Press(up, 5, 5);
  MoveMouse(up, 40, 5, Qt::LeftButton);
  ProcessEventsUntil([] { return false; }, 600);
  EXPECT_EQ(spin->Value(), 4);
  Release(up, 40, 5);
  TTimerSpeedButton* down = spin->Button()->DownButton();
  Click(down, 5, 5);
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
  QWidget* w = spin->ClientWidget();
  Key(w, Qt::Key_Space, " ");
  Key(w, Qt::Key_Down, "");
  Key(w, Qt::Key_Space, " ");
  Key(w, Qt::Key_Up, "");
  EXPECT_EQ(log, (std::vector<std::string>{"up", "down", "down", "up"}));
  EXPECT_EQ(spin->FocusedButton(), spin->UpButton());
  EXPECT_TRUE(spin->UpButton()->RepeatFlags().Contains(tbFocusRect));

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
